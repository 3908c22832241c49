#include "ui/attempt_each.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/failure.h"

namespace korvane::ui {
namespace {

// Every step runs, in order, whatever failed before it; each failure is told once, with the step and the reason.
TEST(AttemptEach, RunsEveryStepAndReportsEachFailureWithItsStepAndReason)
{
    std::vector<std::wstring> ran;
    std::vector<std::wstring> reported;
    AttemptEach(
        {
            {L"first", [&] { ran.push_back(L"first"); }},
            {L"the password", [&] {
                 ran.push_back(L"the password");
                 throw Failure(75, L"アクセスが拒否されました。");
             }},
            {L"the list", [&] {
                 ran.push_back(L"the list");
                 throw std::length_error("vector too long");
             }},
            {L"a code alone", [&] { throw Failure(76); }},
            {L"last", [&] { ran.push_back(L"last"); }},
        },
        [&](std::wstring_view line) { reported.emplace_back(line); });

    EXPECT_EQ(ran, (std::vector<std::wstring>{L"first", L"the password", L"the list", L"last"}));
    EXPECT_EQ(reported, (std::vector<std::wstring>{L"Korvane: the password failed: アクセスが拒否されました。 (code 75)",
                                                   L"Korvane: the list failed: vector too long",
                                                   L"Korvane: a code alone failed: code 76"}));
}

}  // namespace
}  // namespace korvane::ui
