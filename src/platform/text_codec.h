#pragma once
#include <string>
#include <string_view>

namespace korvane {

// Converts between the program's text and the bytes of one ANSI code page (932 on a Japanese system).
// Characters the code page cannot hold are encoded as its default character. Neither call throws Failure; an
// input of more than INT_MAX bytes or characters, more than the system converts at once, throws
// std::length_error.
class TextCodec {
public:
    virtual ~TextCodec() = default;
    virtual std::wstring Decode(std::string_view bytes) const = 0;
    virtual std::string Encode(std::wstring_view text) const = 0;
};

}  // namespace korvane
