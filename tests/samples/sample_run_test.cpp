// The bundled sample run, pinned: a change of the equations, the integrator,
// the run or the files that moves any annual figure of the ten-year sample
// run in its first four significant digits fails here, and so does any change
// of a single byte of its output file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fileio/fileio.h"
#include "run/run_loop.h"
#include "run/run_options.h"
#include "run/session.h"
#include "samples/year_summary.h"
#include "tests/test_files.h"

namespace {

struct Year {
    double gpp, npp, nep, peakLai;
};

// Annual GPP, NPP and NEP (g C m-2 yr-1) and peak leaf area (m2 m-2) of model
// years 1 to 10, to four significant digits.
const Year Pinned[] = {
    {1242, 432.6, -63.86, 4.855}, {1369, 576.8, 133.5, 4.883}, {1408, 629.8, 187.9, 4.754},
    {1478, 675.8, 198.7, 5.108},  {1521, 672.8, 197.3, 5.616}, {1444, 619.0, 187.6, 5.607},
    {1336, 547.8, 113.9, 5.096},  {1355, 546.8, 59.00, 4.867}, {1461, 638.3, 174.7, 5.277},
    {1459, 627.9, 190.5, 5.150},
};

// Equal to four significant digits.
bool FourDigits(double actual, double pinned) {
    if (pinned == 0) return actual == 0;
    const double scale = std::pow(10.0, std::floor(std::log10(std::fabs(pinned))) - 3);
    return std::fabs(actual - pinned) <= 0.5 * scale;
}

// 64-bit FNV-1a digest of a file's bytes.
std::uint64_t FileDigest(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    std::uint64_t digest = 0xcbf29ce484222325;
    for (std::istreambuf_iterator<char> it(in), end; it != end; ++it) {
        digest ^= static_cast<unsigned char>(*it);
        digest *= 0x100000001b3;
    }
    return digest;
}

// The output file of the ten-year run as the workbench wrote it when its
// results were last checked; faster equations, integration or formatting must
// leave every byte as it is.
constexpr std::uint64_t PinnedOutputDigest = 0x72013bd2b869c257;
constexpr std::uintmax_t PinnedOutputBytes = 19'811'420;

TEST(SampleRun, OutputFileAndAnnualFiguresOfTheTenYearsArePinned) {
    TempFolder dir;
    StartSession(0, 3660, 1);
    ASSERT_TRUE(ReadParamFile(OSTREL_SAMPLES_DIR "/forest.par", ModelDef.NumParams, Params, ModelDef.NumStates, States));
    ParamFileName = OSTREL_SAMPLES_DIR "/forest.par";
    DriverFileName = OSTREL_SAMPLES_DIR "/weather.drr";
    OutputFileName = dir / "forest.out";
    RunObserver quiet;
    RunStatistics stats;
    RunModel(quiet, RunMode::Quiet, stats);
    ASSERT_EQ(stats.RecordsWritten, 3660);
    EXPECT_EQ(std::filesystem::file_size(OutputFileName), PinnedOutputBytes);
    EXPECT_EQ(FileDigest(OutputFileName), PinnedOutputDigest) << "the output file of the sample run changed";

    const std::vector<YearSummary> years = SummariseYears(OutputFileName);
    ASSERT_EQ(years.size(), std::size(Pinned));
    for (std::size_t i = 0; i < years.size(); ++i) {
        const YearSummary& y = years[i];
        SCOPED_TRACE(testing::Message() << "year " << y.Year);
        EXPECT_EQ(y.Year, static_cast<int>(i) + 1);
        EXPECT_TRUE(FourDigits(y.Gpp, Pinned[i].gpp)) << y.Gpp;
        EXPECT_TRUE(FourDigits(y.Npp, Pinned[i].npp)) << y.Npp;
        EXPECT_TRUE(FourDigits(y.Nep, Pinned[i].nep)) << y.Nep;
        EXPECT_TRUE(FourDigits(y.PeakLai, Pinned[i].peakLai)) << y.PeakLai;
    }
}

}  // namespace
