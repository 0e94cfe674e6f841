// ostrel-sensitivity: designs of many runs, running them in parallel (or
// writing them out for a batch system), and sensitivity indices from their
// results.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>

#include "core/notify.h"
#include "cmdline/input_checks.h"
#include "cmdline/terminal.h"
#include "fileio/csv.h"
#include "fileio/file_replace.h"
#include "fileio/fileio.h"
#include "run/session.h"
#include "sensitivity/analysis.h"
#include "sensitivity/design.h"
#include "sensitivity/ensemble.h"
#include "sensitivity/index_chart.h"
#include "sensitivity/ranges.h"

using namespace sensitivity;
namespace fs = std::filesystem;

namespace {

constexpr const char* Program = "ostrel-sensitivity";

std::ifstream OpenInput(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) throw InputError(name + ": cannot be read (" + std::strerror(errno) + ")");
    return in;
}

// Writes a whole file through the project's atomic save: a failure leaves
// the file that was there as it was, and no partial file behind.
template <class Write>
void WriteWhole(const std::string& name, Write write) {
    if (const std::string problem = WriteProblem(name); !problem.empty()) throw InputError(name + ": " + problem);
    std::ostringstream text;
    write(text);
    try {
        fileio::WriteReplacing(name, [&text](fileio::TextWriter& out) { out.Put(text.view()); });
    } catch (const std::exception& e) {
        throw InputError(name + ": " + e.what());
    }
}

// The modelbatch beside this program, in the build tree's cli folder, or on the PATH.
std::string FindModelBatch() {
    std::error_code ignored;
    const fs::path self = fs::read_symlink("/proc/self/exe", ignored).parent_path();
    for (const fs::path& p : {self / "modelbatch", self.parent_path() / "cli" / "modelbatch"})
        if (fs::exists(p, ignored)) return p.string();
    return "modelbatch";
}

std::string Clock(double seconds) {
    const long s = std::lround(seconds);
    return s >= 3600 ? std::to_string(s / 3600) + "h" + std::to_string(s / 60 % 60) + "m"
                     : std::to_string(s / 60) + "m" + std::to_string(s % 60) + "s";
}

// The results of one metric column: member → value, for the members whose
// status is "ok"; the failures' messages in order.
struct Results {
    std::vector<std::string> Metrics;
    std::vector<std::map<std::string, double>> Values;
    std::vector<std::pair<std::string, std::string>> Failures;
};

Results ReadResults(const std::string& name, const Design& design) {
    auto in = OpenInput(name);
    std::vector<std::string> fields;
    int line = 0, first = 0;
    if (!fileio::ReadCsvRecord(in, fields, line, first) || fields.size() < 3 || fields[0] != "member" ||
        fields[1] != "status")
        throw InputError(name + " line 1: a results file starts with the header member,status,METRIC...");
    Results r;
    r.Metrics.assign(fields.begin() + 2, fields.end());
    r.Values.resize(r.Metrics.size());
    std::map<std::string, int> members, seen;
    for (const Member& m : design.Members) members[m.Id] = 0;
    while (fileio::ReadCsvRecord(in, fields, line, first)) {
        if (fields.size() == 1 && fields[0].empty()) continue;
        const std::string place = name + " line " + std::to_string(first);
        if (fields.size() != r.Metrics.size() + 2)
            throw InputError(place + ": " + std::to_string(fields.size()) + " fields where the header has " +
                             std::to_string(r.Metrics.size() + 2));
        if (!members.count(fields[0]))
            throw InputError(place + ", column 1: member '" + fields[0] + "' is not in the design");
        if (!seen.emplace(fields[0], first).second)
            throw InputError(place + ", column 1: member '" + fields[0] + "' has a row on line " +
                             std::to_string(seen[fields[0]]) + " already");
        if (fields[1] != "ok") {
            r.Failures.emplace_back(fields[0], fields[1]);
            continue;
        }
        for (std::size_t i = 0; i < r.Metrics.size(); ++i) {
            double v = 0;
            if (!fileio::ParseDouble(fields[2 + i], v))
                throw InputError(place + ", column " + std::to_string(3 + i) + " (" + r.Metrics[i] + "): '" +
                                 fields[2 + i] + "' is not a number");
            r.Values[i][fields[0]] = v;
        }
    }
    return r;
}

