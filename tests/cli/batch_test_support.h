// Running modelbatch inside the test process, and the parameter file of the
// test model it is run with.
#pragma once

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/model_batch.h"
#include "fileio/fileio.h"
#include "model/equations.h"

struct BatchResult {
    int status;
    std::string out, err;
};

// modelbatch with these arguments (the program name is put in front), on the
// given model equations (null: the compiled-in model).
inline BatchResult Batch(std::vector<std::string> args, EvaluateFunction evaluate = nullptr) {
    args.insert(args.begin(), "modelbatch");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    std::ostringstream out, err;
    BatchEnvironment env;
    env.Evaluate = evaluate;
    const int status = RunModelBatch(static_cast<int>(argv.size()), argv.data(), out, err, env);
    return {status, out.str(), err.str()};
}

// A parameter file for the test model: every value 0 but Params[1] = 1 (state
// 1 grows by 1 per time unit); `changes` sets further parameters by index.
inline void WriteTestModelParams(const std::string& file, const std::vector<std::pair<int, double>>& changes = {}) {
    DefineModel();
    for (int i = 1; i <= MaxStates; ++i) States[i].Value = 0.0;
    for (int i = 1; i <= MaxParams; ++i) Params[i].Value = 0.0;
    Params[1].Value = 1.0;
    for (auto [i, value] : changes) Params[i].Value = value;
    WriteParamFile(file, ModelDef.NumParams, Params, ModelDef.NumStates, States);
}
