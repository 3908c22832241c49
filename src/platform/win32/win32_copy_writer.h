#pragma once
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/win32/win32_copy_checker.h"
#include "platform/win32/win32_copy_pipeline.h"

namespace korvane {

// A copy being written under a temporary name in its folder; removed unless it was given its name.
class TemporaryCopy {
public:
    // Creates the temporary file beside `path`; the system's error when it cannot.
    static std::variant<TemporaryCopy, DWORD> Create(const std::wstring& path, std::size_t entry);
    TemporaryCopy(TemporaryCopy&&) noexcept = default;
    TemporaryCopy& operator=(TemporaryCopy&&) noexcept = default;
    ~TemporaryCopy();

    // Writes all of `bytes`; the system's error, or 0.
    DWORD Write(const std::byte* bytes, DWORD count);
    // Gives the copy its name, replacing a file there, then the card's last-write time and attributes; the
    // system's error, or 0.
    DWORD Complete(const CardFacts& card);
    // The handle that wrote the file, once complete.
    UniqueFileHandle Release() { return std::move(handle_); }

private:
    TemporaryCopy(UniqueFileHandle handle, std::wstring temporary, std::wstring path);
    DWORD Rename();
    DWORD RenameThroughHandle();

    UniqueFileHandle handle_;
    std::wstring temporary_;  // in the system's form
    std::wstring path_;       // in the system's form
    bool named_ = false;
};

// Writes the pieces the reader hands over into one target, in order: makes its folders, writes each file under a
// temporary name and names it when whole; hands it to the target's checker when the job checks. A file it
// cannot write is that file's outcome; a full disk stops the copy.
class CopyWriter {
public:
    // `checker` is null when the job does not check.
    CopyWriter(std::shared_ptr<CopyPipeline> pipeline, std::size_t target, CopyChecker* checker);

    void Run();

private:
    void MakeFolder(std::size_t entry);
    void Start(std::size_t entry);
    void Write(const Piece& piece);
    void Finish(std::size_t entry);
    void Fail(std::size_t entry, DWORD error);
    // The folders made get their attributes at the end, so that a read-only one is written into first.
    void GiveFoldersTheirAttributes();

    std::shared_ptr<CopyPipeline> pipeline_;
    std::size_t target_;
    CopyChecker* checker_;
    std::optional<TemporaryCopy> file_;  // the file being written, while it can be
    std::vector<std::pair<std::wstring, DWORD>> folders_;
};

}  // namespace korvane
