#include "core/settings/file_text.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/cp932_codec.h"

namespace korvane {
namespace {

// The text as code points, so that the cases read the same where wchar_t holds UTF-16 (Windows) and UTF-32.
std::u32string CodePoints(const std::wstring& text)
{
    std::u32string points;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
        }
        points.push_back(c);
    }
    return points;
}

// `ascii` as UTF-16 LE units.
std::string Utf16Le(const std::string& ascii)
{
    std::string bytes;
    for (const char c : ascii) bytes += {c, '\0'};
    return bytes;
}

TEST(DecodeFileText, DecodesByTheByteOrderMarkAndReplacesInvalidSequences)
{
    const struct {
        const char* what;
        std::string bytes;
        std::u32string expected;
    } cases[] = {
        {"UTF-8", "\xEF\xBB\xBF" "a\xE8\xA1\xA8\xF0\x9F\x93\xB7", U"a表\U0001F4F7"},
        {"UTF-8, the mark only once", "\xEF\xBB\xBF\xEF\xBB\xBF", U"\uFEFF"},
        {"UTF-8, a lone continuation byte", "\xEF\xBB\xBF" "a\x80z", U"a\uFFFDz"},
        {"UTF-8, bytes that never start a sequence", "\xEF\xBB\xBF\xC0\xC1\xF5\xFF", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"UTF-8, a sequence cut short", "\xEF\xBB\xBF\xE8\xA1z\xE8", U"\uFFFDz\uFFFD"},
        {"UTF-8, an overlong form", "\xEF\xBB\xBF\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},
        {"UTF-8, an overlong \"/\" of two bytes", "\xEF\xBB\xBF\xC0\xAF", U"\uFFFD\uFFFD"},
        {"UTF-8, a surrogate", "\xEF\xBB\xBF\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
        {"UTF-8, above U+10FFFF", "\xEF\xBB\xBF\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"UTF-8, the highest code point", "\xEF\xBB\xBF\xF4\x8F\xBF\xBF", U"\U0010FFFF"},
        {"UTF-16 LE", std::string("\xFF\xFE" "a\0\x68\x88\x3D\xD8\xF7\xDC", 10), U"a表\U0001F4F7"},
        {"UTF-16 BE", std::string("\xFE\xFF\0a\x88\x68\xD8\x3D\xDC\xF7", 10), U"a表\U0001F4F7"},
        {"UTF-16, an unpaired high surrogate", std::string("\xFF\xFE\x3D\xD8" "a\0", 6), U"\uFFFDa"},
        {"UTF-16, an unpaired low surrogate", std::string("\xFF\xFE\xF7\xDC", 4), U"\uFFFD"},
        {"UTF-16, an unpaired high surrogate last", "\xFF\xFE" + Utf16Le(std::string(40, 'a')) + "\x3D\xD8",
         std::u32string(40, U'a') + U"\uFFFD"},
        {"UTF-16, a last odd byte", std::string("\xFF\xFE" "a\0b", 5), U"a\uFFFD"},
        {"no mark: code page 932", "\x95\x5C\x83\x7C|", U"表ポ|"},
        {"empty", "", U""},
    };
    const auto codec = testing::MakeCp932Codec();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // In a buffer of exactly their size, where the sanitizer sees any read past the last byte.
        const std::vector<char> exact(c.bytes.begin(), c.bytes.end());
        EXPECT_EQ(CodePoints(DecodeFileText(std::string_view(exact.data(), exact.size()), codec)), c.expected);
    }
}

}  // namespace
}  // namespace korvane
