#include "plot/ostrel_plot.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <limits>
#include <stdexcept>

#include "cmdline/batch_options.h"
#include "cmdline/symbols.h"
#include "core/stypes.h"
#include "display/chart_series.h"
#include "display/display_rules.h"
#include "views/output_chart.h"

namespace {

constexpr const char* Program = "ostrel-plot";

struct Symbol {
    std::string Text;
    int Column;
};

// Every series' symbol with its grid column, in table order.
std::vector<Symbol> Symbols() {
    std::vector<Symbol> symbols;
    const int nd = ModelDef.NumDrivers, ns = ModelDef.NumStates;
    for (int i = 1; i <= nd; ++i) symbols.push_back({std::string(Drivers[i].Symbol), i});
    for (int i = 1; i <= ns; ++i) symbols.push_back({std::string(States[i].Symbol), nd + i});
    for (int i = ns + 1; i <= ModelDef.NumProcesses; ++i) symbols.push_back({std::string(Processes[i].Symbol), nd + i});
    return symbols;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string NearestSymbols(const std::string& wanted) {
    std::vector<std::pair<std::size_t, std::string>> ranked;
    for (const Symbol& s : Symbols())
        if (std::none_of(ranked.begin(), ranked.end(), [&](const auto& r) { return r.second == s.Text; }))
            ranked.emplace_back(EditDistanceIgnoringCase(wanted, s.Text), s.Text);
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string list;
    for (std::size_t i = 0; i < ranked.size() && i < 5; ++i) list += (i ? ", " : "") + ranked[i].second;
    return list;
}

struct PlotOptions {
    std::string OutputFile;
    std::vector<std::string> Series;
    std::string X = "Time";
    std::string PlotAs = "actual";
    bool LogX = false, LogY = false;
    double From = -std::numeric_limits<double>::infinity();
    double To = std::numeric_limits<double>::infinity();
    std::string ChartFile;
    std::string Size = "1000x600";
};

void BuildCommandLine(CLI::App& app, PlotOptions& o) {
    app.add_option("OUTPUTFILE", o.OutputFile, "Output file of a run")->required();
    app.add_option("--series", o.Series, "Series to plot, by symbol or name, separated by commas (at most 10; a name with a comma by its symbol)")
        ->required()
        ->delimiter(',');
    app.add_option("--x", o.X, "Independent series (default Time)");
    app.add_option("--plot-as", o.PlotAs, "actual (y), relative (y/y0) or cumulative (y-y0)")
        ->check(CLI::IsMember({"actual", "relative", "cumulative"}));
    app.add_flag("--log-x", o.LogX, "Logarithmic independent axis");
    app.add_flag("--log-y", o.LogY, "Logarithmic dependent axis");
    app.add_option("--from", o.From, "First time plotted");
    app.add_option("--to", o.To, "Last time plotted");
    app.add_option("--size", o.Size, "Chart size in pixels, WIDTHxHEIGHT (default 1000x600; PNG is drawn at twice that)");
    app.add_option("-o,--output", o.ChartFile, "Chart file: .png, .svg or .pdf")->required();
}

// "1000x600" as a width and a height.
std::pair<int, int> ParseSize(const std::string& text) {
    int width = 0, height = 0;
    char x = 0, rest = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &width, &x, &height, &rest) != 3 || (x != 'x' && x != 'X') ||
        width < 100 || height < 100 || width > 10000 || height > 10000)
        throw std::invalid_argument("--size must be WIDTHxHEIGHT, each from 100 to 10000 pixels: " + text);
    return {width, height};
}

}  // namespace

