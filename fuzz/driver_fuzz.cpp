// Any bytes as a driver file, looked up at rising times (with a restart
// between them) and read record by record as the driver editor does.
#include <cmath>
#include <cstdint>
#include <limits>

#include "fileio/fileio.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Setup();
    if (size < 2) return 0;
    static const double stops[] = {20, 0, -5, 1e-300, 365, 1e300};
    StopTime = stops[data[0] % 6];
    const bool restart = (data[1] & 1) != 0;
    const double times[] = {-1, 0, 0.5, 1, 2, 3.75, 10, 40, 1e3, 1e9, std::numeric_limits<double>::infinity()};
    const std::string& name = fuzz::InputFile("drr", "", data + 2, size - 2);

    OpenDriverFile(name, ModelDef.NumDrivers, Drivers, false);
    PrevDriverTime = NextDriverTime = 0;
    try {
        for (const double t : times) {
            GetDrivers(Drivers, t);
            if (restart && t == 3.75) PrevDriverTime = NextDriverTime = 0;
        }
    } catch (const EInOutError&) {
    }
    CloseDriverFile();

    OpenDriverFile(name, ModelDef.NumDrivers, Drivers, false);
    try {
        double time = 0;
        driverarray record = Drivers;
        while (ReadDriverRecord(time, ModelDef.NumDrivers, record)) {}
    } catch (const EInOutError&) {
    }
    CloseDriverFile();
    return 0;
}
