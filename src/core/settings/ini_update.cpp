#include "core/settings/ini_update.h"

#include <map>
#include <stdexcept>
#include <unordered_map>

#include "core/settings/ini_document.h"

namespace korvane {
namespace {

constexpr std::wstring_view kLineEnd = L"\r\n";

std::wstring KeyLine(std::wstring_view key, const IniAssignment& assignment)
{
    return std::wstring(key) + L"=" + assignment.value;
}

// A name the reader finds again under the same spelling: not blank and without blanks around it.
bool IsTrimmedName(std::wstring_view name) { return !name.empty() && TrimIniBlanks(name).size() == name.size(); }

void RequireWritable(const IniAssignment& assignment)
{
    const std::wstring_view section = assignment.section;
    const std::wstring_view key = assignment.key;
    if (!IsTrimmedName(section) || section.find(L']') != section.npos || HoldsLineBreakOrNul(section))
        throw std::invalid_argument("INI section name that cannot be written");
    if (!IsTrimmedName(key) || key.find(L'=') != key.npos || key.front() == L'[' || key.front() == L';' ||
        HoldsLineBreakOrNul(key))
        throw std::invalid_argument("INI key name that cannot be written");
    if (HoldsLineBreakOrNul(assignment.value)) throw std::invalid_argument("INI value that cannot be written");
}

struct AppendedSection {
    std::wstring name;
    std::vector<std::wstring> lines;
};

}  // namespace

std::wstring UpdateIniText(std::wstring existing, const std::vector<IniAssignment>& assignments)
{
    const IniDocument document(std::move(existing));
    std::unordered_map<std::size_t, std::wstring> replacedLines;
    std::map<std::size_t, std::vector<std::wstring>> linesAddedAfter;
    std::vector<AppendedSection> appendedSections;
    std::unordered_map<std::wstring, std::size_t> appendedSectionByName;

    for (const IniAssignment& assignment : assignments) RequireWritable(assignment);
    for (const IniAssignment& assignment : assignments) {
        if (const auto section = document.FindSection(assignment.section)) {
            if (const auto keyLine = document.FindKeyLine(*section, assignment.key)) {
                replacedLines[keyLine->line] = KeyLine(keyLine->spelling, assignment);
            } else {
                linesAddedAfter[document.LastLineOfSection(*section)].push_back(KeyLine(assignment.key, assignment));
            }
            continue;
        }
        const auto [it, added] = appendedSectionByName.try_emplace(FoldIniName(assignment.section),
                                                                   appendedSections.size());
        if (added) appendedSections.push_back({assignment.section, {}});
        appendedSections[it->second].lines.push_back(KeyLine(assignment.key, assignment));
    }

    std::wstring text;
    const auto appendLine = [&text](std::wstring_view line) {
        text += line;
        text += kLineEnd;
    };
    for (std::size_t i = 0; i < document.LineCount(); ++i) {
        const auto replaced = replacedLines.find(i);
        appendLine(replaced != replacedLines.end() ? std::wstring_view(replaced->second) : document.Line(i));
        if (const auto added = linesAddedAfter.find(i); added != linesAddedAfter.end()) {
            for (const std::wstring& line : added->second) appendLine(line);
        }
    }
    for (const AppendedSection& section : appendedSections) {
        appendLine(L"[" + section.name + L"]");
        for (const std::wstring& line : section.lines) appendLine(line);
    }
    return text;
}

}  // namespace korvane
