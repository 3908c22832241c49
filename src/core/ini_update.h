#pragma once
#include <string>
#include <vector>

namespace korvane {

struct IniAssignment {
    std::wstring section;
    std::wstring key;
    std::wstring value;
};

// `existing` (decoded INI text) with each assignment applied as the profile API's writer applies it: the first
// key of that name in the first section of that name gets the new value in its own line; a key not there is
// added after the last line of its section; a section not there is appended at the end with its keys, in the
// order of the assignments. Every other line is kept as it is. Lines end with CR LF.
// Over an empty text this composes a fresh file.
std::wstring UpdateIniText(std::wstring existing, const std::vector<IniAssignment>& assignments);

}  // namespace korvane
