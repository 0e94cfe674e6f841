// Running ostrel-fit inside the test process, and observations of the test
// model written out as a file.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "fit/fit_command.h"

struct FitRunResult {
    int status;
    std::string out, err;
};

// ostrel-fit with these arguments (the program name put in front), on the
// given model equations (null: the compiled-in model).
inline FitRunResult FitCommand(std::vector<std::string> args, EvaluateFunction evaluate = nullptr) {
    args.insert(args.begin(), "ostrel-fit");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    std::ostringstream out, err;
    FitEnvironment env;
    env.Evaluate = evaluate;
    const int status = RunOstrelFit(static_cast<int>(argv.size()), argv.data(), out, err, env);
    return {status, out.str(), err.str()};
}
