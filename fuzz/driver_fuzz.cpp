// Any bytes as a driver file: the first byte chooses the stop time, the
// second whether the lookups start again from the first record halfway.
#include <cstdint>

#include "fuzz/driver_expectations.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Setup();
    if (size < 2) return 0;
    static const double stops[] = {20, 0, -5, 1e-300, 365, 1e300};
    const std::string& name = fuzz::InputFile("drr", "", data + 2, size - 2);
    fuzz::ExerciseDriverFile(name, stops[data[0] % 6], (data[1] & 1) != 0);
    return 0;
}
