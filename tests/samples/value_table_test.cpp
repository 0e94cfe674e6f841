#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "core/stypes.h"
#include "model/equations.h"
#include "samples/value_table.h"

namespace {

class ValueTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        DefineModel();
        states_ = States;
        params_ = Params;
    }

    // A complete table: state i gets the value i, parameter i gets 1000 + i.
    static std::string CompleteTable() {
        std::string t = "# kind\tsymbol\tvalue\twhy\n";
        for (int i = 1; i <= ModelDef.NumStates; ++i)
            t += "state\t" + std::string(States[i].Symbol) + "\t" + std::to_string(i) + "\tnote\n";
        for (int i = 1; i <= ModelDef.NumParams; ++i)
            t += "param\t" + std::string(Params[i].Symbol) + "\t" + std::to_string(1000 + i) + "\n";
        return t;
    }

    // The message of the ValueTableError that loading `text` raises, or "".
    std::string LoadError(const std::string& text) {
        std::istringstream in(text);
        try {
            LoadValueTable(in, "forest.tsv", states_, params_);
        } catch (const ValueTableError& e) {
            return e.what();
        }
        return "";
    }

    statearray states_;
    paramarray params_;
};

TEST_F(ValueTableTest, EveryEntryIsPlacedBySymbolWhateverTheOrder) {
    // Last entries first, with CR LF line ends, blank lines and comments.
    std::string text = "\r\n# comment\r\nparam\taNtri\t2.5e-04\r\nstate\tJdrs\t999\r\n\n";
    std::istringstream lines(CompleteTable());
    for (std::string l; std::getline(lines, l);)
        if (l.find("\taNtri\t") == std::string::npos && l.find("\tJdrs\t") == std::string::npos) text += l + "\r\n";
    ASSERT_EQ(LoadError(text), "");
    EXPECT_EQ(states_[1].Value, 1.0);    // Cf
    EXPECT_EQ(states_[54].Value, 54.0);  // Jdws
    EXPECT_EQ(states_[55].Value, 999.0);
    EXPECT_EQ(params_[1].Value, 1001.0);  // Deltad
    EXPECT_EQ(params_[113].Value, 1113.0);
    EXPECT_EQ(params_[114].Value, 0.00025);
    // Only the values change: the catalogue texts stay.
    EXPECT_EQ(states_[55].Symbol, "Jdrs");
    EXPECT_EQ(params_[114].Symbol, "aNtri");
}

TEST_F(ValueTableTest, FaultsNameTheFileAndLine) {
    const std::string full = CompleteTable();  // line 1 is the comment
    EXPECT_EQ(LoadError(full + "state\tCf\t12\n"), "forest.tsv:171: state 'Cf' is already given on line 2");
    EXPECT_EQ(LoadError(full + "param\taNtri\t1\n"), "forest.tsv:171: parameter 'aNtri' is already given on line 170");
    EXPECT_EQ(LoadError("state\tCF\t1\n"), "forest.tsv:1: no state has the symbol 'CF'");
    EXPECT_EQ(LoadError("\nstate\tgf\t1\n"), "forest.tsv:2: no state has the symbol 'gf'");
    EXPECT_EQ(LoadError("param\tCf\t1\n"), "forest.tsv:1: no parameter has the symbol 'Cf'");
    EXPECT_EQ(LoadError("States\tCf\t1\n"), "forest.tsv:1: kind must be 'state' or 'param', not 'States'");
    EXPECT_EQ(LoadError("state Cf 1\n"), "forest.tsv:1: expected kind, symbol and value separated by tabs");
    EXPECT_EQ(LoadError("state\tCf\n"), "forest.tsv:1: expected kind, symbol and value separated by tabs");
}

TEST_F(ValueTableTest, ValuesMustBeWholeFiniteNumbers) {
    EXPECT_EQ(LoadError("state\tCf\t\n"), "forest.tsv:1: '' is not a number");
    EXPECT_EQ(LoadError("state\tCf\t12 g\n"), "forest.tsv:1: '12 g' is not a number");
    EXPECT_EQ(LoadError("state\tCf\t1,5\n"), "forest.tsv:1: '1,5' is not a number");
    EXPECT_EQ(LoadError("state\tCf\tinf\n"), "forest.tsv:1: 'inf' is not a number");
    EXPECT_EQ(LoadError("state\tCf\tnan\n"), "forest.tsv:1: 'nan' is not a number");
    EXPECT_EQ(LoadError("state\tCf\t1e999\n"), "forest.tsv:1: '1e999' is not a number");
}

TEST_F(ValueTableTest, MissingEntriesAreListedAndNothingIsLeftAtZeroSilently) {
    std::string text;
    std::istringstream lines(CompleteTable());
    for (std::string l; std::getline(lines, l);)
        if (l.find("\tWs\t") == std::string::npos && l.find("\tmF\t") == std::string::npos &&
            l.find("\tkINO3\t") == std::string::npos)
            text += l + "\n";
    EXPECT_EQ(LoadError(text), "forest.tsv: no value for state Ws param mF param kINO3");
    const std::string none = LoadError("# nothing but a comment\n");
    EXPECT_TRUE(none.starts_with("forest.tsv: no value for state Cf state Csw state Chw ")) << none;
    EXPECT_TRUE(none.ends_with(" param kINO3 param aNtri")) << none;
}

}  // namespace
