// The parameter checks: values the 25-character name field cut or took in
// whole, and parameters out of the order the equations need.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checks/param_checks.h"
#include "fileio/fileio.h"
#include "model/equations.h"
#include "tests/test_files.h"

namespace {

class ParamChecksTest : public ::testing::Test {
protected:
    void SetUp() override {
        DefineModel();
        for (int i = 1; i <= MaxStates; ++i) States[i].Value = 1.0;
        for (int i = 1; i <= MaxParams; ++i) Params[i].Value = 1.0;
        Set("Ww", 70);
        Set("Wf", 250);
        Set("TUmax", 40);
        Set("TUopt", 25);
        Set("TRmax", 45);
        Set("TRopt", 35);
        for (const char* organ : {"f", "w", "r"}) {
            Set(std::string("DD") + organ + "start", 300);
            Set(std::string("DD") + organ + "stop", 900);
        }
        WriteParamFile(file, ModelDef.NumParams, Params, ModelDef.NumStates, States);
        lines = Lines();
    }
    static void Set(const std::string& symbol, double value) { Params[FindSymbol(2, symbol)].Value = value; }

    std::vector<std::string> Lines() const {
        std::vector<std::string> result;
        const std::string text = ReadBytes(file);
        for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            result.push_back(text.substr(start, end - start));
        return result;
    }
    void Write() const {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        WriteBytes(file, text);
    }

    TempFolder dir;
    std::string file = dir / "p.par";
    std::string subject = "parameter file 'p.par'";
    std::vector<std::string> lines;
    // Line 58 holds Tas, "critical Ta for snowfall", the second parameter.
    static constexpr std::size_t TasLine = 57;
};

TEST_F(ParamChecksTest, AValueTheNameFieldCutOrTookInWholeIsToldWithTheValueAsRead) {
    EXPECT_TRUE(ParamFileWarnings(file, subject).empty());

    // A name typed two characters short: the field of 25 ends inside the value.
    lines[TasLine] = "critical Ta oC snowfall 5.00000000000000E-0001 oC";
    Write();
    EXPECT_EQ(
        ParamFileWarnings(file, subject),
        std::vector<std::string>{subject + " line 58: Tas is read as 0 from '.00000000000000E-0001'; 'critical Ta "
                                           "oC snowfall 5' was taken for the name, and the name field of 25 "
                                           "characters ends inside the number '5.00000000000000E-0001'"});

    // The value typed within the name field: the next number counts, here on the next line.
    lines[TasLine] = "critical Ta snowfall 0.5";
    lines.insert(lines.begin() + TasLine + 1, std::string(30, ' ') + "2.5");
    Write();
    const std::vector<std::string> warnings = ParamFileWarnings(file, subject);
    ASSERT_FALSE(warnings.empty());
    EXPECT_EQ(warnings.front(), subject +
                                    " line 58: Tas is read as 2.5 on line 59; 'critical Ta snowfall 0.5' was "
                                    "taken for the name, a number within the name field of 25 characters");

    // A name that merely differs keeps its own warning.
    lines.erase(lines.begin() + TasLine + 1);
    lines[TasLine] = "critical T for snow fall  5.00000000000000E-0001 oC";
    Write();
    EXPECT_EQ(ParamFileWarnings(file, subject),
              std::vector<std::string>{subject + " line 58: 'critical T for snow fall' where the model has 'critical "
                                                 "Ta for snowfall'; values are read by position"});
}

TEST_F(ParamChecksTest, ParametersTheEquationsNeedInOneOrder) {
    EXPECT_TRUE(ParamOrderWarnings(subject).empty());
    Set("Wf", 70);  // field capacity at wilting point: available water divides by their difference
    Set("TUopt", 41);
    Set("DDrstop", 100);
    EXPECT_EQ(
        ParamOrderWarnings(subject),
        (std::vector<std::string>{
            subject + ": Wf 70 is not above Ww 70: field capacity must be above wilting point",
            subject + ": TUmax 40 is not above TUopt 41: the uptake optimum temperature must be below its maximum",
            subject + ": DDrstop 100 is not above DDrstart 300: root growth must start before it stops",
        }));
}

}  // namespace
