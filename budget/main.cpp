// ostrel-budget OUTPUTFILE [--csv FILE]
#include <iostream>

#include "budget/ostrel_budget.h"
#include "model/equations.h"

int main(int argc, char** argv) {
    DefineModel();
    return RunOstrelBudget(argc, argv, std::cout, std::cerr);
}
