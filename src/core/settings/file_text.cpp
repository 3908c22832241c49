#include "core/settings/file_text.h"

namespace korvane {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Appends one code point: as a surrogate pair where wchar_t is 16 bits wide (Windows), else as it is.
void AppendCodePoint(std::wstring& text, char32_t c)
{
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0x10000) {
            c -= 0x10000;
            text.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
            text.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
            return;
        }
    }
    text.push_back(static_cast<wchar_t>(c));
}

// UTF-8 as the Unicode standard decodes it: each maximal invalid subpart of a sequence becomes one U+FFFD
// (overlong forms, surrogates and values above U+10FFFF are invalid).
std::wstring DecodeUtf8(std::string_view bytes)
{
    std::wstring text;
    text.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i++]);
        if (lead < 0x80) {
            text.push_back(static_cast<wchar_t>(lead));
            continue;
        }
        int continuations = 0;
        char32_t c = 0;
        unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            continuations = 1;
            c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            continuations = 2;
            c = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;   // no overlong form
            if (lead == 0xED) high = 0x9F;  // no surrogate
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            continuations = 3;
            c = lead & 0x07;
            if (lead == 0xF0) low = 0x90;   // no overlong form
            if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
        } else {
            AppendCodePoint(text, kReplacement);
            continue;
        }
        for (; continuations > 0 && i < bytes.size(); --continuations) {
            const auto next = static_cast<unsigned char>(bytes[i]);
            if (next < low || next > high) break;
            c = (c << 6) | (next & 0x3F);
            ++i;
            low = 0x80, high = 0xBF;
        }
        AppendCodePoint(text, continuations == 0 ? c : kReplacement);
    }
    return text;
}

// UTF-16 in the given byte order; an unpaired surrogate or a last odd byte becomes U+FFFD.
std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian)
{
    const auto unitAt = [&](std::size_t index) {
        const auto first = static_cast<unsigned char>(bytes[2 * index]);
        const auto second = static_cast<unsigned char>(bytes[2 * index + 1]);
        return static_cast<char32_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    };
    const std::size_t units = bytes.size() / 2;
    std::wstring text;
    text.reserve(units + 1);
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t unit = unitAt(i);
        if (!IsSurrogate(unit)) {
            AppendCodePoint(text, unit);
        } else if (unit <= 0xDBFF && i + 1 < units && unitAt(i + 1) >= 0xDC00 && unitAt(i + 1) <= 0xDFFF) {
            AppendCodePoint(text, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00));
            ++i;
        } else {
            AppendCodePoint(text, kReplacement);
        }
    }
    if (bytes.size() % 2 != 0) AppendCodePoint(text, kReplacement);
    return text;
}

// UTF-16 LE with its byte-order mark; a code point above U+FFFF, where wchar_t holds one, becomes a pair.
std::string EncodeUtf16Le(std::wstring_view text)
{
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 * text.size() + 2);
    const auto appendUnit = [&](char32_t unit) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    };
    for (const wchar_t c : text) {
        const auto codePoint = static_cast<char32_t>(c);
        if (codePoint >= 0x10000) {
            appendUnit(0xD800 + ((codePoint - 0x10000) >> 10));
            appendUnit(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            appendUnit(codePoint);
        }
    }
    return bytes;
}

}  // namespace

std::string EncodeFileText(std::wstring_view text, const TextCodec& ansi)
{
    std::string bytes = ansi.Encode(text);
    // Reading the bytes back is the one test that catches every loss: characters the code page lacks, those it
    // maps to a look-alike ("¥" to "\\"), and halves of surrogate pairs.
    if (ansi.Decode(bytes) == text) return bytes;
    return EncodeUtf16Le(text);
}

std::wstring DecodeFileText(std::string_view bytes, const TextCodec& ansi)
{
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
    constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
    if (bytes.starts_with(kUtf8Mark)) return DecodeUtf8(bytes.substr(kUtf8Mark.size()));
    if (bytes.starts_with(kUtf16LeMark)) return DecodeUtf16(bytes.substr(kUtf16LeMark.size()), false);
    if (bytes.starts_with(kUtf16BeMark)) return DecodeUtf16(bytes.substr(kUtf16BeMark.size()), true);
    return ansi.Decode(bytes);
}

}  // namespace korvane
