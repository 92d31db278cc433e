#include "editor/core/hex_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "editor/core/hex_error.h"

namespace quillon {

namespace {

// Linux transfers at most this much per read() or write() call.
constexpr std::size_t kMaxTransfer = 0x7ffff000;

[[noreturn]] void RaiseFileError(const char* format, const std::string& name) {
    throw EFOpenError(FormatMessage(format, name.c_str(), std::strerror(errno)));
}

} // namespace

void HexStream::ReadExact(void* buffer, std::size_t count) {
    if (Read(buffer, count) != count) {
        throw EHexEditor("Stream read error");
    }
}

HexFileStream::HexFileStream(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}

HexFileStream::~HexFileStream() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::int64_t HexFileStream::Size() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        RaiseFileError("Cannot read file %s.\r\n(%s.)", name_);
    }
    return info.st_size;
}

std::int64_t HexFileStream::Position() const {
    const off_t position = ::lseek(fd_, 0, SEEK_CUR);
    if (position < 0) {
        RaiseFileError("Cannot read file %s.\r\n(%s.)", name_);
    }
    return position;
}

void HexFileStream::SetPosition(std::int64_t position) {
    if (::lseek(fd_, position, SEEK_SET) < 0) {
        RaiseFileError("Cannot read file %s.\r\n(%s.)", name_);
    }
}

std::size_t HexFileStream::Read(void* buffer, std::size_t count) {
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(fd_, bytes + done, std::min(count - done, kMaxTransfer));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            RaiseFileError("Cannot read file %s.\r\n(%s.)", name_);
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void HexFileStream::Write(const void* buffer, std::size_t count) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t put = ::write(fd_, bytes + done, std::min(count - done, kMaxTransfer));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put == 0) {
            errno = EIO;
        }
        if (put <= 0) {
            RaiseFileError("Cannot write file %s.\r\n(%s.)", name_);
        }
        done += static_cast<std::size_t>(put);
    }
}

} // namespace quillon