std::string Number(double v) { return std::isnan(v) ? "" : fileio::ExactText(v); }

// Everything the command line gives, for all four commands.
struct Options {
    std::string method = "sobol", rangesFile, paramFile, designOut;
    DesignChoices choices;
    double spread = 0.10;
    std::string designFile, driverFile, resultsFile, commandsOut;
    std::vector<std::string> metrics, runOptions;
    int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    bool resume = false;
    std::string modelBatch = FindModelBatch();
    std::string indicesOut;
    int bootstrap = 1000;
    std::string plotFile, plotMetric;
};

CLI::App* AddDesignCommand(CLI::App& app, Options& o) {
    auto* design = app.add_subcommand("design", "Write a design of runs");
    design->add_option("--method", o.method, "oat, morris or sobol")->check(CLI::IsMember({"oat", "morris", "sobol"}));
    design->add_option("--ranges", o.rangesFile,
                       "SYMBOL LOW HIGH [log] a line; default: every non-zero parameter ±10 %");
    design->add_option("--params", o.paramFile, "parameter file whose values the default ranges surround");
    design->add_option("--samples", o.choices.Samples,
                       "Sobol blocks a replicate (default 512 / replicates) or Morris trajectories (default 20)");
    design->add_option("--replicates", o.choices.Replicates,
                       "Sobol: independent replicates, whose spread gives the 95 % intervals (default 8)");
    design->add_flag("--random", o.choices.Random,
                     "Sobol: plain pseudo-random points, one replicate by default, bootstrap intervals");
    design->add_option("--levels", o.choices.Levels, "Morris grid levels (even, default 4)");
    design->add_option("--delta", o.choices.Delta, "one-at-a-time relative step (default 0.01)");
    design->add_option("--spread", o.spread, "default ranges: the relative half-width (default 0.1)");
    design->add_option("--seed", o.choices.Seed, "random seed (default 1)");
    design->add_option("-o,--output", o.designOut, "design file (CSV)")->required();

    return design;
}

// run and commands share their arguments.
std::pair<CLI::App*, CLI::App*> AddEnsembleCommands(CLI::App& app, Options& o) {
    const auto ensembleArgs = [&](CLI::App* sub) {
        sub->add_option("design", o.designFile, "design file")->required();
        sub->add_option("paramfile", o.paramFile, "parameter file")->required();
        sub->add_option("driverfile", o.driverFile, "driver file")->required();
        sub->add_option("--metric", o.metrics, "KIND(SYMBOL)[@FROM..TO], repeatable")->required();
        sub->add_option("--run-option", o.runOptions, "an option passed on to modelbatch as it stands, repeatable");
        sub->add_option("--modelbatch", o.modelBatch, "the modelbatch program");
    };
    auto* run = app.add_subcommand("run", "Run the members of a design, several at a time");
    ensembleArgs(run);
    run->add_option("-o,--results", o.resultsFile, "results file (CSV), one row per member")->required();
    run->add_option("--jobs", o.jobs, "members run at a time (default: all cores)");
    run->add_flag("--resume", o.resume, "run only the members the results file has no row for");
    auto* commands = app.add_subcommand("commands", "Write one modelbatch command line per member");
    ensembleArgs(commands);
    commands->add_option("--results", o.resultsFile, "results file the members write")->required();
    commands->add_option("-o,--output", o.commandsOut, "commands file")->required();

    return {run, commands};
}

CLI::App* AddAnalyseCommand(CLI::App& app, Options& o) {
    auto* analyse = app.add_subcommand("analyse", "Sensitivity indices from a design and its results");
    analyse->add_option("design", o.designFile, "design file")->required();
    analyse->add_option("results", o.resultsFile, "results file")->required();
    analyse->add_option("-o,--output", o.indicesOut, "indices file (CSV)")->required();
    analyse
        ->add_option("--bootstrap", o.bootstrap,
                     "bootstrap resamples for the 95 % intervals of morris and of sobol --random designs of one "
                     "replicate (default 1000)")
        ->check(CLI::PositiveNumber);
    analyse->add_option("--plot", o.plotFile,
                        "chart of one metric's indices (.png, .svg or .pdf): ranked bars with 95 % intervals "
                        "(oat: elasticities; sobol: first order and total), or the morris mu*-sigma plane");
    analyse->add_option("--plot-metric", o.plotMetric, "the metric --plot draws (default: the results' first)");

    return analyse;
}

