// Helpers of the driver tool tests: weather files written into a private
// folder and imported with chosen settings.
#pragma once

#include <string>

#include "drivers/import.h"
#include "drivers/import_error.h"
#include "model/equations.h"
#include "tests/test_files.h"

namespace drivers_test {

inline drivers::ImportSettings Settings(const std::string& input, const std::string& output) {
    DefineModel();
    drivers::ImportSettings s;
    s.Input = input;
    s.Output = output;
    s.Latitude = 47.3;
    return s;
}

// The message of the refusal `action` throws.
template <class Action>
std::string Refusal(Action action) {
    try {
        action();
    } catch (const drivers::ImportError& e) {
        return e.what();
    }
    return "no refusal";
}

// Daily lines "date,tmax,tmin,precip" from `first` for `days` days with a
// smooth seasonal course.
inline std::string DailyCsv(int firstYear, int years) {
    std::string text = "date,tmax,tmin,precip\n";
    for (int y = firstYear; y < firstYear + years; ++y)
        for (int doy = 1; doy <= drivers::DaysInYear(y); ++doy) {
            drivers::Date d;
            drivers::DateOfDayOfYear(y, doy, d);
            const double tmax = 10.0 + 0.05 * doy;
            text += drivers::IsoText(d) + "," + std::to_string(tmax) + "," + std::to_string(tmax - 8.0) + "," +
                    (doy % 3 == 0 ? "2.5" : "0") + "\n";
        }
    return text;
}

}  // namespace drivers_test
