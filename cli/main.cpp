// modelbatch: runs the Ostrel model without windows.
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/list_variables.h"
#include "model/equations.h"

int main(int argc, char** argv) {
    CLI::App app{"Runs the Ostrel forest ecosystem model without windows.", "modelbatch"};
    bool list = false;
    app.add_flag("--list-variables", list, "Print every state, process, parameter and driver with its symbol");
    CLI11_PARSE(app, argc, argv);

    DefineModel();
    if (list) ListVariables(std::cout);
    return 0;
}
