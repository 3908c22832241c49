#pragma once
// The settings file's INI format, read the way the Windows profile API reads it, but parsed once from the whole
// decoded text so that a look-up costs no file read.
//
// Rules (those of Windows' own profile API; the platform tests compare them with GetPrivateProfileStringA under
// Wine, whose profile API differs from Windows on the header and comment rules below, on the shapes where the
// two agree):
// - Lines end at CR LF, CR or LF. Blanks (space, tab, the other ASCII white space, and Ctrl+Z) around a line,
//   around a name and around a value are dropped; a line left empty is ignored.
// - A line starting with "[" starts a section; the name runs to the FIRST "]" of the line, text after it is
//   ignored; without any "]" the name is the rest of the line. Lines before the first section belong to a
//   nameless section.
// - A line whose first non-blank character is ";" is a comment: it is never a key.
// - Any other line is a key: the name runs to the first "=", the value is the rest. A line without "=" is a key
//   whose value is empty.
// - Names match without regard to the case of ASCII letters (other letters, full-width ones included, match
//   exactly, as the profile API does). Only the first section of a name is searched, and in it the first key
//   of a name wins.
// - A value is cut at its first NUL character, then one pair of matching enclosing quotes (' or ") is dropped.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace korvane {

// One line of INI text as the reader sees it.
struct IniLine {
    enum class Kind { Blank, Comment, Header, Key };
    Kind kind = Kind::Blank;
    std::wstring_view name;   // a header's section name or a key's name, blanks dropped
    std::wstring_view value;  // a key's value as written, blanks dropped (quotes kept); empty without "="
};

// `line` (without its end) by the rules above; the views are parts of `line`.
IniLine ParseIniLine(std::wstring_view line);

class IniDocument {
public:
    // Throws std::length_error for a text of 2^32 characters or more.
    explicit IniDocument(std::wstring text);
    // The index holds views of the text, which a copy or a move could leave behind.
    IniDocument(const IniDocument&) = delete;
    IniDocument& operator=(const IniDocument&) = delete;

    // The value of `key` in `section` as written (blanks dropped, quotes kept), or nothing when absent.
    std::optional<std::wstring_view> RawValue(std::wstring_view section, std::wstring_view key) const;

    // The layout the in-place writer needs: the text's lines (without their ends), and per section where it is.
    std::size_t LineCount() const { return lines_.size(); }
    std::wstring_view Line(std::size_t index) const;
    std::optional<std::size_t> FindSection(std::wstring_view section) const;   // index for the two below
    struct KeyLine {
        std::size_t line = 0;
        std::wstring_view spelling;  // the key's name as the file spells it
    };
    std::optional<KeyLine> FindKeyLine(std::size_t section, std::wstring_view key) const;
    std::size_t LastLineOfSection(std::size_t section) const;  // its last key line, or its header
    std::size_t KeyCount(std::size_t section) const;           // its keys of different names

private:
    // Positions in the text, lines and sections in 32 bits (the constructor refuses longer texts): a file of
    // tens of thousands of keys is indexed in half the memory.
    using Position = std::uint32_t;
    struct Span {
        Position begin = 0;
        Position length = 0;
    };
    struct KeyEntry {
        Position section = 0;
        Position line = 0;
        Span name;
        Span value;
    };
    // Names as the text spells them (blanks dropped), compared as folded names: no folded copy is made.
    struct FoldedNameHash {
        std::size_t operator()(std::wstring_view name) const noexcept;
    };
    struct FoldedNameEqual {
        bool operator()(std::wstring_view a, std::wstring_view b) const noexcept;
    };

    struct Section {
        std::optional<std::size_t> headerLine;  // nothing for the nameless section before the first header
        std::size_t lastLine = 0;
        std::size_t keyCount = 0;
    };
    const KeyEntry* FindKey(std::size_t section, std::wstring_view key) const;
    // The slot of keySlots_ that holds the key, or the free slot where it would go.
    std::size_t SlotOf(std::size_t section, std::wstring_view name) const;
    void AddKey(const KeyEntry& entry);

    void ParseLine(std::size_t lineIndex);
    std::wstring_view View(Span span) const { return std::wstring_view(text_).substr(span.begin, span.length); }
    Span SpanOf(std::wstring_view part) const
    {
        return {static_cast<Position>(part.data() - text_.data()), static_cast<Position>(part.size())};
    }

    std::wstring text_;
    std::vector<Span> lines_;
    std::vector<Section> sections_;
    std::unordered_map<std::wstring_view, std::size_t, FoldedNameHash, FoldedNameEqual> firstSectionByName_;
    // The first line of each name in each section, found through one open-addressed table of positions in
    // keys_ (plus one; 0 is a free slot): a file of tens of thousands of keys costs no allocation per key.
    std::vector<KeyEntry> keys_;
    std::vector<std::uint32_t> keySlots_;
};

// The text up to, not including, its first NUL character; the whole text when it has none.
std::wstring_view TrimAtNull(std::wstring_view text);

// GetIniString's value as a view of the document's text.
std::wstring_view GetIniStringView(const IniDocument& file, std::wstring_view section, std::wstring_view key);

// The value of `key` in `section` of `file`: cut at NUL, one pair of enclosing quotes dropped. Empty text when
// the key is missing. Never fails.
std::wstring GetIniString(const IniDocument& file, std::wstring_view section, std::wstring_view key);

// The characters dropped around lines, names and values.
bool IsIniBlank(wchar_t c);

// Whether a value is enclosed in one pair of matching quotes (' or "), which a reading drops.
bool IsEnclosedInQuotes(std::wstring_view value);

// Whether `text` holds CR, LF or NUL: a line break would end its line early, and a reading cuts a value at NUL.
bool HoldsLineBreakOrNul(std::wstring_view text);

// `text` without the blanks around it.
std::wstring_view TrimIniBlanks(std::wstring_view text);

// An INI name folded for comparison (ASCII letters to lower case, blanks around it dropped).
std::wstring FoldIniName(std::wstring_view name);

}  // namespace korvane
