#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>
#include <string>

#include "model/equations.h"
#include "model/symbols.h"

namespace {
class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override { DefineModel(); }
};

TEST_F(CatalogueTest, ModelDescription) {
    EXPECT_EQ(ModelDef.Name, "Ostrel");
    EXPECT_EQ(ModelDef.Version, "6.4.2");
    EXPECT_EQ(ModelDef.TimeUnit, "days");
    EXPECT_EQ(ModelDef.NumStates, 55);
    EXPECT_EQ(ModelDef.NumProcesses, 189);
    EXPECT_EQ(ModelDef.NumDrivers, 18);
    EXPECT_EQ(ModelDef.NumParams, 114);
}

TEST_F(CatalogueTest, EntriesBeyondTheCountsStayEmpty) {
    EXPECT_TRUE(States[56].Name.empty() && States[56].Units.empty() && States[56].Symbol.empty());
    for (int i = 190; i <= 200; ++i) {
        EXPECT_TRUE(Processes[i].Symbol.empty()) << i;
        EXPECT_EQ(Processes[i].ParamCount, 0) << i;
    }
    for (int i = 115; i <= 200; ++i) EXPECT_TRUE(Params[i].Name.empty()) << i;
    EXPECT_TRUE(Drivers[19].Symbol.empty() && Drivers[20].Symbol.empty());
}

TEST_F(CatalogueTest, EveryCataloguedEntryHasAllThreeTexts) {
    for (int i = 1; i <= ModelDef.NumStates; ++i)
        EXPECT_FALSE(States[i].Name.empty() || States[i].Units.empty() || States[i].Symbol.empty()) << i;
    for (int i = 1; i <= ModelDef.NumProcesses; ++i)
        EXPECT_FALSE(Processes[i].Name.empty() || Processes[i].Units.empty() || Processes[i].Symbol.empty()) << i;
    for (int i = 1; i <= ModelDef.NumParams; ++i)
        EXPECT_FALSE(Params[i].Name.empty() || Params[i].Units.empty() || Params[i].Symbol.empty()) << i;
    for (int i = 1; i <= ModelDef.NumDrivers; ++i)
        EXPECT_FALSE(Drivers[i].Name.empty() || Drivers[i].Units.empty() || Drivers[i].Symbol.empty()) << i;
}

TEST_F(CatalogueTest, SymbolsAreUniqueWithinStatesParametersAndDrivers) {
    std::set<std::string_view> seen;
    for (int i = 1; i <= ModelDef.NumStates; ++i) {
        EXPECT_TRUE(seen.insert(States[i].Symbol).second) << States[i].Symbol;
        EXPECT_EQ(FindSymbol(1, States[i].Symbol), i);
    }
    for (int i = 1; i <= ModelDef.NumParams; ++i) EXPECT_EQ(FindSymbol(2, Params[i].Symbol), i) << Params[i].Symbol;
    for (int i = 1; i <= ModelDef.NumDrivers; ++i) EXPECT_EQ(FindSymbol(0, Drivers[i].Symbol), i);
}

TEST_F(CatalogueTest, DerivativeTextsAreComposedFromTheStates) {
    EXPECT_EQ(Processes[1].Name, "dC: foliardt");
    EXPECT_EQ(Processes[1].Units, "g C m-2 groundt-1");
    EXPECT_EQ(Processes[1].Symbol, "dCfdt");
    EXPECT_EQ(Processes[21].Name, "dH2O: Root-zonedt");
    EXPECT_EQ(Processes[21].Units, "mm H2Ot-1");
    EXPECT_EQ(Processes[21].Symbol, "dWrdt");
    EXPECT_EQ(Processes[24].Name, "dLAI: End of Grow seasondt");
    EXPECT_EQ(Processes[24].Name.size(), 26u);
    EXPECT_EQ(Processes[29].Units, "mm H2O yr-1t-1");
    for (int i = 1; i <= ModelDef.NumStates; ++i) {
        EXPECT_EQ(Processes[i].Symbol, "d" + std::string(States[i].Symbol) + "dt");
        EXPECT_EQ(Processes[i].ParamCount, 0);
        EXPECT_EQ(Processes[i].TabCategory, 0);
        EXPECT_EQ(Processes[i].Marked, 0);
    }
}

