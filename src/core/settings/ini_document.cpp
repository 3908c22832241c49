#include "core/settings/ini_document.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace korvane {

bool IsIniBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r' || c == 0x1A;
}

std::wstring_view TrimIniBlanks(std::wstring_view text)
{
    while (!text.empty() && IsIniBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsIniBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsEnclosedInQuotes(std::wstring_view value)
{
    return value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front();
}

bool HoldsLineBreakOrNul(std::wstring_view text) { return text.find_first_of(L"\r\n\0", 0, 3) != text.npos; }

namespace {

std::wstring_view DropEnclosingQuotes(std::wstring_view value)
{
    return IsEnclosedInQuotes(value) ? value.substr(1, value.size() - 2) : value;
}

wchar_t FoldedCharacter(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

}  // namespace

std::wstring FoldIniName(std::wstring_view name)
{
    std::wstring folded(TrimIniBlanks(name));
    for (wchar_t& c : folded) c = FoldedCharacter(c);
    return folded;
}

std::size_t IniDocument::FoldedNameHash::operator()(std::wstring_view name) const noexcept
{
    std::size_t hash = 14695981039346656037ull;  // FNV-1a
    for (const wchar_t c : name) hash = (hash ^ static_cast<std::size_t>(FoldedCharacter(c))) * 1099511628211ull;
    return hash;
}

bool IniDocument::FoldedNameEqual::operator()(std::wstring_view a, std::wstring_view b) const noexcept
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldedCharacter(a[i]) != FoldedCharacter(b[i])) return false;
    }
    return true;
}

IniDocument::IniDocument(std::wstring text) : text_(std::move(text))
{
    if (text_.size() > std::numeric_limits<Position>::max()) throw std::length_error("INI text too long");
    sections_.emplace_back();  // the nameless section before the first header
    firstSectionByName_.emplace(std::wstring_view{}, 0);
    std::size_t begin = 0;
    while (begin < text_.size()) {
        std::size_t end = begin;
        while (end < text_.size() && text_[end] != L'\r' && text_[end] != L'\n') ++end;
        lines_.push_back({static_cast<Position>(begin), static_cast<Position>(end - begin)});
        ParseLine(lines_.size() - 1);
        begin = end;
        if (begin < text_.size() && text_[begin] == L'\r') ++begin;
        if (begin < text_.size() && text_[begin] == L'\n') ++begin;
    }
}

IniLine ParseIniLine(std::wstring_view line)
{
    const std::wstring_view trimmed = TrimIniBlanks(line);
    if (trimmed.empty()) return {};
    if (trimmed.front() == L';') return {IniLine::Kind::Comment, {}, {}};
    if (trimmed.front() == L'[') {
        // Without "]" the name is the rest of the line.
        return {IniLine::Kind::Header, TrimIniBlanks(trimmed.substr(1, trimmed.find(L']') - 1)), {}};
    }
    const std::size_t equals = trimmed.find(L'=');
    const std::wstring_view value = equals == std::wstring_view::npos ? std::wstring_view{} : trimmed.substr(equals + 1);
    return {IniLine::Kind::Key, TrimIniBlanks(trimmed.substr(0, equals)), TrimIniBlanks(value)};
}

void IniDocument::ParseLine(std::size_t lineIndex)
{
    const IniLine line = ParseIniLine(View(lines_[lineIndex]));
    switch (line.kind) {
    case IniLine::Kind::Blank:
    case IniLine::Kind::Comment:
        return;
    case IniLine::Kind::Header: {
        Section section;
        section.headerLine = lineIndex;
        section.lastLine = lineIndex;
        sections_.push_back(std::move(section));
        firstSectionByName_.try_emplace(line.name, sections_.size() - 1);
        return;
    }
    case IniLine::Kind::Key:
        sections_.back().lastLine = lineIndex;
        KeyEntry entry{static_cast<Position>(sections_.size() - 1), static_cast<Position>(lineIndex),
                       SpanOf(line.name), {}};
        if (!line.value.empty()) entry.value = SpanOf(line.value);
        AddKey(entry);
        return;
    }
}

std::size_t IniDocument::SlotOf(std::size_t section, std::wstring_view name) const
{
    const std::size_t mask = keySlots_.size() - 1;  // the size is a power of two
    std::size_t slot = (FoldedNameHash{}(name) ^ section * 0x9E3779B97F4A7C15ull) & mask;
    for (;; slot = (slot + 1) & mask) {
        const std::uint32_t held = keySlots_[slot];
        if (held == 0) return slot;
        const KeyEntry& entry = keys_[held - 1];
        if (entry.section == section && FoldedNameEqual{}(View(entry.name), name)) return slot;
    }
}

void IniDocument::AddKey(const KeyEntry& entry)
{
    // At most half full, so that a search meets a free slot soon.
    if (2 * (keys_.size() + 1) > keySlots_.size()) {
        keySlots_.assign(std::max<std::size_t>(16, 2 * keySlots_.size()), 0);
        for (std::size_t i = 0; i < keys_.size(); ++i)
            keySlots_[SlotOf(keys_[i].section, View(keys_[i].name))] = static_cast<std::uint32_t>(i + 1);
    }
    const std::size_t slot = SlotOf(entry.section, View(entry.name));
    if (keySlots_[slot] != 0) return;  // the first line of a name wins
    keys_.push_back(entry);
    keySlots_[slot] = static_cast<std::uint32_t>(keys_.size());
    ++sections_[entry.section].keyCount;
}

const IniDocument::KeyEntry* IniDocument::FindKey(std::size_t section, std::wstring_view key) const
{
    if (keySlots_.empty()) return nullptr;
    const std::uint32_t held = keySlots_[SlotOf(section, TrimIniBlanks(key))];
    return held == 0 ? nullptr : &keys_[held - 1];
}

std::optional<std::wstring_view> IniDocument::RawValue(std::wstring_view section, std::wstring_view key) const
{
    const auto sectionIndex = FindSection(section);
    if (!sectionIndex) return std::nullopt;
    const KeyEntry* entry = FindKey(*sectionIndex, key);
    if (entry == nullptr) return std::nullopt;
    return View(entry->value);
}

std::wstring_view IniDocument::Line(std::size_t index) const { return View(lines_.at(index)); }

std::optional<std::size_t> IniDocument::FindSection(std::wstring_view section) const
{
    const auto it = firstSectionByName_.find(TrimIniBlanks(section));
    if (it == firstSectionByName_.end()) return std::nullopt;
    return it->second;
}

std::optional<IniDocument::KeyLine> IniDocument::FindKeyLine(std::size_t section, std::wstring_view key) const
{
    const KeyEntry* entry = FindKey(section, key);
    if (entry == nullptr) return std::nullopt;
    return KeyLine{entry->line, View(entry->name)};
}

std::size_t IniDocument::LastLineOfSection(std::size_t section) const { return sections_.at(section).lastLine; }

std::size_t IniDocument::KeyCount(std::size_t section) const { return sections_.at(section).keyCount; }

std::wstring_view TrimAtNull(std::wstring_view text) { return text.substr(0, text.find(L'\0')); }

std::wstring_view GetIniStringView(const IniDocument& file, std::wstring_view section, std::wstring_view key)
{
    const auto raw = file.RawValue(section, key);
    if (!raw) return {};
    return DropEnclosingQuotes(TrimAtNull(*raw));
}

std::wstring GetIniString(const IniDocument& file, std::wstring_view section, std::wstring_view key)
{
    return std::wstring(GetIniStringView(file, section, key));
}

}  // namespace korvane
