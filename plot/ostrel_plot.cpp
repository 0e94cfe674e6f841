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
#include <optional>
#include <qcustomplot.h>
#include "chart/chart_file.h"
#include "display/chart_series.h"
#include "display/display_rules.h"
#include "plot/plot_chart.h"
#include "plot/plot_choices.h"
#include "plot/table_file.h"

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

struct PlotOptions {
    std::string OutputFile;
    std::vector<std::string> Series;
    std::string X = "Time";
    std::string PlotAs = "actual";
    bool LogX = false, LogY = false;
    double From = -std::numeric_limits<double>::infinity();
    double To = std::numeric_limits<double>::infinity();
    std::string ChartFile;
    std::string Size;
    bool Points = false, Panels = false, Axes = false, Years = false;
    std::optional<std::string> Title;
    std::string ByYear;
};

void BuildCommandLine(CLI::App& app, PlotOptions& o) {
    app.add_option("OUTPUTFILE", o.OutputFile,
                   "Output file of a run: the model's output file, or modelbatch's CSV or TSV")
        ->required();
    app.add_option("--series", o.Series, "Series to plot, by symbol or name, separated by commas (at most 10; a name with a comma by its symbol)")
        ->required()
        ->delimiter(',');
    app.add_option("--x", o.X, "Independent series (default Time)");
    app.add_option("--plot-as", o.PlotAs, "actual (y), relative (y/y0) or cumulative (y-y0)")
        ->check(CLI::IsMember({"actual", "relative", "cumulative"}));
    app.add_flag("--log-x", o.LogX, "Logarithmic independent axis");
    app.add_flag("--log-y", o.LogY, "Logarithmic dependent axes");
    app.add_option("--from", o.From, "First time plotted");
    app.add_option("--to", o.To, "Last time plotted");
    app.add_flag("--points", o.Points, "Draw each record as a marker, as the output display does, instead of lines");
    CLI::Option* panels =
        app.add_flag("--panels", o.Panels,
                     "One panel per unit, stacked over the shared time axis (the default when the units differ)");
    app.add_flag("--axes", o.Axes, "One panel with a dependent axis per unit, left and right")->excludes(panels);
    app.add_option("--title", o.Title, "Title of the chart (default the output file's name)");
    app.add_flag("--years", o.Years, "Time in model years of 366 days instead of days");
    app.add_option("--by-year", o.ByYear,
                   "Annual values as bars: the sum, mean, max or min of each model year's records")
        ->check(CLI::IsMember({"sum", "mean", "max", "min"}));
    app.add_option("--size", o.Size,
                   "Chart size in pixels, WIDTHxHEIGHT (default 1000x600, taller for more than two panels; PNG is "
                   "drawn at twice that)");
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
    if (columns.empty()) {
        std::vector<Candidate> candidates;
        for (const Symbol& s : Symbols()) candidates.push_back({s.Text, s.Text});
        throw std::invalid_argument("no series '" + nameOrSymbol + "'" + DidYouMean(nameOrSymbol, candidates));
    }
    std::string names;
    for (const int c : columns) names += (names.empty() ? "" : "; ") + table.Name(c);
    throw std::invalid_argument("'" + nameOrSymbol + "' is the symbol of more than one series (" + names +
                                "): name the one you mean");
}

