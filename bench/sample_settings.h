#pragma once
// The data.ini the benchmarks load: two registered source slots, `destinations` destinations (numbered folders
// under `base`; the copy window lists the first one's sub-folders as it starts) and a password.
#include <cstddef>
#include <string>

namespace korvane::bench {

inline std::wstring SampleSettingsText(std::size_t destinations, const std::wstring& base = L"D:\\写真\\ソフト")
{
    std::wstring text = L"[SourceList]\r\nSource1=カメラ|E:\\DCIM\r\nSource2=\r\nSource3=表ポソ|F:\\表\\ポ\r\n";
    text += L"[DirList]\r\n";
    for (std::size_t n = 1; n <= destinations; ++n) {
        const std::wstring number = std::to_wstring(n);
        text += L"Dir" + number + L"=保存先" + number + L"|" + base + L"\\" + number + L"\\\r\n";
    }
    return text + L"[Password]\r\nPassword=pw\r\n";
}

// The same without a password, so that the settings button opens the settings window at once.
inline std::wstring SampleSettingsTextWithoutPassword(std::size_t destinations, const std::wstring& base)
{
    std::wstring text = SampleSettingsText(destinations, base);
    return text.substr(0, text.rfind(L"[Password]"));
}

}  // namespace korvane::bench
