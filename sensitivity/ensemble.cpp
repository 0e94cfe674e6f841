#include "sensitivity/ensemble.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <map>

#include "fileio/csv.h"
#include "run/metrics.h"

extern char** environ;

namespace sensitivity {

std::vector<std::string> MemberArguments(const EnsembleSettings& s, const Design& design, const Member& m) {
    std::vector<std::string> args{s.ModelBatch, "--quiet", "--no-output", "--member", m.Id, "--metrics-out",
                                  s.ResultsFile};
    for (const std::string& metric : s.Metrics) args.insert(args.end(), {"--metric", metric});
    for (std::size_t i = 0; i < design.Factors.size(); ++i)
        args.insert(args.end(), {"--set", design.Factors[i].Symbol + "=" + fileio::ExactText(m.Values[i])});
    args.insert(args.end(), s.RunOptions.begin(), s.RunOptions.end());
    args.insert(args.end(), {s.ParamFile, s.DriverFile});
    return args;
}

std::string ShellCommand(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& a : arguments) {
        if (!line.empty()) line += ' ';
        const bool plain = !a.empty() && a.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                             "0123456789_-+=./,:@%") == std::string::npos;
        if (plain) {
            line += a;
            continue;
        }
        line += '\'';
        for (const char c : a) line += c == '\'' ? std::string("'\\''") : std::string(1, c);
        line += '\'';
    }
    return line;
}

std::vector<std::string> ResultsHeader(const std::vector<std::string>& metrics) {
    std::vector<std::string> header{"member", "status"};
    header.insert(header.end(), metrics.begin(), metrics.end());
    return header;
}

std::set<std::string> FinishedMembers(const std::string& resultsFile, const std::vector<std::string>& header) {
    std::set<std::string> done;
    std::ifstream in(resultsFile, std::ios::binary);
    if (!in) return done;
    std::vector<std::string> fields;
    int line = 0, first = 0;
    if (!fileio::ReadCsvRecord(in, fields, line, first)) return done;
    if (fields != header)
        throw InputError(resultsFile + " line 1: the columns are not those of this ensemble's metrics");
    while (fileio::ReadCsvRecord(in, fields, line, first))
        if (!fields.empty() && !fields[0].empty()) done.insert(fields[0]);
    return done;
}

EnsembleProgress RunEnsemble(const EnsembleSettings& settings, const Design& design, const std::set<std::string>& skip,
                             int jobs, const std::function<void(const EnsembleProgress&)>& progress) {
    const auto start = std::chrono::steady_clock::now();
    EnsembleProgress p;
    std::vector<const Member*> todo;
    for (const Member& m : design.Members)
        if (!skip.count(m.Id)) todo.push_back(&m);
    p.Total = todo.size();
    const auto header = ResultsHeader(settings.Metrics);
    std::map<pid_t, const Member*> running;
    std::size_t next = 0;
    const auto launch = [&](const Member& m) {
        const auto args = MemberArguments(settings, design, m);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        pid_t pid = 0;
        const int err = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
        if (err != 0) throw InputError("cannot start " + settings.ModelBatch + ": " + std::strerror(err));
        running[pid] = &m;
    };
    while (next < todo.size() || !running.empty()) {
        while (next < todo.size() && static_cast<int>(running.size()) < jobs) launch(*todo[next++]);
        int status = 0;
        const pid_t pid = ::waitpid(-1, &status, 0);
        if (pid < 0) {
            if (errno == EINTR) continue;
            break;
        }
        const auto it = running.find(pid);
        if (it == running.end()) continue;
        const Member& m = *it->second;
        running.erase(it);
        ++p.Done;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++p.Failed;
        if (WIFSIGNALED(status)) {
            // It wrote no row: the results say how it ended.
            std::vector<std::string> row{m.Id, std::string("modelbatch ended by signal ") + std::to_string(WTERMSIG(status))};
            row.resize(header.size());
            AppendResultsRow(settings.ResultsFile, header, row);
        }
        p.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        progress(p);
    }
    return p;
}

}  // namespace sensitivity
