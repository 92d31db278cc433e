#include "editor/core/file_replacement.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "editor/core/hex_error.h"

namespace quillon {

namespace {

// Where the bytes really go: a symbolic link is followed so that the link itself survives.
std::string ResolveTarget(const std::string& fileName) {
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(fileName, error);
    return error ? fileName : real.string();
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

FileReplacement::FileReplacement(const std::string& fileName)
    : fileName_(fileName), target_(ResolveTarget(fileName)) {
    exists_ = ::stat(target_.c_str(), &existing_) == 0;
    writable_ = !exists_ || ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) == 0;
}

void FileReplacement::Create() {
    if (!writable_) {
        Fail(EACCES);
    }
    const std::filesystem::path target(target_);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string hidden = target.filename().string();
    hidden.insert(0, 1, '.');
    hidden.append(".XXXXXX");
    const std::string pattern = (folder / hidden).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        Fail(errno);
    }
    temporary_ = name.data();
    stream_.emplace(fd, fileName_);
    if (exists_) {
        // Best effort: only a privileged user may keep another user's file as theirs.
        [[maybe_unused]] const int ownerKept = ::fchown(fd, existing_.st_uid, existing_.st_gid);
        ::fchmod(fd, existing_.st_mode & 07777);
    } else {
        ::fchmod(fd, NewFileMode());
    }
}

FileReplacement::~FileReplacement() {
    if (!temporary_.empty()) {
        stream_.reset();
        ::unlink(temporary_.c_str());
    }
}

void FileReplacement::Commit() {
    if (::fsync(stream_->Descriptor()) != 0) {
        Fail(errno);
    }
    stream_.reset();
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        Fail(errno);
    }
    temporary_.clear();
}

void FileReplacement::Fail(int error) const {
    throw EFOpenError(
        FormatMessage("Cannot create file %s.\r\n(%s.)", fileName_.c_str(), std::strerror(error)));
}

} // namespace quillon
