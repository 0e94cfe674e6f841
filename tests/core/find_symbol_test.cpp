#include <gtest/gtest.h>

#include "core/stypes.h"
#include "model/equations.h"

namespace {
class FindSymbolTest : public ::testing::Test {
protected:
    void SetUp() override { DefineModel(); }
};

TEST_F(FindSymbolTest, FindsEachKindInItsOwnTable) {
    EXPECT_EQ(FindSymbol(1, "Cf"), 1);
    EXPECT_EQ(FindSymbol(1, "Jdrs"), 55);
    EXPECT_EQ(FindSymbol(2, "gf"), 75);
    EXPECT_EQ(FindSymbol(2, "aNtri"), 114);
    EXPECT_EQ(FindSymbol(0, "DNno3"), 18);
    // Ts is both driver 4 and process entry 57; each lookup stays in its table.
    EXPECT_EQ(FindSymbol(0, "Ts"), 4);
    EXPECT_EQ(FindSymbol(3, "Ts"), 57);
}

TEST_F(FindSymbolTest, LastMatchWins) {
    EXPECT_EQ(FindSymbol(3, "RrmetL"), 100);
    EXPECT_EQ(FindSymbol(3, "none"), 111);
}

TEST_F(FindSymbolTest, ProcessSearchStartsAtTheLastDerivativeEntry) {
    EXPECT_EQ(FindSymbol(3, "dJdrsdt"), 55);
    EXPECT_EQ(FindSymbol(3, "dJdwsdt"), 0);
    EXPECT_EQ(FindSymbol(3, "dCfdt"), 0);
}

TEST_F(FindSymbolTest, NoMatchGivesZero) {
    EXPECT_EQ(FindSymbol(1, "cf"), 0);  // case-sensitive
    EXPECT_EQ(FindSymbol(1, "Cf "), 0);
    EXPECT_EQ(FindSymbol(1, ""), 0);    // the empty entry 56 is beyond NumStates
    EXPECT_EQ(FindSymbol(5, "Cf"), 0);
    EXPECT_EQ(FindSymbol(-1, "Cf"), 0);
}

TEST(TableCopy, CopyIsIndependentOfItsSource) {
    DefineModel();
    Drivers[3].Value = 7.5;
    NextDrivers = Drivers;
    EXPECT_EQ(NextDrivers[3].Name, "Temperature Min");
    EXPECT_EQ(NextDrivers[3].Value, 7.5);
    Drivers[3].Value = -2;
    EXPECT_EQ(NextDrivers[3].Value, 7.5);

    statearray copy = States;
    copy[1].Value = 42;
    copy[1].HoldConstant = true;
    EXPECT_NE(States[1].Value, 42);
    EXPECT_FALSE(States[1].HoldConstant);
    EXPECT_EQ(copy[1].Symbol, "Cf");
}

TEST(TableCopy, TablesCopyWithoutOwningMemory) {
    // Copies happen at every model evaluation: records hold views, not strings.
    static_assert(std::is_trivially_copyable_v<statearray>);
    static_assert(std::is_trivially_copyable_v<processarray>);
    static_assert(std::is_trivially_copyable_v<paramarray>);
}

TEST(RunTimeErrors, CarryTheirMessages) {
    EXPECT_STREQ(ETooManySteps().what(), "Too many steps in routine ODEIntegrator");
    EXPECT_STREQ(EOutputStepTooSmall().what(),
                 "Output time step is less than simulation time step. Output time step increased to time step. ");
    EXPECT_STREQ(EOutputStepTooLarge().what(),
                 "Output time step is greater than run length. Output time step decreased to run length. ");
    EXPECT_STREQ(EOutputStepNotMultiple().what(),
                 "Output time step must be a multiple of simulation time step. Output time step changed to current "
                 "time_step. ");
    EXPECT_STREQ(EZeroDivide().what(), "Floating point division by zero");
    EXPECT_STREQ(EInvalidOp().what(), "Invalid floating point operation");
    EXPECT_STREQ(EOverflow().what(), "Floating point overflow");
    EXPECT_STREQ(NotAnInteger("1.5").what(), "'1.5' is not a valid integer value");
    EXPECT_STREQ(NotAFloat("x").what(), "'x' is not a valid floating point value");
    EXPECT_STREQ(InvalidNumericInput().what(), "Invalid numeric input");
    EXPECT_STREQ(ReadBeyondEndOfFile().what(), "Read beyond end of file");
    EXPECT_STREQ(InOutErrorFromErrno(ENOENT).what(), "File not found");
    EXPECT_STREQ(InOutErrorFromErrno(EACCES).what(), "File access denied");
    EXPECT_STREQ(InOutErrorFromErrno(ENOSPC).what(), "Disk full");
    EXPECT_STREQ(InOutErrorFromErrno(EMFILE).what(), "Too many open files");
    EXPECT_STREQ(InOutErrorFromErrno(EIO).what(), "I/O error 5");
}

TEST(RunTimeErrors, FamilyLetsTheIntegratorTellZeroDivideApart) {
    try {
        throw EZeroDivide();
    } catch (const EInvalidOp&) {
        FAIL();
    } catch (const EZeroDivide&) {
    }
    EXPECT_TRUE((std::is_base_of_v<EIntegratorError, EStepTooSmall>));
    EXPECT_TRUE((std::is_base_of_v<ERunTimeError, EUserCancel>));
    EXPECT_FALSE((std::is_base_of_v<ERunTimeError, EStepError>));
}
}  // namespace
