#include "budget/ostrel_budget.h"

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "budget/books.h"
#include "budget/report.h"
#include "cmdline/batch_options.h"

namespace {

constexpr const char* Program = "ostrel-budget";

}  // namespace

int RunOstrelBudget(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app{
        "Prints the carbon, nitrogen and water budget of an output file of the Ostrel workbench: per model "
        "year and for the whole run, the inputs, the outputs, the change of the stored pools and the "
        "closure error, from the model's annual totals."};
    app.name(Program);
    std::string outputFile;
    std::optional<std::string> csvFile;
    app.add_option("OUTPUTFILE", outputFile, "Output file of a run")->required();
    app.add_option("--csv", csvFile, "Also save the budget as CSV to FILE")->type_name("FILE");
    if (const auto exit = ParseOrExit(app, argc, argv, out, err, Program)) return *exit;

    budget::Budget b;
    try {
        b = budget::BudgetOfFile(outputFile);
    } catch (const std::exception& e) {
        err << Program << ": " << outputFile << ": " << e.what() << "\n";
        return 1;
    }
    out << budget::ReportText(b);
    if (csvFile) {
        try {
            budget::SaveReportCsv(b, *csvFile);
        } catch (const std::exception& e) {
            err << Program << ": " << *csvFile << ": " << e.what() << "\n";
            return 1;
        }
    }
    return 0;
}