int DesignCommand(Options& o) {
    std::vector<Factor> factors;
    if (!o.rangesFile.empty()) {
        StartSession(1, 2, 1);
        if (!o.paramFile.empty()) ReadParamFile(o.paramFile, ModelDef.NumParams, Params, ModelDef.NumStates, States);
        auto in = OpenInput(o.rangesFile);
        factors = ReadRanges(in, o.rangesFile);
    } else {
        if (o.paramFile.empty()) throw InputError("--params PARAMFILE or --ranges RANGES is needed");
        StartSession(1, 2, 1);
        if (!ReadParamFile(o.paramFile, ModelDef.NumParams, Params, ModelDef.NumStates, States)) return 1;
        factors = DefaultRanges(o.spread);
    }
    o.choices.Kind = o.method == "oat" ? Method::Oat : o.method == "morris" ? Method::Morris : Method::Sobol;
    const Design d = MakeDesign(factors, o.choices);
    for (const std::string& note : d.Notes) std::cerr << Program << ": note: " << note << '\n';
    WriteWhole(o.designOut, [&d](std::ostream& out) { WriteDesign(d, out); });
    std::cout << Program << ": " << d.Members.size() << " members, " << d.Factors.size() << " factors, "
              << MethodName(d.Kind) << " design in '" << o.designOut << "'\n";
    return 0;
}

int AnalyseCommand(const Options& o, const Design& d) {
    if (!o.plotFile.empty() || !o.plotMetric.empty()) {
        if (!PlottingAvailable())
            throw InputError("--plot: plotting is not available in this build (it was built without the windows)");
        if (o.plotFile.empty()) throw InputError("--plot-metric needs --plot FILE");
        CheckPlotFileName(o.plotFile);
    }
    const Results r = ReadResults(o.resultsFile, d);
    std::size_t plotted = 0;
    if (!o.plotMetric.empty()) {
        const auto named = std::find(r.Metrics.begin(), r.Metrics.end(), o.plotMetric);
        if (named == r.Metrics.end()) {
            std::string list;
            for (const std::string& m : r.Metrics) list += (list.empty() ? "" : ", ") + m;
            throw InputError("--plot-metric: " + o.resultsFile + " has no metric '" + o.plotMetric +
                             "'; its metrics: " + list);
        }
        plotted = static_cast<std::size_t>(named - r.Metrics.begin());
    }
    std::vector<Analysis> analyses;
    for (std::size_t i = 0; i < r.Metrics.size(); ++i) analyses.push_back(Analyse(d, r.Values[i], o.bootstrap, 1));
    WriteWhole(o.indicesOut, [&](std::ostream& out) {
        out << "metric,factor,measure,value,low95,high95\r\n";
        for (std::size_t i = 0; i < r.Metrics.size(); ++i)
            for (const Index& x : analyses[i].Indices)
                out << fileio::CsvField(r.Metrics[i]) << ',' << fileio::CsvField(x.Factor) << ',' << x.Measure << ','
                    << Number(x.Value) << ',' << Number(x.Low95) << ',' << Number(x.High95) << "\r\n";
    });
    if (!analyses.empty())
        for (const std::string& note : analyses[0].Notes) std::cerr << Program << ": note: " << note << '\n';
    std::cout << Program << ": indices of " << r.Metrics.size() << " metrics in '" << o.indicesOut << "'";
    if (!r.Failures.empty()) std::cout << "; " << r.Failures.size() << " failed members left out";
    std::cout << '\n';
    if (!o.plotFile.empty()) {
        DrawIndexChart(BuildIndexChart(d, analyses[plotted], r.Metrics[plotted]), o.plotFile);
        std::cout << Program << ": chart of " << r.Metrics[plotted] << " in '" << o.plotFile << "'\n";
    }
    return 0;
}

