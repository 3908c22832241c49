#pragma once
// What every benchmark prints: one row per figure, beside its reference, with the goal it has to meet. The rows
// are tab-separated lines starting with "FIGURE", which scripts/bench.sh gathers into one table.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace korvane::bench {

// The middle value (the mean of the two middle ones for an even count); 0 for no values.
inline double Median(std::vector<double> values)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The milliseconds one call of `action` takes.
inline double TimedMilliseconds(const std::function<void()>& action)
{
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// What a figure must reach, against its reference.
struct Goal {
    std::string text;
    std::function<bool(double value, double reference)> met;
};

// The figure is at most `factor` times the reference.
inline Goal AtMostTimes(double factor)
{
    char text[48];
    std::snprintf(text, sizeof text, "<= %.3g x reference", factor);
    return {text, [factor](double value, double reference) { return value <= factor * reference; }};
}

// The figure is at least `factor` times below the reference (the reference takes that many times longer).
inline Goal AtLeastTimesFaster(double factor)
{
    char text[48];
    std::snprintf(text, sizeof text, "reference >= %.0f x", factor);
    return {text, [factor](double value, double reference) { return reference >= factor * value; }};
}

// The figure exceeds the reference by at most `margin` (in the figure's unit).
inline Goal AtMostAbove(double margin, const std::string& unit)
{
    char text[48];
    std::snprintf(text, sizeof text, "<= reference + %.0f %s", margin, unit.c_str());
    return {text, [margin](double value, double reference) { return value <= reference + margin; }};
}

// The figure itself is at most `limit` (in its unit).
inline Goal AtMost(double limit, const std::string& unit)
{
    char text[48];
    std::snprintf(text, sizeof text, "<= %.0f %s", limit, unit.c_str());
    return {text, [limit](double value, double) { return value <= limit; }};
}

// Both goals.
inline Goal Both(const Goal& first, const Goal& second)
{
    return {first.text + " and " + second.text, [first, second](double value, double reference) {
                return first.met(value, reference) && second.met(value, reference);
            }};
}

// Only shown: the figure has no goal of its own.
inline Goal ShownOnly()
{
    return {"-", {}};
}

struct Figure {
    std::string name;
    double value = 0;
    std::string referenceName;
    double reference = 0;
    std::string unit;  // of the value and of the reference
    Goal goal;
};

// "yes", "no", or "-" for a figure without goal.
inline std::string GoalVerdict(const Figure& figure)
{
    if (!figure.goal.met) return "-";
    return figure.goal.met(figure.value, figure.reference) ? "yes" : "no";
}

// The figure's row: FIGURE, figure, reference, ratio, goal, met; the columns separated by tabs.
inline std::string FigureRow(const Figure& figure)
{
    char value[64], reference[160], ratio[32];
    std::snprintf(value, sizeof value, "%.1f %s", figure.value, figure.unit.c_str());
    std::snprintf(reference, sizeof reference, "%s: %.1f %s", figure.referenceName.c_str(), figure.reference,
                  figure.unit.c_str());
    if (figure.reference > 0)
        std::snprintf(ratio, sizeof ratio, "%.3g", figure.value / figure.reference);
    else
        std::snprintf(ratio, sizeof ratio, "-");
    return "FIGURE\t" + figure.name + ": " + value + "\t" + reference + "\t" + ratio + "\t" + figure.goal.text +
           "\t" + GoalVerdict(figure);
}

inline void PrintFigure(const Figure& figure)
{
    std::printf("%s\n", FigureRow(figure).c_str());
    std::fflush(stdout);
}

// A benchmark's main: runs it; a failure is reported with the benchmark's name and ends it with 1.
inline int RunBenchmark(const char* name, const std::function<int()>& run)
{
    try {
        return run();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: %s\n", name, failure.what());
        return 1;
    }
}

}  // namespace korvane::bench
