#include "fit/fitter.h"

#include <algorithm>
#include <cmath>
#include <nlopt.hpp>

namespace fit {

Algorithm AlgorithmNamed(std::string_view name) {
    if (name == "bobyqa") return Algorithm::Bobyqa;
    if (name == "neldermead") return Algorithm::NelderMead;
    if (name == "sbplx") return Algorithm::Sbplx;
    throw EFitError("--algorithm " + std::string(name) + ": the algorithms are bobyqa, neldermead and sbplx");
}

namespace {

nlopt::algorithm NloptOf(Algorithm a) {
    switch (a) {
        case Algorithm::NelderMead: return nlopt::LN_NELDERMEAD;
        case Algorithm::Sbplx: return nlopt::LN_SBPLX;
        default: return nlopt::LN_BOBYQA;
    }
}

// The optimiser's view: scaled parameters in, objective out, the best point kept.
struct Search {
    Search(ModelEvaluator& e, const std::function<void(const FitProgress&)>& p) : evaluator(e), progress(p) {}
    ModelEvaluator& evaluator;
    const std::function<void(const FitProgress&)>& progress;
    double failedValue = 0.0;
    std::vector<double> best;
    RunOutcome bestOutcome;
    double bestObjective = 0.0;
    int failed = 0;
    bool cancelled = false;
    nlopt::opt* opt = nullptr;

    double Evaluate(const std::vector<double>& u) {
        std::vector<double> x(u.size());
        for (std::size_t j = 0; j < u.size(); ++j)
            x[j] = evaluator.Parameters()[j].Unscaled(std::clamp(u[j], 0.0, 1.0));
        RunOutcome outcome = evaluator.Run(x);
        if (outcome.Cancelled) {
            cancelled = true;
            opt->force_stop();
            return failedValue;
        }
        if (!outcome.Ok) ++failed;
        const double f = outcome.Ok ? outcome.Objective : failedValue;
        if (outcome.Ok && f < bestObjective) {
            bestObjective = f;
            best = x;
            bestOutcome = std::move(outcome);
        }
        if (progress) progress({evaluator.Runs(), bestObjective});
        return f;
    }
};

std::string EndingOf(nlopt::result r, int maxRuns) {
    switch (r) {
        case nlopt::MAXEVAL_REACHED: return "the limit of " + std::to_string(maxRuns) + " runs was reached";
        case nlopt::XTOL_REACHED: return "the parameters changed by less than the tolerance";
        case nlopt::FTOL_REACHED: return "the objective changed by less than the tolerance";
        case nlopt::STOPVAL_REACHED: return "the objective reached 0";
        case nlopt::ROUNDOFF_LIMITED: return "rounding errors limited the progress";
        default: return "the optimiser converged";
    }
}

}  // namespace

FitResult Fit(ModelEvaluator& evaluator, const FitSettings& settings,
              const std::function<void(const FitProgress&)>& progress) {
    const std::vector<FitParameter>& params = evaluator.Parameters();
    const std::size_t n = params.size();
    FitResult result;
    for (const FitParameter& p : params) result.Start.push_back(p.Start);
    const int runsBefore = evaluator.Runs();

    RunOutcome first = evaluator.Run(result.Start);
    if (first.Cancelled) {
        result.Cancelled = true;
        result.Ending = "cancelled";
    } else if (!first.Ok) {
        throw EFitError("the run from the starting values fails: " + first.Error);
    }
    // A start cancelled before its end has no objective.
    result.StartObjective = first.Ok ? first.Objective : std::nan("");

    Search search(evaluator, progress);
    search.failedValue = 1e6 * (1.0 + first.Objective);
    search.best = result.Start;
    search.bestObjective = result.StartObjective;
    search.bestOutcome = std::move(first);
    if (progress) progress({evaluator.Runs(), search.bestObjective});

    if (!result.Cancelled && settings.MaxRuns > 1) {
        nlopt::opt opt(NloptOf(settings.Method), static_cast<unsigned>(n));
        search.opt = &opt;
        opt.set_lower_bounds(0.0);
        opt.set_upper_bounds(1.0);
        opt.set_min_objective(
            [](const std::vector<double>& u, std::vector<double>&, void* data) {
                return static_cast<Search*>(data)->Evaluate(u);
            },
            &search);
        opt.set_maxeval(settings.MaxRuns - 1);
        opt.set_xtol_abs(1e-6);
        opt.set_ftol_abs(1e-14);
        opt.set_stopval(0.0);
        opt.set_initial_step(0.05);
        std::vector<double> u(n);
        for (std::size_t j = 0; j < n; ++j) u[j] = params[j].Scaled(result.Start[j]);
        double f = 0.0;
        try {
            result.Ending = EndingOf(opt.optimize(u, f), settings.MaxRuns);
        } catch (const nlopt::forced_stop&) {
            result.Ending = "cancelled";
        } catch (const nlopt::roundoff_limited&) {
            result.Ending = EndingOf(nlopt::ROUNDOFF_LIMITED, settings.MaxRuns);
        } catch (const std::exception& e) {
            result.Ending = std::string("the optimiser failed: ") + e.what();
        }
        result.Cancelled = search.cancelled;
    }
    result.Fitted = search.best;
    result.Objective = search.bestObjective;
    result.Best = std::move(search.bestOutcome);
    result.FailedRuns = search.failed;
    for (std::size_t j = 0; j < n; ++j) {
        const double span = params[j].High - params[j].Low, x = result.Fitted[j];
        result.AtBound.push_back(x <= params[j].Low + 1e-6 * span ? -1 : x >= params[j].High - 1e-6 * span ? 1 : 0);
    }
    if (!result.Cancelled && result.Best.Ok) {
        std::vector<std::vector<double>> jacobian;
        std::vector<double> spans;
        for (const FitParameter& par : params) spans.push_back(par.High - par.Low);
        if (ResidualJacobian(evaluator, result.Fitted, 1e-4, jacobian))
            result.Errors = UncertaintyOf(jacobian, result.Objective, spans);
    }
    if (result.Best.Ok) result.Series = SeriesFits(evaluator.Observed(), result.Best);
    result.Runs = evaluator.Runs() - runsBefore;
    evaluator.Restore();
    return result;
}

}  // namespace fit
