#pragma once
#include <string>
#include <string_view>

#include "platform/text_codec.h"

namespace korvane {

// The text of a file read whole. A file that starts with the byte-order mark of UTF-8, UTF-16 LE or UTF-16 BE
// (as text editors save) is decoded from that encoding, without the mark, and each invalid sequence becomes
// U+FFFD; any other file is text in the ANSI code page of `ansi`.
std::wstring DecodeFileText(std::string_view bytes, const TextCodec& ansi);

// The bytes of `text` as a file stores it: in the ANSI code page of `ansi` while every character reads back
// unchanged from it, so that programs that know only that code page read the file as before; otherwise UTF-16 LE
// with its byte-order mark, the Unicode form that the system's profile API reads and writes, so that a name
// the code page lacks ("Café", Hangul, "𠮷") is never stored as "?" or as a look-alike.
std::string EncodeFileText(std::wstring_view text, const TextCodec& ansi);

}  // namespace korvane