TEST_F(CatalogueTest, TextsWithTrailingBlanksAndLongFieldsSurvive) {
    EXPECT_EQ(Drivers[17].Units, "g N m-2 ");
    EXPECT_EQ(Drivers[18].Units, "g N m-2");
    EXPECT_EQ(Drivers[11].Name.size(), 26u);
    EXPECT_EQ(Drivers[15].Name.size(), 26u);
    EXPECT_EQ(Params[3].Units.size(), 27u);
}

TEST_F(CatalogueTest, ParamBaseRangesRunWithoutGapsOrOverlaps) {
    EXPECT_EQ(ParamBase(56), 0);
    EXPECT_EQ(ParamBase(58), 0);
    EXPECT_EQ(ParamBase(61), 2);
    EXPECT_EQ(ParamBase(154), 113);
    EXPECT_EQ(ParamBase(190), 114);
    // Past the table, and far below it, nothing more is counted.
    EXPECT_EQ(ParamBase(MaxProcesses + 1), 114);
    EXPECT_EQ(ParamBase(std::numeric_limits<std::int32_t>::max()), 114);
    EXPECT_EQ(ParamBase(std::numeric_limits<std::int32_t>::min()), 0);
    int next = 1;
    int owners = 0;
    for (int p = ModelDef.NumStates + 1; p <= ModelDef.NumProcesses; ++p) {
        EXPECT_EQ(ParamBase(p) + 1, next) << p;
        EXPECT_EQ(ParamBase(p), CatalogueParamBase(p)) << p;
        EXPECT_GE(Processes[p].ParamCount, 0);
        EXPECT_LE(Processes[p].ParamCount, 6);
        next += Processes[p].ParamCount;
        owners += Processes[p].ParamCount > 0;
    }
    EXPECT_EQ(next, 115);
    EXPECT_EQ(owners, 53);
}

TEST_F(CatalogueTest, ParametersSitWithTheirOwners) {
    EXPECT_EQ(Params[ParamBase(pr::Hd) + 1].Symbol, "Deltad");
    EXPECT_EQ(Params[ParamBase(pr::LAI) + 1].Symbol, "mF");
    EXPECT_EQ(Params[ParamBase(pr::PhenologyF) + 6].Symbol, "DsensF");
    EXPECT_EQ(Params[ParamBase(pr::Fntri) + 1].Symbol, "aNtri");
    EXPECT_EQ(Params[pa::epsilonR.Index()].Symbol, "epsilonR");
    EXPECT_EQ(Params[pa::Awd.Index()].Symbol, "Awd");
}

TEST_F(CatalogueTest, RepeatedProcessSymbolsAndCategories) {
    EXPECT_EQ(Processes[99].Name, "Resp: Labile Wood");
    EXPECT_EQ(Processes[100].Name, "Resp: Labile Root");
    EXPECT_EQ(Processes[99].Symbol, "RrmetL");
    EXPECT_EQ(Processes[100].Symbol, "RrmetL");
    for (int p : {109, 110, 111}) EXPECT_EQ(Processes[p].Symbol, "none");
    int marked = 0;
    for (int p = 56; p <= 189; ++p) {
        EXPECT_LE(Processes[p].TabCategory, 4);
        marked += Processes[p].Marked;
    }
    EXPECT_EQ(marked, 12);
}

TEST_F(CatalogueTest, DefiningTwiceGivesTheSameCatalogueAndKeepsValues) {
    States[1].Value = 123;
    States[1].HoldConstant = true;
    const statearray states = States;
    const processarray processes = Processes;
    DefineModel();
    EXPECT_EQ(States, states);
    EXPECT_EQ(Processes, processes);
    EXPECT_EQ(States[1].Value, 123);
    EXPECT_TRUE(States[1].HoldConstant);
}
}  // namespace
