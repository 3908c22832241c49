#include "core/settings/ini_update.h"

#include <map>
#include <optional>
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

using ReplacedLines = std::unordered_map<std::size_t, std::wstring>;
using AddedLines = std::map<std::size_t, std::vector<std::wstring>>;

// Which lines of `document` `owns` drops: those of its keys that no assignment writes, then the header of a
// section that they emptied.
std::vector<bool> DroppedLines(const IniDocument& document, const IniKeyOwner& owns, const ReplacedLines& replaced,
                               const AddedLines& added)
{
    std::vector<bool> dropped(document.LineCount(), false);
    if (!owns) return dropped;
    std::wstring_view section;            // the nameless section before the first header has no name
    std::optional<std::size_t> header;    // the line of the section's header, if it has one
    bool droppedAny = false;
    bool keepsAny = false;
    const auto endSection = [&] {
        if (header && droppedAny && !keepsAny) dropped[*header] = true;
    };
    for (std::size_t i = 0; i < document.LineCount(); ++i) {
        const IniLine line = ParseIniLine(document.Line(i));
        if (line.kind == IniLine::Kind::Header) {
            endSection();
            section = line.name;
            header = i;
            droppedAny = keepsAny = false;
        } else if (line.kind == IniLine::Kind::Key && !replaced.contains(i) && owns(section, line.name)) {
            dropped[i] = droppedAny = true;
        } else if (line.kind != IniLine::Kind::Blank) {
            keepsAny = true;
        }
        if (added.contains(i)) keepsAny = true;
    }
    endSection();
    return dropped;
}

}  // namespace

std::wstring UpdateIniText(std::wstring existing, const std::vector<IniAssignment>& assignments,
                           const IniKeyOwner& owns)
{
    const IniDocument document(std::move(existing));
    ReplacedLines replacedLines;
    AddedLines linesAddedAfter;
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

    const std::vector<bool> dropped = DroppedLines(document, owns, replacedLines, linesAddedAfter);
    std::wstring text;
    const auto appendLine = [&text](std::wstring_view line) {
        text += line;
        text += kLineEnd;
    };
    for (std::size_t i = 0; i < document.LineCount(); ++i) {
        const auto replaced = replacedLines.find(i);
        if (!dropped[i])
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