int CommandsCommand(const Options& o, const Design& d, const EnsembleSettings& s) {
    WriteWhole(o.commandsOut, [&](std::ostream& out) {
        out << "# " << d.Members.size() << " members of '" << o.designFile << "'; each appends its row to '"
            << o.resultsFile << "'.\n"
            << "# GNU parallel, on this machine:  parallel --jobs " << o.jobs << " :::: " << o.commandsOut << "\n"
            << "#   on several machines:          parallel --sshloginfile HOSTS --jobs 1 :::: " << o.commandsOut << "\n"
            << "# Slurm job array (one member a task):\n"
            << "#   #!/bin/bash\n#   #SBATCH --array=1-" << d.Members.size() << "\n"
            << "#   #SBATCH --cpus-per-task=1\n"
            << "#   cmd=$(grep -v '^#' " << o.commandsOut << " | sed -n \"${SLURM_ARRAY_TASK_ID}p\")\n"
            << "#   eval \"$cmd\"\n";
        for (const Member& m : d.Members) out << ShellCommand(MemberArguments(s, d, m)) << '\n';
    });
    std::cout << Program << ": " << d.Members.size() << " command lines in '" << o.commandsOut << "'\n";
    return 0;
}

int RunCommand(const Options& o, const Design& d, const EnsembleSettings& s) {
    const auto header = ResultsHeader(o.metrics);
    if (const std::string problem = PlaceProblem(o.resultsFile); !problem.empty())
        throw InputError("results file '" + o.resultsFile + "': " + problem + "; nothing was run");
    std::set<std::string> skip;
    if (fs::exists(o.resultsFile)) {
        if (!o.resume)
            throw InputError("results file '" + o.resultsFile +
                             "' exists: --resume runs the members it lacks, or name another file");
        skip = FinishedMembers(o.resultsFile, header);
    }
    ProgressLine progress(std::cerr, isatty(STDERR_FILENO) != 0, std::chrono::milliseconds(100));
    const auto p = RunEnsemble(s, d, skip, std::max(1, o.jobs), [&progress](const EnsembleProgress& p) {
        if (!progress.Due()) return;
        const double eta = p.Done ? p.Seconds / double(p.Done) * double(p.Total - p.Done) : 0;
        progress.Show(std::to_string(p.Done) + "/" + std::to_string(p.Total) + " members, " + std::to_string(p.Failed) +
                      " failed, elapsed " + Clock(p.Seconds) + ", ETA " + Clock(eta) + "   ");
    });
    progress.Clear(79);
    std::cout << Program << ": " << p.Done << " members run (" << skip.size() << " done before), " << p.Failed
              << " failed, " << Clock(p.Seconds) << "; results in '" << o.resultsFile << "'\n";
    if (p.Failed) {
        const Results r = ReadResults(o.resultsFile, d);
        for (std::size_t i = 0; i < r.Failures.size() && i < 3; ++i)
            std::cout << "  member " << r.Failures[i].first << ": " << r.Failures[i].second << '\n';
    }
    return p.Failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Sensitivity analysis of the Ostrel model: designs, ensembles of runs, indices.", Program};
    app.require_subcommand(1);
    Options o;
    CLI::App* design = AddDesignCommand(app, o);
    const auto [run, commands] = AddEnsembleCommands(app, o);
    CLI::App* analyse = AddAnalyseCommand(app, o);
    (void)run;
    CLI11_PARSE(app, argc, argv);
    try {
        if (*design) return DesignCommand(o);
        auto designIn = OpenInput(o.designFile);
        const Design d = ReadDesign(designIn, o.designFile);
        if (*analyse) return AnalyseCommand(o, d);
        EnsembleSettings s{o.modelBatch, o.metrics, o.runOptions, o.paramFile, o.driverFile, o.resultsFile};
        if (*commands) return CommandsCommand(o, d, s);
        return RunCommand(o, d, s);
    } catch (const std::exception& e) {
        std::cerr << Program << ": " << e.what() << '\n';
        return 1;
    }
}
