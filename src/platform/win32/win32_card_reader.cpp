#include "platform/win32/win32_card_reader.h"

#include <algorithm>

#include "platform/failure.h"
#include "platform/win32/win32_paths.h"

namespace korvane {
namespace {

DWORD FolderAttributes(const std::wstring& folder)
{
    try {
        const DWORD attributes = GetFileAttributesW(SystemPath(folder).c_str());
        return attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes;
    } catch (const Failure&) {
        return 0;  // the writers make the folder as a plain one
    }
}

}  // namespace

void CardReader::Run()
{
    if (pipeline_->job().check) checksum_.emplace();
    const std::vector<CopyEntry>& entries = pipeline_->job().entries;
    for (std::size_t entry = 0; entry < entries.size(); ++entry) {
        if (pipeline_->stopping()) return;
        if (entries[entry].isFolder) {
            ReadFolder(entry);
        } else {
            ReadCardFile(entry);
        }
    }
    pipeline_->Hand({.kind = Piece::Kind::End, .entry = entries.size()});
}

void CardReader::ReadFolder(std::size_t entry)
{
    CardFacts facts;
    facts.attributes = FolderAttributes(pipeline_->job().entries[entry].source);
    pipeline_->Hand({.kind = Piece::Kind::Folder, .entry = entry}, facts);
}

void CardReader::ReadCardFile(std::size_t entry)
{
    const UnbufferedFile file = OpenUnbuffered(pipeline_->job().entries[entry].source);
    CardFacts facts;
    facts.error = file.error;
    if (file.handle) {
        facts.attributes = file.attributes;
        facts.lastWrite = file.lastWrite;
        if (checksum_) checksum_->Reset();
        pipeline_->Hand({.kind = Piece::Kind::FileStart, .entry = entry});
        while (facts.bytesRead < file.size && !pipeline_->stopping()) {
            if (!ReadPart(file, entry, facts)) break;
        }
        if (checksum_) facts.checksum = checksum_->Value();
    }
    if (pipeline_->stopping()) return;
    pipeline_->Hand({.kind = Piece::Kind::FileEnd, .entry = entry}, facts);
}

std::optional<DWORD> CardReader::ReadPart(const UnbufferedFile& file, std::size_t entry, CardFacts& facts)
{
    if (filled_ == CopyPipeline::kBlockSize) {
        const std::optional<std::size_t> block = pipeline_->TakeBlock(block_);
        if (!block) return std::nullopt;
        block_ = *block;
        filled_ = 0;
    }
    // Whole sectors, as the unbuffered read needs: the file's last read asks for its tail rounded up and gets
    // the bytes there are.
    const auto ask = static_cast<DWORD>(
        std::min<std::uint64_t>(CopyPipeline::kBlockSize - filled_, RoundUpToSectors(file.size - facts.bytesRead)));
    std::byte* into = pipeline_->Block(block_) + filled_;
    DWORD got = 0;
    if (!ReadFile(file.handle.get(), into, ask, &got, nullptr)) {
        facts.error = GetLastError();
        return std::nullopt;
    }
    if (got == 0) {  // the file ended before its size
        facts.error = ERROR_HANDLE_EOF;
        return std::nullopt;
    }
    if (checksum_) checksum_->Add(into, got);
    pipeline_->Hand({.kind = Piece::Kind::Bytes, .entry = entry, .block = block_, .offset = filled_, .bytes = got});
    facts.bytesRead += got;
    filled_ += static_cast<std::size_t>(RoundUpToSectors(got));
    return got;
}

}  // namespace korvane
