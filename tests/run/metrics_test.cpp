// Metrics of a run from its records, and the results file many runs share.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>

#include "run/metrics.h"
#include "tests/test_files.h"

namespace {

int Columns(std::string_view symbol) {
    if (symbol == "LAI") return 1;
    if (symbol == "GPP") return 0;
    throw EMetricError("unknown symbol '" + std::string(symbol) + "'");
}

std::string Refusal(std::string_view text) {
    try {
        ParseMetric(text, Columns);
    } catch (const EMetricError& e) {
        return e.what();
    }
    return "accepted";
}

}  // namespace

TEST(RunMetrics, EveryKindOverTheRunAndOverAWindow) {
    std::vector<MetricDefinition> definitions;
    for (const char* text : {"mean(LAI)", "min(LAI)", "max(LAI)", "first(LAI)", "last(LAI)", "integral(LAI)",
                             "mean(GPP)@2..3", "integral(LAI)@2..4", "max(LAI)@10..20"})
        definitions.push_back(ParseMetric(text, Columns));
    EXPECT_EQ(definitions[6].From, 2);
    EXPECT_EQ(definitions[6].To, 3);
    MetricSet set(definitions);
    // LAI 1, 3, 2, 6 at times 1, 2, 4, 5; GPP 10, 20, 30, 40.
    const double records[][3] = {{1, 10, 1}, {2, 20, 3}, {4, 30, 2}, {5, 40, 6}};
    for (const auto& r : records) set.Add(r[0], std::span<const double>(r + 1, 2));
    EXPECT_DOUBLE_EQ(set.Value(0), 3);
    EXPECT_DOUBLE_EQ(set.Value(1), 1);
    EXPECT_DOUBLE_EQ(set.Value(2), 6);
    EXPECT_DOUBLE_EQ(set.Value(3), 1);
    EXPECT_DOUBLE_EQ(set.Value(4), 6);
    EXPECT_DOUBLE_EQ(set.Value(5), 2 + 5 + 4);  // trapezoids: (1+3)/2·1 + (3+2)/2·2 + (2+6)/2·1
    EXPECT_DOUBLE_EQ(set.Value(6), 20);
    EXPECT_DOUBLE_EQ(set.Value(7), 5);
    try {
        set.Value(8);
        FAIL();
    } catch (const EMetricError& e) {
        EXPECT_STREQ(e.what(), "metric 'max(LAI)@10..20' has no record in its time window");
    }
}

TEST(RunMetrics, MalformedSpecificationsAreRefused) {
    EXPECT_EQ(Refusal("avg(LAI)"),
              "--metric 'avg(LAI)': unknown kind 'avg'; the kinds are mean, min, max, first, last, integral");
    EXPECT_EQ(Refusal("mean LAI"), "--metric 'mean LAI': a metric is KIND(SYMBOL) or KIND(SYMBOL)@FROM..TO, KIND "
                                   "one of mean, min, max, first, last, integral");
    EXPECT_EQ(Refusal("mean(LAI)@5"), "--metric 'mean(LAI)@5': a time window is @FROM..TO with two numbers");
    EXPECT_EQ(Refusal("mean(LAI)@9..5"), "--metric 'mean(LAI)@9..5': the window's start is after its end");
    EXPECT_EQ(Refusal("mean(XYZ)"), "unknown symbol 'XYZ'");
}

TEST(RunMetrics, ResultsFileKeepsOneHeaderWholeRowsAndRefusesAnotherHeader) {
    TempFolder dir;
    const std::string file = dir / "results.csv";
    const std::vector<std::string> header{"member", "status", "mean(LAI)"};
    // Many processes append at once; every row arrives whole.
    constexpr int writers = 8, rows = 50;
    for (int w = 0; w < writers; ++w) {
        if (fork() == 0) {
            for (int r = 0; r < rows; ++r)
                AppendResultsRow(file, header, {std::to_string(w * rows + r), "a failure, \"quoted\"", "1.5"});
            _exit(0);
        }
    }
    for (int w = 0; w < writers; ++w) wait(nullptr);
    const std::string text = ReadBytes(file);
    EXPECT_EQ(text.rfind("member,status,mean(LAI)\r\n", 0), 0u);
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    EXPECT_EQ(lines, 1u + writers * rows);
    EXPECT_NE(text.find(",\"a failure, \"\"quoted\"\"\",1.5\r\n"), std::string::npos);

    try {
        AppendResultsRow(file, {"member", "status", "max(LAI)"}, {"x", "ok", "2"});
        FAIL();
    } catch (const EMetricError& e) {
        EXPECT_EQ(std::string(e.what()), "results file '" + file +
                                             "': its header is not the one of this run's metrics "
                                             "(member,status,max(LAI)); use another results file");
    }
    EXPECT_EQ(ReadBytes(file), text);
}
