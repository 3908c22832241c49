#pragma once
// Random settings-window contents made of the characters that matter to the settings file: Japanese text whose
// code page 932 form holds the bytes of "\" and "|" (ソ 表 ポ), blanks, quotes, "=", "[", "]", ";", and texts
// past 254 bytes. Every character is in code page 932, so every text the writer accepts must read back as is;
// a generator made with `foreign` also puts in characters that code page 932 lacks or maps to a look-alike.
#include <iterator>
#include <random>
#include <string>

#include "core/settings/settings_writer.h"

namespace korvane::testing {

class SettingsContentGenerator {
public:
    explicit SettingsContentGenerator(unsigned seed, bool foreign = false) : random_(seed), foreign_(foreign) {}

    SettingsStore Content()
    {
        SettingsStore content;
        for (SourceSlot& slot : content.sources) {
            slot.registered = Between(0, 3) != 0;
            // An unchecked slot is not written, so even what a checked one cannot hold is fine there.
            slot.name = slot.registered ? Text() : Text(false) + L"|\r\n";
            slot.path = slot.registered ? Text() : Text(false);
        }
        const int destinations = Between(0, 6);
        for (int i = 0; i < destinations; ++i) content.destinations.push_back({Text(), Text()});
        content.password = Text() + (Between(0, 3) == 0 ? L"|" + Text() : L"");
        return content;
    }

    // Whether a text that the writer writes holds a character from outside code page 932.
    bool wroteForeign() const { return wroteForeign_; }

private:
    std::wstring Text(bool written = true)
    {
        // Latin-1 accents, Hangul, a pair of surrogates, and what code page 932 maps best-fit: "¥" to "\",
        // the minus sign, the wave dash and the double vertical line to their full-width look-alikes.
        static const std::wstring kForeign[] = {L"é", L"Café", L"Ü", L"한국", L"\U00020BB7", L"¥", L"\u2212",
                                                L"\u301C", L"\u2016", L"\u00AC"};
        static const std::wstring kPieces[] = {L"ソ", L"表", L"ポ", L"写真", L"D:\\", L"\\", L" ", L"  ", L"\t",
                                               L"\"", L"'", L"=", L"[", L"]", L";", L"a", L"Z", L"\u3000", L"ｶﾒﾗ",
                                               L"\x1A", L"\v"};
        std::wstring text;
        const int pieces = Between(0, 2) == 0 ? Between(40, 120) : Between(0, 5);
        for (int i = 0; i < pieces; ++i) {
            if (foreign_ && Between(0, 15) == 0) {
                text += kForeign[Between(0, static_cast<int>(std::size(kForeign)) - 1)];
                wroteForeign_ = wroteForeign_ || written;
            } else {
                text += kPieces[Between(0, static_cast<int>(std::size(kPieces)) - 1)];
            }
        }
        return text;
    }
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::mt19937 random_;
    bool foreign_;
    bool wroteForeign_ = false;
};

}  // namespace korvane::testing
