#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct IniAssignment {
    std::wstring section;
    std::wstring key;
    std::wstring value;  // written as given: the caller quotes what needs quoting
};

// `existing` (decoded INI text) with each assignment applied as the profile API's writer applies it: the first
// key of that name in the first section of that name gets the new value in its own line, under the file's own
// spelling of the key; a key not there is added after the last key line of its section (or its header); a
// section not there is appended at the end with its keys, in the order of the assignments. Every other line,
// comments included, is kept as it is. Lines end with CR LF. Over an empty text this composes a fresh file.
//
// Throws std::invalid_argument, writing nothing, for an assignment that would read back differently: a section
// name that is blank, holds "]" or has blanks around it; a key name that is blank, holds "=", starts with "[" or
// ";" or has blanks around it; CR, LF or NUL in a name or a value. The program's own names are constants, so
// such a call is a programming error, not something a user can cause; an exception keeps it from going unseen.
//
// With `owns`, which names the keys the caller owns by section and key name (as the file spells them), every
// line of an owned key that no assignment writes is dropped: a key the caller no longer writes, a second line
// of a written key, the keys of a repeated section. A section that this leaves without lines (blank ones
// aside), and to which nothing is added, loses its header too.
using IniKeyOwner = std::function<bool(std::wstring_view section, std::wstring_view key)>;
std::wstring UpdateIniText(std::wstring existing, const std::vector<IniAssignment>& assignments,
                           const IniKeyOwner& owns = {});

}  // namespace korvane
