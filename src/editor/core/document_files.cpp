// Opening and saving disk files.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "editor/core/file_replacement.h"
#include "editor/core/hex_editor_core.h"
#include "editor/core/hex_error.h"

namespace quillon {

namespace {

[[noreturn]] void RaiseOpenError(const std::string& fileName, int error) {
    throw EFOpenError(
        FormatMessage("Cannot open %s.\r\n(%s.)", fileName.c_str(), std::strerror(error)));
}

// Opens for reading without blocking on a FIFO or device; only a regular file passes.
int OpenRegularFile(const std::string& fileName, struct stat& info) {
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        RaiseOpenError(fileName, errno);
    }
    int error = 0;
    if (::fstat(fd, &info) != 0) {
        error = errno;
    } else if (S_ISDIR(info.st_mode)) {
        error = EISDIR;
    } else if (!S_ISREG(info.st_mode)) {
        error = ESPIPE;
    } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::close(fd);
        RaiseOpenError(fileName, error);
    }
    return fd;
}

bool OpensForWriting(const std::string& fileName) {
    const int fd = ::open(fileName.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

bool SamePath(const std::string& a, const std::string& b) {
    std::error_code errorA;
    std::error_code errorB;
    const auto canonicalA = std::filesystem::weakly_canonical(a, errorA);
    const auto canonicalB = std::filesystem::weakly_canonical(b, errorB);
    return !errorA && !errorB && canonicalA == canonicalB;
}

} // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& fileName) {
    struct stat info {};
    HexFileStream file(OpenRegularFile(fileName, info), fileName);
    CheckDocumentSize(info.st_size);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    file.ReadExact(bytes.data(), bytes.size());
    return bytes;
}

void HexEditorCore::OpenFile(const std::string& fileName) {
    struct stat info {};
    HexFileStream file(OpenRegularFile(fileName, info), fileName);
    const bool readOnly = !OpensForWriting(fileName);
    CheckDocumentSize(info.st_size);
    fileIsReadOnly_ = readOnly;
    progressName_ = fileName;
    try {
        LoadStream(file);
    } catch (...) {
        hasFile_ = false;
        progressName_.clear();
        throw;
    }
    progressName_.clear();
    fileName_ = fileName;
    hasFile_ = true;
}

void HexEditorCore::CheckOverwrite() {
    if (fileIsReadOnly_) {
        throw EFOpenError(FormatMessage("Cannot save readonly file %s.", fileName_.c_str()));
    }
}

void HexEditorCore::SaveFile(const std::string& fileName, bool unmodify) {
    // Taken before CheckOverwrite, which may move the old file away as a backup.
    FileReplacement file(fileName);
    if (fileName == fileName_ || (hasFile_ && SamePath(fileName, fileName_))) {
        CheckOverwrite();
    }
    file.Create();
    progressName_ = fileName;
    try {
        WriteFileStream(file.Stream());
        file.Commit();
    } catch (...) {
        progressName_.clear();
        throw;
    }
    hasFile_ = true;
    if (unmodify) {
        changedBits_.clear();
        isModified_ = false;
        fileIsReadOnly_ = false;
        fileName_ = fileName;
        data_.SetPosition(0);
        ClearUndo();
        Invalidate();
    }
    progressName_.clear();
}

bool HexEditorCore::HasUnsavedChanges() const {
    return isModified_ && (DataLength() >= 1 || ::access(fileName_.c_str(), F_OK) == 0);
}

} // namespace quillon
