#include "platform/win32/win32_copy_writer.h"

#include <cstddef>
#include <cstring>

#include "platform/failure.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_paths.h"

namespace korvane {
namespace {

// The attributes a copy keeps, as the shell's copy keeps them.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

DWORD Kept(DWORD attributes)
{
    attributes &= kKeptAttributes;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.rfind(L'\\')); }

bool IsFolder(const std::wstring& systemPath)
{
    const DWORD attributes = GetFileAttributesW(systemPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Makes the folder, or finds one there; the system's error, or 0.
DWORD MakeFolderAt(const std::wstring& systemPath)
{
    if (CreateDirectoryW(systemPath.c_str(), nullptr)) return 0;
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS && IsFolder(systemPath) ? 0 : error;
}

}  // namespace

std::variant<TemporaryCopy, DWORD> TemporaryCopy::Create(const std::wstring& path, std::size_t entry)
{
    std::wstring system;
    std::wstring temporary;
    try {
        system = SystemPath(path);
        // Short, so that it fits wherever the real name does; the process and the entry keep it apart from
        // another copy's.
        temporary = SystemPath(FolderOf(path) + L"\\~korvane-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                               std::to_wstring(entry) + L".tmp");
    } catch (const Failure&) {
        return DWORD{ERROR_BAD_PATHNAME};
    }
    // Renamed through this handle, which then gives it its attributes and, for the check, flushes it.
    UniqueFileHandle handle(CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!handle) return GetLastError();
    return TemporaryCopy(std::move(handle), std::move(temporary), std::move(system));
}

TemporaryCopy::TemporaryCopy(UniqueFileHandle handle, std::wstring temporary, std::wstring path)
    : handle_(std::move(handle)), temporary_(std::move(temporary)), path_(std::move(path))
{
}

TemporaryCopy::~TemporaryCopy()
{
    if (!handle_ || named_) return;
    handle_.reset();
    DeleteFileW(temporary_.c_str());
}

DWORD TemporaryCopy::Write(const std::byte* bytes, DWORD count)
{
    while (count > 0) {
        DWORD written = 0;
        if (!WriteFile(handle_.get(), bytes, count, &written, nullptr)) return GetLastError();
        bytes += written;
        count -= written;
    }
    return 0;
}

DWORD TemporaryCopy::Rename()
{
    const DWORD error = RenameThroughHandle();
    if (error != ERROR_ACCESS_DENIED) return error;
    // A read-only file in the way is replaced too, as the user chose to replace the files there.
    const DWORD there = GetFileAttributesW(path_.c_str());
    if (there == INVALID_FILE_ATTRIBUTES || !(there & FILE_ATTRIBUTE_READONLY) || (there & FILE_ATTRIBUTE_DIRECTORY))
        return error;
    if (!SetFileAttributesW(path_.c_str(), there & ~FILE_ATTRIBUTE_READONLY)) return GetLastError();
    return RenameThroughHandle();
}

DWORD TemporaryCopy::RenameThroughHandle()
{
    // Not MoveFileExW, which opens the file again to rename it: three of the ten requests a copied file cost
    // Wine's server, and about a tenth of the time of a copy of small files. The full path: a name alone is taken
    // from the current folder by Wine.
    const DWORD pathBytes = static_cast<DWORD>(path_.size() * sizeof(wchar_t));
    std::vector<std::byte> buffer(offsetof(FILE_RENAME_INFO, FileName) + pathBytes + sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = pathBytes;
    std::memcpy(rename->FileName, path_.c_str(), pathBytes + sizeof(wchar_t));
    if (!SetFileInformationByHandle(handle_.get(), FileRenameInfo, rename, static_cast<DWORD>(buffer.size())))
        return GetLastError();
    return 0;
}

DWORD TemporaryCopy::Complete(const CardFacts& card)
{
    if (const DWORD error = Rename()) return error;
    named_ = true;
    // After the rename, so that a read-only copy is renamed as any other; through the handle that wrote it, so
    // that its closing does not change the time again.
    FILE_BASIC_INFO basic{};
    basic.LastWriteTime.LowPart = card.lastWrite.dwLowDateTime;
    basic.LastWriteTime.HighPart = static_cast<LONG>(card.lastWrite.dwHighDateTime);
    basic.FileAttributes = Kept(card.attributes);
    if (!SetFileInformationByHandle(handle_.get(), FileBasicInfo, &basic, sizeof basic)) return GetLastError();
    return 0;
}

CopyWriter::CopyWriter(std::shared_ptr<CopyPipeline> pipeline, std::size_t target, CopyChecker* checker)
    : pipeline_(std::move(pipeline)), target_(target), checker_(checker)
{
}

void CopyWriter::Run()
{
    try {
        MakeFolderAt(SystemPath(pipeline_->job().targets[target_]));  // a failure shows in each entry's outcome
    } catch (const Failure&) {
    }
    for (std::optional<Piece> piece = pipeline_->Next(target_); piece; piece = pipeline_->Next(target_)) {
        switch (piece->kind) {
        case Piece::Kind::Folder: MakeFolder(piece->entry); break;
        case Piece::Kind::FileStart: Start(piece->entry); break;
        case Piece::Kind::Bytes: Write(*piece); break;
        case Piece::Kind::FileEnd: Finish(piece->entry); break;
        case Piece::Kind::End:
            if (checker_) checker_->Close();
            pipeline_->Written(target_, *piece);
            GiveFoldersTheirAttributes();
            return;
        }
        pipeline_->Written(target_, *piece);
    }
    file_.reset();
    GiveFoldersTheirAttributes();
}

void CopyWriter::MakeFolder(std::size_t entry)
{
    std::wstring path;
    try {
        path = SystemPath(pipeline_->CopyPath(target_, entry));
    } catch (const Failure&) {
        return Fail(entry, ERROR_BAD_PATHNAME);
    }
    if (const DWORD error = MakeFolderAt(path)) return Fail(entry, error);
    folders_.emplace_back(std::move(path), Kept(pipeline_->Facts(entry).attributes));
    pipeline_->Outcome(target_, entry, {});
}

void CopyWriter::Start(std::size_t entry)
{
    std::variant<TemporaryCopy, DWORD> created = TemporaryCopy::Create(pipeline_->CopyPath(target_, entry), entry);
    if (const DWORD* error = std::get_if<DWORD>(&created)) return Fail(entry, *error);
    file_.emplace(std::move(std::get<TemporaryCopy>(created)));
}

void CopyWriter::Write(const Piece& piece)
{
    if (!file_) return;  // the file could not be written: its outcome says so
    if (const DWORD error = file_->Write(pipeline_->Block(piece.block) + piece.offset, piece.bytes)) {
        file_.reset();
        Fail(piece.entry, error);
    }
}

void CopyWriter::Finish(std::size_t entry)
{
    if (!file_) return;
    const CardFacts card = pipeline_->Facts(entry);
    if (card.error) {  // the card did not give the file: its part written goes
        file_.reset();
        return;
    }
    if (const DWORD error = file_->Complete(card)) {
        file_.reset();
        return Fail(entry, error);
    }
    if (checker_) {
        checker_->Take(entry, file_->Release());
    } else {
        pipeline_->Outcome(target_, entry, {});
    }
    file_.reset();
}

void CopyWriter::Fail(std::size_t entry, DWORD error)
{
    pipeline_->StopWhenDiskFull(target_, error);
    pipeline_->Outcome(target_, entry, {ComparisonResult::Unreadable, SystemReason(error)});
}

void CopyWriter::GiveFoldersTheirAttributes()
{
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder)
        SetFileAttributesW(folder->first.c_str(), folder->second);
}

}  // namespace korvane