namespace {

// The chosen series checked against the command line, before any file is read.
struct Choice {
    std::vector<int> Columns;
    int XColumn = 0;
    std::optional<Annual> ByYear;
};

Choice CheckChoice(const PlotOptions& o, const OutputTable& table) {
    const std::string suffix = Lower(std::filesystem::path(o.ChartFile).extension().string());
    if (suffix != ".png" && suffix != ".svg" && suffix != ".pdf")
        throw std::invalid_argument("the chart file must end in .png, .svg or .pdf: " + o.ChartFile);
    if (o.Series.size() > static_cast<std::size_t>(MaxSeries))
        throw std::invalid_argument("at most 10 series can be plotted, not " + std::to_string(o.Series.size()));
    Choice c;
    for (const std::string& s : o.Series) c.Columns.push_back(SeriesColumn(table, s));
    c.XColumn = SeriesColumn(table, o.X);
    if (!o.ByYear.empty()) c.ByYear = AnnualFromText(o.ByYear);
    if ((o.Years || c.ByYear) && c.XColumn != 0)
        throw std::invalid_argument(std::string(o.Years ? "--years" : "--by-year") +
                                    " needs the time as the independent series, not " + table.Name(c.XColumn));
    if (c.ByYear && o.LogX) throw std::invalid_argument("--by-year draws model years: it takes no --log-x");
    return c;
}

// The grid rows of the records from --from to --to.
std::pair<std::int64_t, std::int64_t> ChosenRows(const OutputTable& table, double from, double to) {
    std::int64_t first = FirstDataRow;
    while (first < table.Rows() && !(table.Value(0, first - FirstDataRow) >= from)) ++first;
    std::int64_t end = first;
    while (end < table.Rows() && table.Value(0, end - FirstDataRow) <= to) ++end;
    return {first, end};
}

// The axes, their titles and the points, as the options ask for them.
PlotDrawing Drawing(const PlotOptions& o, const Choice& c, const OutputTable& table, ChartSeries series) {
    PlotDrawing d;
    d.Title = ChartTitle(o.OutputFile, o.Title);
    d.Points = o.Points;
    d.LogX = o.LogX;
    d.LogY = o.LogY;
    std::vector<SeriesUnits> units;
    for (const int col : c.Columns)
        units.push_back({table.Name(col), o.PlotAs == "relative" ? "y/y0" : table.Units(col)});
    d.Plan = PlanAxes(units, o.Panels ? PlotArrangement::Panels
                             : o.Axes ? PlotArrangement::Axes
                                      : PlotArrangement::Automatic);
    if (c.XColumn != 0)
        d.XTitle = AxisTitle({table.Name(c.XColumn)}, table.Units(c.XColumn));
    else
        d.XTitle = TimeAxisTitle(table.Units(0), o.Years, c.ByYear);
    if (c.ByYear) {
        for (PlottedSeries& s : series.Series) {
            const std::vector<AnnualValue> years = AnnualValues(s.X, s.Y, *c.ByYear);
            s.X.clear();
            s.Y.clear();
            for (const AnnualValue& a : years) s.X.push_back(a.Year), s.Y.push_back(a.Value);
        }
        d.Bars = true;
    } else if (o.Years) {
        for (PlottedSeries& s : series.Series)
            for (double& x : s.X) x = InModelYears(x);
        d.YearTicks = true;
    }
    d.Series = std::move(series.Series);
    return d;
}

// Points that a logarithmic axis cannot show (<= 0).
std::int64_t HiddenOnLogAxes(const PlotDrawing& d) {
    std::int64_t hidden = 0;
    for (const PlottedSeries& s : d.Series)
        for (std::size_t i = 0; i < s.X.size(); ++i)
            if ((d.LogX && s.X[i] <= 0) || (d.LogY && s.Y[i] <= 0)) ++hidden;
    return hidden;
}

std::pair<int, int> ChartSize(const std::string& text, std::size_t panels) {
    if (!text.empty()) return ParseSize(text);
    return {1000, std::max(600, 80 + 220 * static_cast<int>(panels))};
}

}  // namespace

int RunOstrelPlot(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Draws the chart of an output file of the Ostrel workbench into a PNG, SVG or PDF file."};
    app.name(Program);
    PlotOptions o;
    BuildCommandLine(app, o);
    if (const auto exit = ParseOrExit(app, argc, argv, out, err, Program)) return *exit;

    OutputTable table;
    Choice choice;
    try {
        if (!o.Size.empty()) ParseSize(o.Size);
        choice = CheckChoice(o, table);
    } catch (const std::invalid_argument& e) {
        err << Program << ": " << e.what() << "\n";
        return 2;
    }

    std::vector<bool> present;
    try {
        present = LoadTableFile(o.OutputFile, table);
    } catch (const std::exception& e) {
        err << Program << ": " << o.OutputFile << ": " << e.what() << "\n";
        return 1;
    }
    for (const int col : choice.Columns)
        if (!present[static_cast<std::size_t>(col)]) {
            err << Program << ": " << o.OutputFile << ": the file has no column " << table.Name(col) << "\n";
            return 1;
        }
    const auto [first, end] = ChosenRows(table, o.From, o.To);
    if (end == first) {
        err << Program << ": " << o.OutputFile << ": no records to plot\n";
        return 1;
    }

    const int plotAs = o.PlotAs == "relative" ? 1 : o.PlotAs == "cumulative" ? 2 : 0;
    std::vector<std::string> names;
    for (const int col : choice.Columns) names.push_back(table.Name(col));
    ChartSeries series = BuildSeries(table, table.Name(choice.XColumn), names, plotAs, first, end);
    if (series.Failed) {
        const auto failed = std::find_if(series.Series.begin(), series.Series.end(),
                                         [&](const PlottedSeries& s) { return s.X.size() < std::size_t(end - first); });
        err << Program << ": Cannot update chart. Invalid series. (" << failed->Title << ")\n";
        return 1;
    }

    const PlotDrawing drawing = Drawing(o, choice, table, std::move(series));
    const std::pair<int, int> size = ChartSize(o.Size, drawing.Plan.Panels ? drawing.Plan.Groups.size() : 1);
    QCustomPlot chart;
    chart.resize(size.first, size.second);
    DrawPlot(chart, drawing);
    try {
        SaveChart(chart, QString::fromStdString(o.ChartFile), size.first, size.second,
                  QString::fromStdString(drawing.Title));
    } catch (const std::exception& e) {
        err << Program << ": " << e.what() << "\n";
        return 1;
    }
    out << "Chart: " << std::filesystem::absolute(o.ChartFile).string() << " (" << names.size() << " series, "
        << (end - first) << " records";
    if (const std::int64_t hidden = HiddenOnLogAxes(drawing); hidden > 0) out << "; " << HiddenPointsNotice(hidden);
    out << ")\n";
    return 0;
}
