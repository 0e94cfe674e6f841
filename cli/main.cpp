// modelbatch: runs the Ostrel model without windows.
#include <unistd.h>

#include <iostream>

#include "cli/model_batch.h"

int main(int argc, char** argv) {
    BatchEnvironment env;
    env.ProgressOnTerminal = isatty(STDERR_FILENO) != 0;
    return RunModelBatch(argc, argv, std::cout, std::cerr, env);
}
