#include "platform/win32/win32_text_codec.h"

#include <windows.h>

#include <limits>
#include <stdexcept>

namespace korvane {
namespace {

// The conversion functions take int lengths; a settings file never comes near that limit.
int CheckedLength(std::size_t length)
{
    if (length > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw std::length_error("text too long to convert");
    return static_cast<int>(length);
}

}  // namespace

std::wstring Win32TextCodec::Decode(std::string_view bytes) const
{
    if (bytes.empty()) return {};
    const int byteCount = CheckedLength(bytes.size());
    // One pass: no code page gives more than one UTF-16 unit per byte, so the bytes' count is room enough.
    std::wstring text(bytes.size(), L'\0');
    const int length = MultiByteToWideChar(codePage_, 0, bytes.data(), byteCount, text.data(), byteCount);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::string Win32TextCodec::Encode(std::wstring_view text) const
{
    if (text.empty()) return {};
    const int charCount = CheckedLength(text.size());
    // No best fit ("é" would become "e"): a character the code page lacks becomes its default character.
    const int length =
        WideCharToMultiByte(codePage_, WC_NO_BEST_FIT_CHARS, text.data(), charCount, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage_, WC_NO_BEST_FIT_CHARS, text.data(), charCount, bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

}  // namespace korvane