int SeriesColumn(const OutputTable& table, const std::string& nameOrSymbol) {
    const int byName = table.FindColumn(nameOrSymbol);
    if (byName >= 0) return byName;
    std::vector<int> columns;
    for (const Symbol& s : Symbols())
        if (s.Text == nameOrSymbol) columns.push_back(s.Column);
    if (columns.size() == 1) return columns.front();
    if (columns.empty())
        throw std::invalid_argument("no series '" + nameOrSymbol + "'; nearest symbols: " + NearestSymbols(nameOrSymbol));
    std::string names;
    for (const int c : columns) names += (names.empty() ? "" : "; ") + table.Name(c);
    throw std::invalid_argument("'" + nameOrSymbol + "' is the symbol of more than one series (" + names +
                                "): name the one you mean");
}

int RunOstrelPlot(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Draws the chart of an output file of the Ostrel workbench into a PNG, SVG or PDF file."};
    app.name(Program);
    PlotOptions o;
    BuildCommandLine(app, o);
    if (const auto exit = ParseOrExit(app, argc, argv, out, err, Program)) return *exit;

    OutputTable table;
    std::vector<std::string> names;
    std::string xName;
    std::pair<int, int> size;
    try {
        size = ParseSize(o.Size);
        const std::string suffix = Lower(std::filesystem::path(o.ChartFile).extension().string());
        if (suffix != ".png" && suffix != ".svg" && suffix != ".pdf")
            throw std::invalid_argument("the chart file must end in .png, .svg or .pdf: " + o.ChartFile);
        if (o.Series.size() > static_cast<std::size_t>(MaxSeries))
            throw std::invalid_argument("at most 10 series can be plotted, not " + std::to_string(o.Series.size()));
        for (const std::string& s : o.Series) names.push_back(table.Name(SeriesColumn(table, s)));
        xName = table.Name(SeriesColumn(table, o.X));
    } catch (const std::invalid_argument& e) {
        err << Program << ": " << e.what() << "\n";
        return 2;
    }

    try {
        LoadOutputTable(o.OutputFile, -std::numeric_limits<double>::infinity(), table);
    } catch (const std::exception& e) {
        err << Program << ": " << o.OutputFile << ": " << e.what() << "\n";
        return 1;
    }
    std::int64_t first = FirstDataRow, end = FirstDataRow;
    while (first < table.Rows() && table.Value(0, first - FirstDataRow) < o.From) ++first;
    end = first;
    while (end < table.Rows() && table.Value(0, end - FirstDataRow) <= o.To) ++end;
    if (end == first) {
        err << Program << ": " << o.OutputFile << ": no records to plot\n";
        return 1;
    }

    const int plotAs = o.PlotAs == "relative" ? 1 : o.PlotAs == "cumulative" ? 2 : 0;
    const ChartSeries series = BuildSeries(table, xName, names, plotAs, first, end);
    if (series.Failed) {
        const auto failed = std::find_if(series.Series.begin(), series.Series.end(),
                                         [&](const PlottedSeries& s) { return s.X.size() < std::size_t(end - first); });
        err << Program << ": Cannot update chart. Invalid series. (" << failed->Title << ")\n";
        return 1;
    }

    OutputChart chart;
    chart.resize(size.first, size.second);
    chart.SetTitle(QString::fromUtf8(ModelDef.Name.data(), static_cast<qsizetype>(ModelDef.Name.size())));
    chart.xAxis->setLabel(QString::fromStdString(series.XTitle));
    chart.SetAxisLogarithmic(true, o.LogX);
    chart.SetAxisLogarithmic(false, o.LogY);
    chart.ShowSeries(series);
    chart.SetAxisScale(false, true);
    chart.SetAxisScale(true, true);
    try {
        chart.SaveAs(QString::fromStdString(o.ChartFile), size.first, size.second);
    } catch (const std::exception& e) {
        err << Program << ": " << e.what() << "\n";
        return 1;
    }
    out << "Chart: " << std::filesystem::absolute(o.ChartFile).string() << " (" << names.size() << " series, "
        << (end - first) << " records";
    if (chart.HiddenPoints() > 0) out << "; " << HiddenPointsNotice(chart.HiddenPoints());
    out << ")\n";
    return 0;
}
