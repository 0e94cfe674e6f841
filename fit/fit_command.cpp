#include "fit/fit_command.h"

#include <charconv>
#include <CLI/CLI.hpp>
#include <chrono>
#include <optional>

#include "cmdline/batch_options.h"
#include "cmdline/input_checks.h"
#include "cmdline/interrupt.h"
#include "cmdline/terminal.h"
#include "cli/model_batch.h"
#include "core/notify.h"
#include "fileio/file_replace.h"
#include "fileio/fileio.h"
#include "fit/fit_report.h"
#include "model/equations.h"

namespace {

constexpr const char* Program = "ostrel-fit";

// Messages of the file readers go to stderr, after the file they concern.
struct FitOptions {
    std::string obsFile;
    std::vector<std::string> fits, sds;
    std::string algorithm = "bobyqa";
    int maxRuns = 1000;
    std::optional<std::string> fitted, report, plot;
};

// modelbatch's run options, without those about its output.
void BuildFitCommandLine(CLI::App& app, BatchOptions& o, FitOptions& f) {
    BuildCommandLine(app, o);
    for (const char* name : {"OUTPUTFILE", "--format", "--columns", "--save-params", "--list-variables", "--metric",
                             "--metrics-out", "--member", "--no-output", "--stats", "--strict"})
        app.remove_option(app.get_option(name));
    app.get_option("--quiet")->description("Print nothing but errors");
    app.add_option("OBSFILE", f.obsFile, "Observations: CSV or TSV, a time column and one column per observed symbol");
    app.add_option("--fit", f.fits, "A parameter to fit, within LOW..HIGH (default: half to twice its value; repeatable)")
        ->allow_extra_args(false)
        ->type_name("SYM[=LOW..HIGH]");
    app.add_option("--sd", f.sds, "The standard deviation of every observation of SYM (default 1, or its sd(SYM) column)")
        ->allow_extra_args(false)
        ->type_name("SYM=VALUE");
    app.add_option("--algorithm", f.algorithm, "bobyqa (default), neldermead or sbplx")->type_name("NAME");
    app.add_option("--max-runs", f.maxRuns, "At most N runs of the model for the search (default 1000)")
        ->check(CLI::PositiveNumber)
        ->type_name("N");
    app.add_option("-o", f.fitted, "Write a parameter file with the fitted values")->type_name("FITTED.par");
    app.add_option("--report", f.report, "Write the report into this file instead of the standard output")
        ->type_name("REPORT.txt");
    app.add_option("--plot", f.plot, "Draw each fitted variable with its observations (PNG, SVG or PDF; FILE-SYM.png a variable when several)")
        ->type_name("FILE");
    app.footer(
        "Every run starts from the states of PARAMFILE; the objective is the sum of squared residuals divided by "
        "their standard deviations.\n"
        "A record of the run must fall on every observed time: choose --start, --step, --output-every and --offset "
        "to meet them.\n"
        "Ctrl+C ends the search after the run in progress; the best values found are reported and saved.\n"
        "A second Ctrl+C ends the program at once.\n"
        "Exit status: 0 done, 1 a file or the fit failed, 2 wrong command line, 130 interrupted, 143 stopped by "
        "SIGTERM.");
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

class FitRun {
public:
    FitRun(const BatchOptions& o, const FitOptions& f, std::ostream& out, std::ostream& err, const FitEnvironment& env)
        : o_(o),
          f_(f),
          out_(out),
          err_(err),
          env_(env),
          progress_(err, env.ProgressOnTerminal && !o.quiet, std::chrono::milliseconds(200)) {}
    int Execute();

private:
    int Fail(const std::string& text) const {
        err_ << Program << ": " << text << '\n';
        return ExitFailure;
    }
    void ShowProgress(const fit::FitProgress& p);
    int ReadParams();
    int ReadFitInputs(std::vector<fit::FitParameter>& params, fit::FitSettings& settings, fit::Observations& obs);
    int Report(fit::ModelEvaluator& evaluator, const fit::FitResult& result, double seconds);

    const BatchOptions& o_;
    const FitOptions& f_;
    std::ostream& out_;
    std::ostream& err_;
    const FitEnvironment& env_;
    ProgressLine progress_;
};

void FitRun::ShowProgress(const fit::FitProgress& p) {
    if (!progress_.Due()) return;
    progress_.Show(std::string(Program) + ": " + std::to_string(p.Runs) + " runs, best objective " +
                   fit::ReportNumber(p.Best) + "    ");
}

// The parameter file, with the values --set gives over it.
int FitRun::ReadParams() {
    {
        TerminalNotifier notifier(err_, Program, {.ContextInWarnings = true});
        notifier.SetContext("parameter file " + Quoted(o_.paramFile));
        try {
            if (!ReadParamFile(o_.paramFile, ModelDef.NumParams, Params, ModelDef.NumStates, States)) return ExitFailure;
        } catch (const std::exception& e) {
            return Fail("parameter file " + Quoted(o_.paramFile) + ": " + e.what());
        }
    }
    for (const auto& [v, value] : SetValues(o_))
        (v.kind == VarKind::Parameter ? Params[v.index].Value : States[v.index].Value) = value;

    return 0;
}

// What is fitted, how, and to which observations.
int FitRun::ReadFitInputs(std::vector<fit::FitParameter>& params, fit::FitSettings& settings, fit::Observations& obs) {
    std::vector<fit::SeriesSd> sds;
    try {
        for (const std::string& text : f_.fits) {
            params.push_back(fit::ParseFitOption(text));
            for (std::size_t j = 0; j + 1 < params.size(); ++j)
                if (params[j].Index == params.back().Index)
                    throw fit::EFitError("--fit " + text + ": " + params.back().Symbol + " is fitted already");
        }
        for (const std::string& text : f_.sds) sds.push_back(fit::ParseSd(text));
        settings.Method = fit::AlgorithmNamed(f_.algorithm);
        settings.MaxRuns = f_.maxRuns;
    } catch (const std::exception& e) {
        err_ << Program << ": " << e.what() << '\n';
        return ExitUsage;
    }
    try {
        obs = fit::ReadObservations(f_.obsFile, sds);
    } catch (const std::exception& e) {
        return Fail(e.what());
    }

    return 0;
}

// The report, the fitted parameter file and the plot of a fit that ended.
int FitRun::Report(fit::ModelEvaluator& evaluator, const fit::FitResult& result, double seconds) {
    const std::vector<fit::FitParameter>& params = evaluator.Parameters();
    const fit::Observations& obs = evaluator.Observed();
    int status = result.Cancelled ? InterruptedStatus() : 0;
    if (result.Cancelled && !o_.quiet)
        err_ << Program << ": " << InterruptedText() << "; the best values found are kept\n";
    const std::string report = fit::FitReport(evaluator, result);
    if (f_.report) {
        try {
            fileio::WriteReplacing(*f_.report, [&](fileio::TextWriter& w) { w.Put(report); });
        } catch (const std::exception& e) {
            status = Fail("report " + Quoted(*f_.report) + ": " + e.what());
        }
    } else {
        out_ << report;
    }
    if (f_.fitted) {
        for (std::size_t j = 0; j < params.size(); ++j) Params[params[j].Index].Value = result.Fitted[j];
        TerminalNotifier notifier(err_, Program, {.ContextInWarnings = true});
        notifier.SetContext("parameter file " + Quoted(*f_.fitted));
        try {
            WriteParamFile(*f_.fitted, ModelDef.NumParams, Params, ModelDef.NumStates, States);
        } catch (const std::exception& e) {
            status = Fail("parameter file " + Quoted(*f_.fitted) + ": " + e.what());
        }
        evaluator.Restore();
    }
    if (f_.plot) {
        const std::string problem = env_.Plot(*f_.plot, evaluator, result);
        if (!problem.empty()) status = Fail("--plot " + Quoted(*f_.plot) + ": " + problem);
        else if (!o_.quiet)
            for (const std::string& file : PlotFiles(*f_.plot, obs)) err_ << Program << ": plot " << Quoted(file) << '\n';
    }
    if (!o_.quiet) {
        char text[400];
        const std::string shown(text,
                                std::to_chars(text, text + sizeof text, seconds, std::chars_format::fixed, 1).ptr);
        err_ << Program << ": " << result.Runs << " runs in " << shown << " s, objective "
             << fit::ReportNumber(result.StartObjective) << " -> " << fit::ReportNumber(result.Objective) << '\n';
    }
    return status;
}

int FitRun::Execute() {
    if (const int status = ReadParams(); status != 0) return status;
    std::vector<fit::FitParameter> params;
    fit::FitSettings settings;
    fit::Observations obs;
    if (const int status = ReadFitInputs(params, settings, obs); status != 0) return status;

    DriverFileName = o_.driverFile;
    ParamFileName = o_.paramFile;
    // Ctrl+C ends the search after the run in progress; the best point found
    // so far is reported and saved.
    InterruptGuard guard;
    fit::FitHooks hooks;
    hooks.CancelRequested = [] { return Interrupted(); };
    fit::ModelEvaluator evaluator(obs, params, hooks, env_.Evaluate);
    const auto started = std::chrono::steady_clock::now();
    fit::FitResult result;
    try {
        result = fit::Fit(evaluator, settings, [this](const fit::FitProgress& p) { ShowProgress(p); });
    } catch (const std::exception& e) {
        progress_.Clear(70);
        return Fail(e.what());
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    progress_.Clear(70);

    return Report(evaluator, result, seconds);
}

}  // namespace

std::vector<std::string> PlotFiles(const std::string& fileName, const fit::Observations& observations) {
    if (observations.Series.size() == 1) return {fileName};
    const std::size_t slash = fileName.rfind('/');
    std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = fileName.size();
    std::vector<std::string> files;
    for (const fit::ObservedSeries& s : observations.Series)
        files.push_back(fileName.substr(0, dot) + "-" + s.Symbol + fileName.substr(dot));
    return files;
}

int RunOstrelFit(int argc, char** argv, std::ostream& out, std::ostream& err, const FitEnvironment& env) {
    CLI::App app{"Fits parameters of the Ostrel model to observations, each objective a complete run.", Program};
    BatchOptions options;
    FitOptions fitOptions;
    BuildFitCommandLine(app, options, fitOptions);
    if (const auto exit = ParseOrExit(app, argc, argv, out, err, Program)) return *exit;
    DefineModel();
    if (options.version) {
        out << ModelDef.Name << ' ' << ModelDef.Version << '\n';
        return 0;
    }
    if (options.paramFile.empty() || options.driverFile.empty() || fitOptions.obsFile.empty()) {
        err << Program << ": PARAMFILE, DRIVERFILE and OBSFILE are required\nRun with --help for more information.\n";
        return ExitUsage;
    }
    if (fitOptions.fits.empty()) {
        err << Program << ": name the parameters to fit with --fit SYM[=LOW..HIGH]\n";
        return ExitUsage;
    }
    // Destinations that cannot take their files: found before a long fit, not after it.
    if (fitOptions.plot && !env.Plot) {
        err << Program << ": --plot: this ostrel-fit was built without windows and draws no plots\n";
        return ExitUsage;
    }
    const std::pair<const char*, const std::optional<std::string>*> outputs[] = {
        {"-o ", &fitOptions.fitted}, {"--report ", &fitOptions.report}, {"--plot ", &fitOptions.plot}};
    for (const auto& [option, name] : outputs)
        if (*name)
            if (const std::string problem = WriteProblem(**name); !problem.empty()) {
                err << Program << ": " << option << Quoted(**name) << ": " << problem << "; nothing was fitted\n";
                return ExitFailure;
            }
    try {
        ApplyOptions(options);
        SetValues(options);
    } catch (const UsageError& e) {
        err << Program << ": " << e.what() << '\n';
        return ExitUsage;
    }
    return FitRun(options, fitOptions, out, err, env).Execute();
}
