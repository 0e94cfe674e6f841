// What the driver-file fuzz target does with one input, and the only
// failures it lets pass: the input/output errors of reading the file and the
// three floating-point faults of interpolating towards a record. Any other
// exception leaves the function and is a finding; so is a driver value that
// is not finite after a lookup that succeeded.
#pragma once

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "fileio/fileio.h"

namespace fuzz {

// Looks the drivers of file `name` up at rising times (reading it again from
// its first record after time 3.75 when `restart`), then reads it record by
// record as the driver editor does. Returns the messages of the failures met.
inline std::vector<std::string> ExerciseDriverFile(const std::string& name, double stopTime, bool restart) {
    std::vector<std::string> failures;
    const auto expected = [&failures](auto&& action) {
        try {
            action();
        } catch (const EInOutError& e) {
            failures.push_back(e.what());
        } catch (const EZeroDivide& e) {
            failures.push_back(e.what());
        } catch (const EInvalidOp& e) {
            failures.push_back(e.what());
        } catch (const EOverflow& e) {
            failures.push_back(e.what());
        }
    };
    const auto finite = [](const driverarray& drivers) {
        for (int i = 1; i <= ModelDef.NumDrivers; ++i)
            if (!std::isfinite(drivers[i].Value)) std::abort();
    };

    StopTime = stopTime;
    const double times[] = {-1, 0, 0.5, 1, 2, 3.75, 10, 40, 1e3, 1e9, std::numeric_limits<double>::infinity()};
    OpenDriverFile(name, ModelDef.NumDrivers, Drivers, false);
    PrevDriverTime = NextDriverTime = 0;
    expected([&] {
        for (const double t : times) {
            GetDrivers(Drivers, t);
            finite(Drivers);
            if (restart && t == 3.75) PrevDriverTime = NextDriverTime = 0;
        }
    });
    CloseDriverFile();

    OpenDriverFile(name, ModelDef.NumDrivers, Drivers, false);
    expected([&] {
        double time = 0;
        driverarray record = Drivers;
        while (ReadDriverRecord(time, ModelDef.NumDrivers, record)) finite(record);
    });
    CloseDriverFile();
    return failures;
}

}  // namespace fuzz
