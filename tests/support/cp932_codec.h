#pragma once
// The code page 932 codec the core tests use, so that they do not depend on the machine's locale: on Windows the
// program's own Win32TextCodec, natively glibc's iconv (whose CP932 table is the Windows one). Characters that
// code page 932 lacks become "?", its default character, as on Windows.
#ifdef _WIN32
#include "platform/win32/win32_text_codec.h"

namespace korvane::testing {
inline Win32TextCodec MakeCp932Codec() { return Win32TextCodec(932); }
}  // namespace korvane::testing

#else
#include <iconv.h>

#include <cerrno>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/text_codec.h"

namespace korvane::testing {

class IconvCp932Codec : public TextCodec {
public:
    std::wstring Decode(std::string_view bytes) const override
    {
        return Convert<std::wstring>("WCHAR_T", "CP932", bytes.data(), bytes.size(), 1);
    }
    std::string Encode(std::wstring_view text) const override
    {
        return Convert<std::string>("CP932", "WCHAR_T", reinterpret_cast<const char*>(text.data()),
                                    text.size() * sizeof(wchar_t), sizeof(wchar_t));
    }

private:
    class Conversion {
    public:
        Conversion(const char* to, const char* from) : handle_(iconv_open(to, from))
        {
            if (handle_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
        }
        ~Conversion() { iconv_close(handle_); }
        Conversion(const Conversion&) = delete;
        Conversion& operator=(const Conversion&) = delete;
        iconv_t get() const { return handle_; }

    private:
        iconv_t handle_;
    };

    // An input unit (a byte, or one wchar_t) that iconv cannot convert becomes "?" in the output.
    template <typename Output>
    static Output Convert(const char* to, const char* from, const char* input, std::size_t inputBytes,
                          std::size_t unitBytes)
    {
        const Conversion conversion(to, from);
        Output output;
        char* in = const_cast<char*>(input);
        std::size_t inLeft = inputBytes;
        while (inLeft > 0) {
            typename Output::value_type buffer[256];
            char* out = reinterpret_cast<char*>(buffer);
            std::size_t outLeft = sizeof(buffer);
            const std::size_t result = iconv(conversion.get(), &in, &inLeft, &out, &outLeft);
            output.append(buffer, (sizeof(buffer) - outLeft) / sizeof(buffer[0]));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
                output.push_back('?');
                const std::size_t skip = inLeft < unitBytes ? inLeft : unitBytes;
                in += skip;
                inLeft -= skip;
            }
        }
        return output;
    }
};

inline IconvCp932Codec MakeCp932Codec() { return {}; }

}  // namespace korvane::testing
#endif
