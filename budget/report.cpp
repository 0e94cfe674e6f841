#include "budget/report.h"

#include <cstdio>

#include "fileio/csv.h"
#include "fileio/file_replace.h"

namespace budget {

namespace {

std::string Formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string TimeText(double t) { return Formatted("%.15g", t); }
std::string AmountText(double v) { return Formatted("%.6f", v); }
std::string ErrorText(double v) { return Formatted("%.3e", v); }

// A paragraph broken at blanks into lines of at most `width` characters.
std::string Wrapped(const std::string& text, std::size_t width = 100) {
    std::string out, line;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            out += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    return out + line + "\n";
}

const char* RoleWord(Role role) { return role == Role::In ? "in: " : role == Role::Out ? "out: " : "change: "; }

std::string NoClosure(const Account& a) {
    std::string text = "no closure: ";
    for (std::size_t i = 0; i < a.Breaks.size(); ++i) text += (i ? "; " : "") + a.Breaks[i];
    return text;
}

ReportLine ClosureLine(const Account& a, const char* symbols) {
    if (!a.Closes()) return {"closure error", symbols, "", NoClosure(a)};
    const std::string share =
        a.Relative ? Formatted("%.1e", *a.Relative) + " of throughput" : std::string("nothing went in or out");
    return {"closure error", symbols, ErrorText(a.Closure), share};
}

const char* KindWord(PeriodKind kind) {
    return kind == PeriodKind::Year ? "year" : kind == PeriodKind::NewYear ? "new-year step" : "run";
}

}  // namespace

std::string PeriodTitle(const Period& p) {
    const std::string times = ", times " + TimeText(p.From) + " to " + TimeText(p.To);
    switch (p.Kind) {
        case PeriodKind::Year:
            return "Model year " + std::to_string(p.Year) + times;
        case PeriodKind::NewYear:
            return "New-year step into model year " + std::to_string(p.Year) + times;
        case PeriodKind::Run:
            break;
    }
    return "Whole run" + times;
}

std::vector<ReportLine> ReportLines(const Period& p, Element element) {
    const Account& a = p.Accounts[static_cast<std::size_t>(element)];
    const std::vector<Entry>& entries = EntriesOf(element);
    std::vector<ReportLine> lines;
    for (std::size_t j = 0; j < entries.size(); ++j)
        lines.push_back({RoleWord(entries[j].role) + std::string(entries[j].label), SymbolsOf(entries[j]),
                         AmountText(a.amounts[j]), ""});
    switch (p.Kind) {
        case PeriodKind::Year:
            lines.push_back(ClosureLine(a, "change - (in - out)"));
            break;
        case PeriodKind::NewYear:
            lines.push_back({"dropped by the annual reset", "change - (in - out)", AmountText(a.Dropped),
                             a.Closes() ? "in no annual total" : NoClosure(a)});
            break;
        case PeriodKind::Run:
            lines.push_back({"dropped by the annual resets", "new-year steps", AmountText(a.Dropped), ""});
            lines.push_back(ClosureLine(a, "change - (in - out + dropped)"));
            break;
    }
    return lines;
}

std::string BooksExplanation() {
    return "Each model year is balanced from its first to its last record with the annual totals. The model zeroes "
           "those totals after the first step of a new year has added to them: the new-year step takes its change "
           "from the states, and what no total counts is shown as dropped by the annual reset.";
}

std::string ReportText(const Budget& b) {
    std::string text =
        "Budget of " + b.Source + ": " + std::to_string(b.Records) + (b.Records == 1 ? " record" : " records");
    if (b.Periods.empty()) return text + ", nothing to balance\n";
    const Period& run = b.Periods.back();
    text += ", times " + TimeText(run.From) + " to " + TimeText(run.To) + ", " + std::to_string(b.Years) +
            (b.Years == 1 ? " model year\n" : " model years\n");
    for (const std::string& note : b.Notes) text += Wrapped(note);
    text += Wrapped(BooksExplanation());
    for (const Period& p : b.Periods) {
        text += "\n" + PeriodTitle(p) + "\n";
        for (int k = 0; k < ElementCount; ++k) {
            const Element element = static_cast<Element>(k);
            text += std::string("  ") + ElementName(element) + " (" + ElementUnits(element) + ")\n";
            for (const ReportLine& l : ReportLines(p, element)) {
                char line[256];
                std::snprintf(line, sizeof line, "    %-30s %-30s %16s", l.Label.c_str(), l.Symbols.c_str(),
                              l.Amount.c_str());
                text += line;
                if (!l.Note.empty()) text += "  " + l.Note;
                text += "\n";
            }
        }
    }
    return text;
}

std::string ReportCsv(const Budget& b) {
    std::string csv =
        fileio::CsvRecord({"period", "year", "from", "to", "element", "line", "symbols", "value", "note"});
    for (const Period& p : b.Periods)
        for (int k = 0; k < ElementCount; ++k) {
            const Element element = static_cast<Element>(k);
            const Account& a = p.Accounts[static_cast<std::size_t>(k)];
            const std::vector<Entry>& entries = EntriesOf(element);
            const std::vector<std::string> head = {
                KindWord(p.Kind), p.Kind == PeriodKind::Run ? "" : std::to_string(p.Year), fileio::ExactText(p.From),
                fileio::ExactText(p.To), ElementName(element)};
            const auto row = [&](const std::string& line, const std::string& symbols, const std::string& value,
                                 const std::string& note) {
                std::vector<std::string> fields = head;
                fields.insert(fields.end(), {line, symbols, value, note});
                csv += fileio::CsvRecord(fields);
            };
            for (std::size_t j = 0; j < entries.size(); ++j)
                row(RoleWord(entries[j].role) + std::string(entries[j].label), SymbolsOf(entries[j]),
                    fileio::ExactText(a.amounts[j]), "");
            if (p.Kind != PeriodKind::Year)
                row("dropped by the annual reset", p.Kind == PeriodKind::Run ? "new-year steps" : "change - (in - out)",
                    fileio::ExactText(a.Dropped), "");
            if (p.Kind == PeriodKind::NewYear) continue;
            if (!a.Closes()) {
                row("closure error", "", "", NoClosure(a));
                continue;
            }
            row("closure error", "", fileio::ExactText(a.Closure), "");
            if (a.Relative) row("relative closure error", "", fileio::ExactText(*a.Relative), "of throughput");
        }
    return csv;
}

void SaveReportCsv(const Budget& b, const std::string& fileName) {
    const std::string csv = ReportCsv(b);
    fileio::WriteReplacing(fileName, [&csv](fileio::TextWriter& w) { w.Put(csv); });
}

}  // namespace budget
