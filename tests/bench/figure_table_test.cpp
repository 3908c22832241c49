#include "figure_table.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace korvane::bench {
namespace {

TEST(Median, IsTheMiddleOfTheSortedValues)
{
    const struct {
        std::vector<double> values;
        double expected;
    } cases[] = {
        {{}, 0}, {{7}, 7}, {{9, 1, 5}, 5}, {{4, 1, 3, 2}, 2.5}, {{2, 2, 100}, 2}, {{-1, 10}, 4.5},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(Median(c.values), c.expected) << c.values.size() << " values";
}

TEST(Goal, IsMetOnlyWithinItsBound)
{
    const struct {
        Goal goal;
        double value;
        double reference;
        bool met;
    } cases[] = {
        {AtMostTimes(2), 200, 100, true},          {AtMostTimes(2), 201, 100, false},
        {AtMostTimes(1.05), 105, 100, true},       {AtMostTimes(1.05), 106, 100, false},
        {AtLeastTimesFaster(300), 10, 3000, true}, {AtLeastTimesFaster(300), 10, 2999, false},
        {AtMostAbove(8, "MB"), 27, 19, true},      {AtMostAbove(8, "MB"), 27.5, 19, false},
        {AtMost(16, "ms"), 16, 1, true},           {AtMost(16, "ms"), 16.1, 1000, false},
        {Both(AtMost(25, "ms"), AtLeastTimesFaster(300)), 20, 9000, true},
        {Both(AtMost(25, "ms"), AtLeastTimesFaster(300)), 30, 9000, false},
        {Both(AtMost(25, "ms"), AtLeastTimesFaster(300)), 20, 5000, false},
    };
    for (const auto& c : cases) {
        const Figure figure{"f", c.value, "r", c.reference, "ms", c.goal};
        EXPECT_EQ(GoalVerdict(figure), c.met ? "yes" : "no") << c.goal.text << ": " << c.value << " / " << c.reference;
    }
}

std::vector<std::string> Columns(const std::string& row)
{
    std::vector<std::string> columns;
    std::istringstream stream(row);
    for (std::string column; std::getline(stream, column, '\t');) columns.push_back(column);
    return columns;
}

TEST(FigureRow, HoldsTheTableColumnsSeparatedByTabs)
{
    const struct {
        Figure figure;
        std::vector<std::string> expected;
    } cases[] = {
        {{"start", 130, "bare window", 100, "ms", AtMostTimes(1.3)},
         {"FIGURE", "start: 130.0 ms", "bare window: 100.0 ms", "1.3", "<= 1.3 x reference", "yes"}},
        {{"memory", 30.25, "bare window", 19.5, "MB", AtMostAbove(8, "MB")},
         {"FIGURE", "memory: 30.2 MB", "bare window: 19.5 MB", "1.55", "<= reference + 8 MB", "no"}},
        {{"copy", 3000, "plain copy", 0, "ms", ShownOnly()},
         {"FIGURE", "copy: 3000.0 ms", "plain copy: 0.0 ms", "-", "-", "-"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Columns(FigureRow(c.figure)), c.expected) << c.figure.name;
}

}  // namespace
}  // namespace korvane::bench
