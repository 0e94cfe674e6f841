#include "fit/model_evaluator.h"

#include <charconv>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace fit {

namespace {

// Gathers the observed columns of the records that fall on observed times.
class RecordCollector final : public RunObserver {
public:
    RecordCollector(const Observations& obs, const FitHooks& hooks)
        : obs_(obs), hooks_(hooks), found_(obs.Times.size(), false),
          values_(obs.Times.size() * obs.Series.size(), NAN) {}

    bool WantsRecords() override { return true; }
    void RecordWritten(double time, std::span<const double> values) override {
        const double slack = StepSlack(TimeStep);
        while (next_ < obs_.Times.size() && obs_.Times[next_] < time - slack) ++next_;
        if (next_ == obs_.Times.size() || std::fabs(obs_.Times[next_] - time) > slack) return;
        found_[next_] = true;
        for (std::size_t k = 0; k < obs_.Series.size(); ++k)
            values_[next_ * obs_.Series.size() + k] = values[static_cast<std::size_t>(obs_.Series[k].Position)];
        ++next_;
    }
    void PumpEvents() override {
        if (hooks_.PumpEvents) hooks_.PumpEvents();
    }
    bool CancelRequested() override { return hooks_.CancelRequested && hooks_.CancelRequested(); }

    // The first observed time without a record, or -1.
    long Missing() const {
        const auto it = std::find(found_.begin(), found_.end(), false);
        return it == found_.end() ? -1 : static_cast<long>(it - found_.begin());
    }
    double At(std::size_t timeIndex, std::size_t series) const { return values_[timeIndex * obs_.Series.size() + series]; }

private:
    const Observations& obs_;
    const FitHooks& hooks_;
    std::vector<bool> found_;
    std::vector<double> values_;
    std::size_t next_ = 0;
};

std::string TimeText(double t) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, t, std::chars_format::general, 15).ptr);
}

}  // namespace

ModelEvaluator::ModelEvaluator(const Observations& observations, std::vector<FitParameter> parameters, FitHooks hooks,
                               EvaluateFunction evaluate)
    : observations_(observations),
      parameters_(std::move(parameters)),
      hooks_(std::move(hooks)),
      evaluate_(evaluate),
      startStates_(States),
      startParams_(Params),
      outputFileName_(OutputFileName),
      stopTime_(StopTime),
      outputAvailable_(OutputAvailable) {}

ModelEvaluator::~ModelEvaluator() {
    OutputFileName = outputFileName_;
    OutputAvailable = outputAvailable_;
}

void ModelEvaluator::Restore() {
    States = startStates_;
    Params = startParams_;
    StopTime = stopTime_;
}

RunOutcome ModelEvaluator::Run(std::span<const double> values) {
    RunOutcome outcome;
    Restore();
    for (std::size_t j = 0; j < parameters_.size(); ++j) Params[parameters_[j].Index].Value = values[j];
    OutputFileName = NullOutputFile;
    RecordCollector collector(observations_, hooks_);
    RunStatistics stats;
    ++runs_;
    try {
        RunModel(collector, RunMode::Quiet, stats, evaluate_);
    } catch (const std::exception& e) {
        outcome.Error = e.what();
    }
    OutputFileName = outputFileName_;
    States = startStates_;
    StopTime = stopTime_;
    outcome.Cancelled = stats.Cancelled;
    if (!outcome.Error.empty() || stats.Cancelled) return outcome;
    if (const long missing = collector.Missing(); missing >= 0) {
        outcome.Error = "the run writes no record at time " + TimeText(observations_.Times[missing]) +
                        ", where observations file '" + observations_.FileName +
                        "' has observations; choose the start, the step and the output interval so that a record "
                        "falls on every observed time";
        return outcome;
    }
    // The index of every observed point among the observed times.
    outcome.Simulated.resize(observations_.Series.size());
    for (std::size_t k = 0; k < observations_.Series.size(); ++k) {
        const ObservedSeries& s = observations_.Series[k];
        std::size_t t = 0;
        for (std::size_t i = 0; i < s.Times.size(); ++i) {
            while (observations_.Times[t] < s.Times[i]) ++t;
            outcome.Simulated[k].push_back(collector.At(t, k));
        }
    }
    outcome.Ok = true;
    for (const double r : Residuals(observations_, outcome)) outcome.Objective += r * r;
    if (!std::isfinite(outcome.Objective)) {
        outcome.Ok = false;
        outcome.Error = "the run gives values that are not finite at observed times";
    }
    return outcome;
}

std::vector<double> Residuals(const Observations& observations, const RunOutcome& outcome) {
    std::vector<double> r;
    for (std::size_t k = 0; k < observations.Series.size(); ++k) {
        const ObservedSeries& s = observations.Series[k];
        for (std::size_t i = 0; i < s.Values.size(); ++i) r.push_back((outcome.Simulated[k][i] - s.Values[i]) / s.Sd[i]);
    }
    return r;
}

}  // namespace fit
