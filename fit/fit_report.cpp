#include "fit/fit_report.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace fit {

std::string ReportNumber(double value) {
    if (std::isnan(value)) return "n/a";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6).ptr);
}

namespace {

std::string UnidentifiableNote(const Uncertainty& errors, std::size_t j) {
    return errors.NoEffect[j] ? "unidentifiable: the observations do not depend on it"
                              : "unidentifiable: the observations do not fix it";
}

std::string Column(const std::string& text, std::size_t width) {
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

}  // namespace

std::string FitReport(const ModelEvaluator& evaluator, const FitResult& result) {
    const auto& params = evaluator.Parameters();
    const Observations& obs = evaluator.Observed();
    std::ostringstream out;
    out << "Fit to observations file '" << obs.FileName << "': " << obs.Points() << " observed values of "
        << obs.Series.size() << (obs.Series.size() == 1 ? " series" : " series") << " at " << obs.Times.size()
        << " times\n";
    out << "Runs: " << result.Runs;
    if (result.FailedRuns > 0) out << " (" << result.FailedRuns << " failed)";
    out << "; the search ended as " << result.Ending << "\n";
    out << "Objective (sum of squared standardised residuals): start " << ReportNumber(result.StartObjective)
        << ", end " << ReportNumber(result.Objective) << "\n\n";

    out << Column("parameter", 14) << Column("start", 14) << Column("fitted", 14) << Column("std. error", 14)
        << Column("low", 14) << Column("high", 14) << "note\n";
    for (std::size_t j = 0; j < params.size(); ++j) {
        std::string note;
        if (result.AtBound[j] < 0) note = "at the lower bound";
        if (result.AtBound[j] > 0) note = "at the upper bound";
        std::string se = "n/a";
        if (result.Errors.Available) {
            if (result.Errors.Identifiable[j]) {
                se = ReportNumber(result.Errors.StandardError[j]);
            } else {
                se = "inf";
                note = UnidentifiableNote(result.Errors, j);
            }
        }
        out << Column(params[j].Symbol, 14) << Column(ReportNumber(params[j].Start), 14)
            << Column(ReportNumber(result.Fitted[j]), 14) << Column(se, 14) << Column(ReportNumber(params[j].Low), 14)
            << Column(ReportNumber(params[j].High), 14) << note << "\n";
    }

    if (!result.Series.empty()) {
        out << "\n" << Column("series", 14) << Column("points", 8) << Column("RMSE", 14) << Column("bias", 14) << "R2\n";
        for (std::size_t k = 0; k < obs.Series.size(); ++k) {
            const SeriesFit& f = result.Series[k];
            out << Column(obs.Series[k].Symbol, 14) << Column(std::to_string(f.Points), 8)
                << Column(ReportNumber(f.Rmse), 14) << Column(ReportNumber(f.Bias), 14) << ReportNumber(f.R2) << "\n";
        }
    }

    out << "\n";
    if (!result.Errors.Available) {
        out << (result.Cancelled ? "The fit was cancelled: no standard errors.\n"
                                 : "No standard errors: a run near the fitted values failed.\n");
        return out.str();
    }
    out << "Standard errors from a finite-difference Jacobian at the fitted values (residual variance "
        << ReportNumber(result.Errors.ResidualVariance) << ").\nCorrelations of the fitted parameters:\n";
    out << Column("", 14);
    for (const FitParameter& p : params) out << Column(p.Symbol, 10);
    out << "\n";
    for (std::size_t x = 0; x < params.size(); ++x) {
        out << Column(params[x].Symbol, 14);
        for (std::size_t y = 0; y < params.size(); ++y) {
            char text[400];
            const double c = result.Errors.Correlation[x][y];
            const std::string shown =
                std::isnan(c)
                    ? std::string("n/a")
                    : std::string(text, std::to_chars(text, text + sizeof text, c, std::chars_format::fixed, 3).ptr);
            out << Column(shown, 10);
        }
        out << "\n";
    }
    return out.str();
}

std::string FitSummary(const ModelEvaluator& evaluator, const FitResult& result) {
    const auto& params = evaluator.Parameters();
    std::ostringstream out;
    if (result.Cancelled)
        out << "The fit was cancelled after " << result.Runs << " runs; the best values found are kept.\n";
    else
        out << "The fit ended after " << result.Runs << " runs: " << result.Ending << ".\n";
    out << "Objective: " << ReportNumber(result.StartObjective) << " at the start, " << ReportNumber(result.Objective)
        << " at the end.";
    for (std::size_t j = 0; j < params.size(); ++j) {
        out << "\n" << params[j].Symbol << " = " << ReportNumber(result.Fitted[j]);
        std::string notes;
        if (result.AtBound[j] != 0) notes = result.AtBound[j] < 0 ? "at the lower bound" : "at the upper bound";
        if (result.Errors.Available) {
            if (!notes.empty()) notes += ", ";
            notes += result.Errors.Identifiable[j] ? "standard error " + ReportNumber(result.Errors.StandardError[j])
                                                   : UnidentifiableNote(result.Errors, j);
        }
        if (!notes.empty()) out << " (" << notes << ")";
    }
    return out.str();
}

}  // namespace fit
