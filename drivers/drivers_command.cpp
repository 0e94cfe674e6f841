#include "drivers/drivers_command.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "cmdline/batch_options.h"
#include "drivers/check_export.h"
#include "drivers/import.h"
#include "drivers/import_error.h"
#include "model/equations.h"

namespace drivers {

namespace {

constexpr const char* Program = "ostrel-drivers";

struct CommandLine {
    ImportSettings Import;
    std::vector<std::string> Columns;
    std::string Shortwave = "hargreaves";
    double Co2 = 0.0;
    std::string DriverFile;
    std::string CsvFile;
    int FirstYear = 2001;
};

void AddImport(CLI::App& app, CommandLine& c) {
    CLI::App* im = app.add_subcommand("import", "Makes a driver file from a CSV or TSV weather file");
    ImportSettings& s = c.Import;
    im->add_option("WEATHER", s.Input, "CSV or TSV with a header line: a date (or year and doy) and the weather")
        ->required();
    im->add_option("--latitude", s.Latitude, "Latitude of the site, degrees (south negative)")->required();
    im->add_option("-o,--output", s.Output, "The driver file to write")->required();
    im->add_option("--column", c.Columns, "A driver's column: SYMBOL=COLUMN[:UNIT], as in Tamax=temp_max:degC")
        ->type_name("MAP");
    im->add_option("--shortwave", c.Shortwave, "Shortwave where none is measured: hargreaves or thornton-running")
        ->check(CLI::IsMember({"hargreaves", "thornton-running"}));
    im->add_option("--krs", s.Krs, "Hargreaves-Samani coefficient: 0.16 inland, 0.19 coastal")->default_val(0.16);
    im->add_option("--soil-lag", s.SoilLag, "Days of the running mean giving the soil temperature")->default_val(10.0);
    im->add_option("--co2", c.Co2, "Constant CO2, ppm (default: annual means by year)")->type_name("PPM");
    im->add_option("--ndep", s.Ndep, "Nitrogen deposition, kg N ha-1 yr-1")->default_val(8.0)->type_name("KG_N_HA_YR");
    im->add_option("--nh4-fraction", s.Nh4Fraction, "Share of the deposition as ammonium")->default_val(0.5);
    im->add_option("--max-gap", s.MaxGap, "Longest gap filled, days")->default_val(3);
}

void AddCheckAndExport(CLI::App& app, CommandLine& c) {
    CLI::App* check = app.add_subcommand("check", "Checks a driver file and prints its years");
    check->add_option("DRIVERS", c.DriverFile, "The driver file (.drr)")->required();
    CLI::App* ex = app.add_subcommand("export", "Writes a driver file as CSV with dates");
    ex->add_option("DRIVERS", c.DriverFile, "The driver file (.drr)")->required();
    ex->add_option("-o,--output", c.CsvFile, "The CSV file to write")->required();
    ex->add_option("--first-year", c.FirstYear, "Calendar year of the first model year")->default_val(2001);
}

int Import(CLI::App& app, CommandLine& c, std::ostream& out, std::ostream& err) {
    ImportSettings& s = c.Import;
    for (const std::string& text : c.Columns) s.Columns.push_back(ParseColumnChoice(text));
    s.Shortwave =
        c.Shortwave == "thornton-running" ? ShortwaveMethod::ThorntonRunning : ShortwaveMethod::HargreavesSamani;
    if (app.get_subcommand("import")->count("--co2") > 0) s.Co2 = c.Co2;
    if (s.Input == s.Output)
        throw ImportError(s.Output + ": the driver file would replace the weather file it is read from");
    const ImportResult result = ImportAndSave(s);
    for (const std::string& w : result.Warnings) err << Program << ": warning: " << w << '\n';
    PrintImportReport(out, s, result);
    return 0;
}

}  // namespace

int RunDriversCommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Driver files for the Ostrel model from station or tower weather.", Program};
    app.require_subcommand(1);
    CommandLine c;
    AddImport(app, c);
    AddCheckAndExport(app, c);
    if (const auto exit = ParseOrExit(app, argc, argv, out, err, Program)) return *exit;
    try {
        DefineModel();
        if (app.got_subcommand("import")) return Import(app, c, out, err);
        if (app.got_subcommand("check")) return CheckDriverFile(c.DriverFile, out) == 0 ? 0 : 1;
        const std::size_t lines = ExportDriverFile(c.DriverFile, c.CsvFile, c.FirstYear);
        out << c.CsvFile << ": " << lines << " records, dates from " << c.FirstYear << '\n';
        return 0;
    } catch (const ImportError& e) {
        err << Program << ": " << e.what() << '\n';
        return 1;
    }
}

}  // namespace drivers
