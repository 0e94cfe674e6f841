// One run of the model for a script: the run and the checks of modelbatch,
// with the records gathered into a table instead of (or besides) a file.
// The model's tables are one per process, so one run goes at a time.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cmdline/batch_options.h"
#include "python/record_table.h"
#include "run/run_loop.h"

// The values of every state and every parameter, in the order of their
// tables, as a parameter file holds them.
struct ParamValues {
    std::vector<double> States, Params;
};

struct ScriptRunRequest {
    // The times, the output and special-run options, --set, --metric and
    // --columns as modelbatch takes them. An empty paramFile takes `values`.
    BatchOptions Options;
    std::optional<ParamValues> Values;
    // "" for no output file; a name ending in .csv or .tsv gets a table of the
    // chosen columns, any other the model's output file.
    std::string OutputFile;
    // Asked after every step: true ends the run after it.
    std::function<bool()> Cancel;
    // After every step: the share of the run done (0..100) and the time reached.
    std::function<void(int, double)> Progress;
};

enum class ScriptRunEnd {
    Completed,
    Refused,    // nothing was run: the options, or the files before the run
    Failed,     // the run failed; the records before the failure are kept
    Cancelled,  // Cancel ended it
};

struct ScriptRunOutcome {
    ScriptRunEnd End = ScriptRunEnd::Completed;
    std::string Message;  // the refusal or the failure, in modelbatch's words
    std::vector<std::string> Warnings;
    RecordTable Records;
    RunStatistics Statistics;
    std::vector<MetricOutcome> Metrics;
    ParamValues Final;  // the states and parameters at the end of the run
};

// Runs with the request; the model must not be running. Never throws for a
// failure of the run or its files: the outcome tells.
ScriptRunOutcome RunForScript(const ScriptRunRequest& request);

// The values the model's tables hold now.
ParamValues ValuesInForce();
