#pragma once
#include <exception>
#include <string>

namespace korvane {

// What a file-system or shell call of the platform throws when it fails: the numeric code the program shows
// the user ("コピーに失敗しました（Err No.76)") and, where the system gives one, its own reason text.
// The codes are the classic run-time error numbers; each platform maps its errors onto them in one table.
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

// The codes the program tells apart; every other code is only shown.
namespace failure_code {
inline constexpr int kBadFileName = 52;   // the file system rejected a path as malformed
inline constexpr int kPathNotFound = 76;  // no folder at the path, or a folder on its way is missing
inline constexpr int kFileTooLarge = 7;   // "out of memory": a file larger than the program reads
}  // namespace failure_code

}  // namespace korvane
