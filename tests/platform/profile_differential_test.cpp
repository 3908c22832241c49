// GetIniString against the profile API it replaces: for generated settings files, every look-up must answer
// what GetPrivateProfileStringA answers. The profile API is asked with a buffer large enough for any generated
// value, so that long values are compared whole too (the program reads them whole).
// The tests run under Wine, whose profile API differs from Windows' on three shapes: a section name holding "]"
// (Wine reads to the last "]", Windows to the first), a line starting with "[" without "]" (a key line to Wine, a
// header to Windows) and a line starting with ";" (a key to Wine, a comment to Windows). The generator makes no
// such header and never looks up a key starting with ";"; ini_document_test.cpp states Windows' rules for them.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>

#include "core/settings/ini_document.h"
#include "platform/win32/win32_text_codec.h"
#include "support/file_tree.h"

namespace korvane {
namespace {

const std::vector<std::wstring> kSections = {L"SourceList", L"DirList", L"Password", L"表ポソ", L"Sec ソ", L"x[y"};
const std::vector<std::wstring> kKeys = {L"Source1", L"Source2", L"Dir1", L"Dir2", L"Password", L"ポ表",
                                         L"key ソ", L"k;"};
const std::vector<std::wstring> kValuePieces = {L"ポ", L"表", L"ソ", L"写真", L"D:\\", L"|", L"abc", L" ", L"\t",
                                                L"=", L"'", L"\"", L"[x]", L";", L"\u3000", L"ｶﾒﾗ", L"0"};
const std::vector<std::wstring> kLineEnds = {L"\r\n", L"\r\n", L"\r\n", L"\n", L"\r"};
const std::vector<std::wstring> kBlanks = {L"", L"", L" ", L"  ", L"\t", L" \t "};

class IniGenerator {
public:
    explicit IniGenerator(unsigned seed) : random_(seed) {}

    std::wstring File()
    {
        std::wstring text;
        const int lines = Between(0, 40);
        for (int i = 0; i < lines; ++i) text += Line() + Pick(kLineEnds);
        return text;
    }

    // A name as a look-up would spell it: in any letter case, sometimes with blanks around it.
    std::wstring Spelling(const std::wstring& name)
    {
        return Between(0, 3) == 0 ? Pick(kBlanks) + MixCase(name) + Pick(kBlanks) : MixCase(name);
    }

private:
    std::wstring Line()
    {
        switch (Between(0, 10)) {
        case 0: return L"";
        case 1: return Pick(kBlanks) + L"; comment " + Value();
        case 2: return Pick(kBlanks) + L"[" + Pick(kBlanks) + MixCase(Pick(kSections)) + Pick(kBlanks) + L"]" +
                       (Between(0, 4) == 0 ? L" ; junk [x" : L"");
        case 3: return Pick(kBlanks) + MixCase(Pick(kKeys)) + Pick(kBlanks);  // no "="
        default:
            return Pick(kBlanks) + MixCase(Pick(kKeys)) + Pick(kBlanks) + L"=" + Pick(kBlanks) + Value() +
                   Pick(kBlanks);
        }
    }

    std::wstring Value()
    {
        std::wstring value;
        const int pieces = Between(0, 3) == 0 ? Between(60, 160) : Between(0, 6);  // some well over 254 bytes
        for (int i = 0; i < pieces; ++i) value += Pick(kValuePieces);
        switch (Between(0, 5)) {
        case 0: return L"\"" + value + L"\"";
        case 1: return L"'" + value + L"'";
        case 2: return L"\"" + value + L"'";
        default: return value;
        }
    }

    std::wstring MixCase(std::wstring name)
    {
        for (wchar_t& c : name) {
            if (c < 128 && std::isalpha(c) && Between(0, 1) == 0)
                c = static_cast<wchar_t>(std::isupper(c) ? std::tolower(c) : std::toupper(c));
        }
        return name;
    }

    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    const std::wstring& Pick(const std::vector<std::wstring>& pool)
    {
        return pool[static_cast<std::size_t>(Between(0, static_cast<int>(pool.size()) - 1))];
    }

    std::mt19937 random_;
};

std::string ProfileString(const std::string& file, const std::string& section, const std::string& key)
{
    std::string buffer(8192, '\0');
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), nullptr, buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), file.c_str());
    buffer.resize(length);
    return buffer;
}

TEST(GetIniStringDifferential, AnswersWhatGetPrivateProfileStringAAnswers)
{
    ASSERT_EQ(GetACP(), 932u) << "the generated files hold code page 932 text";
    const Win32TextCodec codec(932);
    testing::filetree::TempFolder temp;
    constexpr unsigned kFiles = 300;
    int compared = 0;
    int found = 0;
    for (unsigned seed = 1; seed <= kFiles; ++seed) {
        IniGenerator generator(seed);
        const std::wstring text = generator.File();
        const std::string bytes = codec.Encode(text);
        // A new name for every file: the profile API caches files it has read.
        const std::wstring file = temp / (L"gen" + std::to_wstring(seed) + L".ini");
        testing::filetree::WriteBytes(file, bytes);
        const IniDocument document(codec.Decode(bytes));
        for (const std::wstring& section : kSections) {
            for (const std::wstring& key : kKeys) {
                const std::wstring sectionSpelling = generator.Spelling(section);
                const std::wstring keySpelling = generator.Spelling(key);
                const std::string expected =
                    ProfileString(codec.Encode(file), codec.Encode(sectionSpelling), codec.Encode(keySpelling));
                const std::wstring actual = GetIniString(document, sectionSpelling, keySpelling);
                ++compared;
                if (!expected.empty()) ++found;
                ASSERT_EQ(codec.Encode(actual), expected)
                    << "seed " << seed << ", [" << ::testing::PrintToString(sectionSpelling) << "] "
                    << ::testing::PrintToString(keySpelling) << "\n"
                    << ::testing::PrintToString(text);
            }
        }
    }
    // The generated files must exercise the look-ups, not only agree on missing keys.
    EXPECT_GT(found, compared / 20) << found << " of " << compared << " look-ups found a value";
}

}  // namespace
}  // namespace korvane
