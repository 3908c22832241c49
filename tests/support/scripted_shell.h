#pragma once
// A Shell implementation for tests: records every copy and explorer call and answers copies from a script.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace korvane::testing {

struct CopyCall {
    WindowHandle owner = nullptr;
    std::wstring from;
    std::wstring to;
    CopyCollision collision = CopyCollision::Ask;
};

struct ExploreCall {
    WindowHandle owner = nullptr;
    std::wstring folder;
};

class ScriptedShell : public Shell {
public:
    // What the next copy answers; `whileCopying` runs during the copy, before it answers.
    void AnswerCopy(ShellCopyOutcome outcome, std::function<void()> whileCopying = {})
    {
        copyScript_.push_back({outcome, std::move(whileCopying)});
    }

    std::vector<CopyCall> copies;
    std::vector<std::vector<FileCopy>> listCopies;  // the files of each list copy
    std::vector<ExploreCall> explorations;

    // Without a scripted answer a copy succeeds, as a shell with nothing to ask would.
    ShellCopyOutcome CopyFiles(WindowHandle owner, const std::wstring& from, const std::wstring& to,
                               CopyCollision collision) override
    {
        copies.push_back({owner, from, to, collision});
        return NextOutcome();
    }

    // Answers from the same script as CopyFiles.
    ShellCopyOutcome CopyFileList(WindowHandle, const std::vector<FileCopy>& files) override
    {
        listCopies.push_back(files);
        return NextOutcome();
    }

    void Explore(WindowHandle owner, const std::wstring& folder) override
    {
        explorations.push_back({owner, folder});
    }

    bool ScriptUsedUp() const { return copyScript_.empty(); }

private:
    ShellCopyOutcome NextOutcome()
    {
        if (copyScript_.empty()) return {};
        auto step = std::move(copyScript_.front());
        copyScript_.pop_front();
        if (step.whileCopying) step.whileCopying();
        return step.outcome;
    }

    struct CopyStep {
        ShellCopyOutcome outcome;
        std::function<void()> whileCopying;
    };
    std::deque<CopyStep> copyScript_;
};

}  // namespace korvane::testing
