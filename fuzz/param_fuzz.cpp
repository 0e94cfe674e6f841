// Any bytes as a parameter file: a result or an input/output error, nothing
// else; and a file that reads holds only finite values.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "fileio/fileio.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Setup();
    // With an odd first byte the file starts with a valid header, so the data
    // lines behind it are explored too.
    const bool header = size > 0 && (data[0] & 1) != 0;
    const std::string prefix = header ? "Ostrel                    6.4.2\r\n" : "";
    const std::string& name = fuzz::InputFile("par", prefix, data + (size > 0), size - (size > 0));
    statearray states = States;
    paramarray params = Params;
    try {
        if (ReadParamFile(name, ModelDef.NumParams, params, ModelDef.NumStates, states)) {
            for (int i = 1; i <= ModelDef.NumStates; ++i)
                if (!std::isfinite(states[i].Value)) std::abort();
            for (int i = 1; i <= ModelDef.NumParams; ++i)
                if (!std::isfinite(params[i].Value)) std::abort();
        }
    } catch (const EInOutError&) {
    }
    return 0;
}
