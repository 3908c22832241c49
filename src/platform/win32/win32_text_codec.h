#pragma once
#include "platform/text_codec.h"

namespace korvane {

// TextCodec over one Windows code page (the program passes CP_ACP's number, GetACP(); tests pass 932).
class Win32TextCodec : public TextCodec {
public:
    explicit Win32TextCodec(unsigned codePage) : codePage_(codePage) {}
    std::wstring Decode(std::string_view bytes) const override;
    // Characters the code page lacks become its default character.
    std::string Encode(std::wstring_view text) const override;

private:
    unsigned codePage_;
};

}  // namespace korvane
