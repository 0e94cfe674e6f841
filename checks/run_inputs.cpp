#include "checks/run_inputs.h"

#include "checks/driver_checks.h"
#include "checks/param_checks.h"
#include "core/stypes.h"

namespace {
std::string Quoted(const std::string& text) { return "'" + text + "'"; }
}  // namespace

InputCheck CheckRunInputs(const std::string& paramFile, bool valuesAsRead, const std::string& driverFile) {
    InputCheck check;
    const std::string paramSubject = "parameter file " + Quoted(paramFile);
    if (!paramFile.empty() && valuesAsRead) {
        try {
            check.Warnings = ParamFileWarnings(paramFile, paramSubject);
        } catch (const std::exception&) {
            // The file changed or went since it was read: the values in force stand.
        }
    }
    const std::vector<std::string> order = ParamOrderWarnings(valuesAsRead ? paramSubject : "the parameters in force");
    check.Warnings.insert(check.Warnings.end(), order.begin(), order.end());
    check.Findings = order;
    try {
        DriverCheck drivers = CheckDriverFile(driverFile, "driver file " + Quoted(driverFile), ModelDef.NumDrivers);
        check.Refusal = std::move(drivers.Refusal);
        check.Warnings.insert(check.Warnings.end(), drivers.Warnings.begin(), drivers.Warnings.end());
        check.Findings.insert(check.Findings.end(), drivers.Warnings.begin(), drivers.Warnings.end());
    } catch (const std::exception&) {
        // The run reports a driver file it cannot read, naming the line.
    }
    return check;
}

std::string LikelyCause(const std::vector<std::string>& findings, RunStage failedIn) {
    if (findings.empty() || (failedIn != RunStage::Evaluate && failedIn != RunStage::Integrate)) return {};
    std::string text = "; likely at fault: " + findings.front();
    if (findings.size() > 1)
        text += " (and " + std::to_string(findings.size() - 1) +
                (findings.size() == 2 ? " more warning)" : " more warnings)");
    return text;
}

std::string InputWarningsQuestion(const std::vector<std::string>& warnings) {
    // One paragraph each, so that wrapped lines stay apart.
    constexpr std::size_t Shown = 8;
    std::string text = "The input files may mislead this run:";
    for (std::size_t i = 0; i < warnings.size() && i < Shown; ++i) text += "\n\n" + warnings[i];
    if (warnings.size() > Shown) text += "\n\n... and " + std::to_string(warnings.size() - Shown) + " more warnings";
    return text + "\n\nRun anyway?";
}
