// Any bytes as an output file, read to its end as the display does.
#include <cstdint>

#include "fileio/fileio.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Setup();
    const std::string& name = fuzz::InputFile("out", "", data, size);
    driverarray drivers = Drivers;
    statearray states = States;
    processarray processes = Processes;
    try {
        OpenOutputFile(name, ModelDef.NumStates, states, ModelDef.NumProcesses, processes, false);
        double time = 0;
        while (ReadOutputRecord(time, ModelDef.NumDrivers, drivers, ModelDef.NumStates, states,
                                ModelDef.NumProcesses, processes)) {}
    } catch (const EInOutError&) {
    }
    CloseOutputFile();
    return 0;
}
