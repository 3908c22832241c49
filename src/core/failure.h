#pragma once
#include <exception>
#include <string>

namespace korvane {

// A failure raised by a file-system or shell operation, carrying the numeric code the program shows the user
// ("コピーに失敗しました（Err No.76)") and, where the platform gives one, its own reason text.
// The codes are the classic run-time error numbers; the platform layer maps its errors onto them in one table
// (see platform/win32/win32_errors.cpp).
class Failure : public std::exception {
public:
    Failure(int code, std::wstring reason = {}) : code_(code), reason_(std::move(reason)) {}
    int code() const noexcept { return code_; }
    const std::wstring& reason() const noexcept { return reason_; }
    const char* what() const noexcept override { return "korvane::Failure"; }

private:
    int code_;
    std::wstring reason_;
};

namespace failure_code {
inline constexpr int kBadFileName = 52;  // the file system rejected a path as malformed
}

}  // namespace korvane
