// The one edit distance of the suggestions for mistyped names, and the
// suggestion for a short symbol whose letters were swapped, which a distance
// counting the swap as two edits left out.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "cmdline/symbols.h"
#include "model/equations.h"

namespace {

TEST(EditDistance, CountsASwapOfNeighboursAsOneEdit) {
    EXPECT_EQ(EditDistance("kitten", "sitting"), 3u);
    EXPECT_EQ(EditDistance("", "abc"), 3u);
    EXPECT_EQ(EditDistance("abc", ""), 3u);
    EXPECT_EQ(EditDistance("Cf", "fC"), 1u);
    EXPECT_EQ(EditDistance("Laieos", "Laieso"), 1u);
    // A swap and an edit beside it; a swap never costs more than two edits.
    EXPECT_EQ(EditDistance("abcd", "bacx"), 2u);
    EXPECT_EQ(EditDistance("ca", "abc"), 3u);
    EXPECT_EQ(EditDistance("Cf", "cf"), 1u);
    EXPECT_EQ(EditDistanceIgnoringCase("LIA", "lai"), 1u);
    EXPECT_EQ(EditDistanceIgnoringCase("Cf", "cF"), 0u);
}

TEST(EditDistance, SuggestsTheStateWhoseLettersWereSwapped) {
    DefineModel();
    std::string message;
    try {
        FindVariable("fC", {VarKind::State}, "--hold takes state variables");
    } catch (const std::invalid_argument& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "unknown symbol 'fC' (symbols are case-sensitive); did you mean Cf?");
}

}  // namespace
