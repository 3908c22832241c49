#pragma once
#include <string>
#include <string_view>

#include "platform/text_codec.h"

namespace korvane {

// The text of a file read whole. A file that starts with the byte-order mark of UTF-8, UTF-16 LE or UTF-16 BE
// (as text editors save) is decoded from that encoding, without the mark, and each invalid sequence becomes
// U+FFFD; any other file is text in the ANSI code page of `ansi`.
std::wstring DecodeFileText(std::string_view bytes, const TextCodec& ansi);

}  // namespace korvane
