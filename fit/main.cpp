// ostrel-fit: fits parameters of the Ostrel model to observations.
#include <unistd.h>

#include <iostream>

#include "fit/fit_command.h"

int main(int argc, char** argv) {
    FitEnvironment env;
    env.ProgressOnTerminal = isatty(STDERR_FILENO) != 0;
    return RunOstrelFit(argc, argv, std::cout, std::cerr, env);
}
