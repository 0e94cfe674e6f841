#include "run/run_options.h"

#include <charconv>
#include <algorithm>
#include <cmath>

#include "core/fpfaults.h"

TRunOptions RunOptions;

TRunOptions StartRunOptions() {
    TRunOptions options;
    options.OutputTimeStep = TimeStep;
    return options;
}

void KeepNormalRunInvariant(TRunOptions& options) {
    if (!options.NormalRun) return;
    options.RepeatDrivers = false;
    options.ResetStates = false;
    options.RunToSS = false;
}

namespace {

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Optional sign, digits with an optional point, optional exponent; at least
// one digit before the exponent.
bool IsDecimalNumber(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    bool digits = false;
    while (i < s.size() && IsDigit(s[i])) ++i, digits = true;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, digits = true;
    }
    if (!digits) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        bool expDigits = false;
        while (i < s.size() && IsDigit(s[i])) ++i, expDigits = true;
        if (!expDigits) return false;
    }
    return i == s.size();
}

// Roughly the decimal exponent of a number text that IsDecimalNumber accepts:
// positive for magnitudes of 1 and more, which is all that tells an overflow
// from an underflow.
long long DecimalMagnitude(std::string_view s) {
    std::size_t i = (s.front() == '+' || s.front() == '-') ? 1 : 0;
    long long magnitude = 0;
    bool leading = true;
    for (; i < s.size() && IsDigit(s[i]); ++i) {
        if (leading && s[i] == '0') continue;
        leading = false;
        ++magnitude;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && IsDigit(s[i]); ++i) {
            if (!leading) continue;
            if (s[i] != '0') leading = false;
            else --magnitude;
        }
    }
    if (i < s.size()) {  // the exponent, capped: only its sign and size matter
        ++i;
        const bool negative = s[i] == '-';
        if (s[i] == '+' || s[i] == '-') ++i;
        long long exponent = 0;
        for (; i < s.size(); ++i) exponent = std::min(exponent * 10 + (s[i] - '0'), 1'000'000'000LL);
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude;
}

}  // namespace

std::int32_t TextToInt(std::string_view text) {
    std::string_view s = TrimBlanks(text);
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && (s.front() == '+' || s.front() == '-')) throw NotAnInteger(text);
    }
    if (s.empty()) throw NotAnInteger(text);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size()) throw NotAnInteger(text);
    return value;
}

double TextToFloat(std::string_view text) {
    std::string_view s = TrimBlanks(text);
    if (!IsDecimalNumber(s)) throw NotAFloat(text);
    if (s.front() == '+') s.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    // Magnitudes beyond a double are no number; those below it read as 0.
    if (error == std::errc::result_out_of_range) {
        if (DecimalMagnitude(s) > 0) throw NotAFloat(text);
        return s.front() == '-' ? -0.0 : 0.0;
    }
    if (error != std::errc() || end != s.data() + s.size()) throw NotAFloat(text);
    return value;
}

void CheckOutputStep(double& step) {
    if (step < TimeStep) {
        step = TimeStep;
        throw EOutputStepTooSmall();
    }
    if (step > StopTime - StartTime) {
        step = StopTime - StartTime;
        throw EOutputStepTooLarge();
    }
    if (TimeStep == 0.0) {
        if (step == 0.0) throw EInvalidOp();
        throw EZeroDivide();
    }
    const double steps = step / TimeStep;
    const bool notMultiple = std::fabs(steps - std::nearbyint(steps)) > 0.001;
    ClearFloatingPointFaults();  // an overflowing quotient is simply not a multiple
    if (notMultiple) {
        step = TimeStep;
        throw EOutputStepNotMultiple();
    }
}

void CheckOutputOffset(double offset) {
    if (offset > StopTime) throw EOutputOffsetTooLarge();
}

namespace {

// The period fields share one rule; `period` and `option` are the fields of
// the record that the entry sets.
std::string EnterPeriod(TRunOptions& options, std::string_view text, std::int32_t TRunOptions::*period,
                        bool TRunOptions::*option, const char* invalid) {
    std::string warning;
    if (text != "0") {
        try {
            options.*period = TextToInt(text);
            options.*option = true;
        } catch (const EConvertError&) {
            options.NormalRun = true;
            warning = invalid;
        }
    }
    KeepNormalRunInvariant(options);
    return warning;
}

}  // namespace

std::string EnterRepeatDriveTime(TRunOptions& options, std::string_view text) {
    return EnterPeriod(options, text, &TRunOptions::RepeatDriveTime, &TRunOptions::RepeatDrivers,
                       "Invalid driver repeat time. Run set to Normal run.");
}

std::string EnterResetStateTime(TRunOptions& options, std::string_view text) {
    return EnterPeriod(options, text, &TRunOptions::ResetStateTime, &TRunOptions::ResetStates,
                       "Invalid state variable reset time. Run set to Normal run.");
}

std::string EnterSSTime(TRunOptions& options, std::string_view text) {
    return EnterPeriod(options, text, &TRunOptions::SSTime, &TRunOptions::RunToSS,
                       "Invalid steady state time. Run set to Normal run.");
}

std::string EnterSSCriteria(TRunOptions& options, std::string_view text) {
    std::string warning;
    if (text != "0") {
        try {
            options.SSCriteria = TextToFloat(text) / 100.0;
            options.RunToSS = true;
        } catch (const EConvertError&) {
            options.NormalRun = true;
            warning = "Invalid steady state criteria. Run set to Normal run.";
        }
    }
    KeepNormalRunInvariant(options);
    return warning;
}

std::string EnterOutputTimeStep(TRunOptions& options, std::string_view text) {
    if (text.empty()) return {};
    double step = 0.0;
    try {
        step = TextToInt(text);
        CheckOutputStep(step);
        options.OutputTimeStep = step;
        return {};
    } catch (const EStepError& e) {
        options.OutputTimeStep = step;
        return std::string("Invalid output time step. ") + e.what();
    } catch (const std::exception& e) {
        return std::string("Invalid output time step. ") + e.what();
    }
}

std::string EnterOutputOffset(TRunOptions& options, std::string_view text) {
    if (text.empty()) return {};
    try {
        const double offset = TextToInt(text);
        CheckOutputOffset(offset);
        options.OutputOffset = offset;
        return {};
    } catch (const std::exception& e) {
        options.OutputOffset = TimeStep;
        return std::string("Invalid output offset. ") + e.what() + "Reset output offset to simulation time step. ";
    }
}
