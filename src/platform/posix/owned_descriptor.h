#pragma once

#include <cerrno>
#include <unistd.h>
#include <utility>

namespace quillon {

// errno after a failed call, or `fallback` when the call left it 0.
inline int ErrnoOr(int fallback) {
    return errno != 0 ? errno : fallback;
}

// A file descriptor owned by one backend object: -1 once closed, so that nothing is ever done
// with a descriptor that is no longer ours (0 is standard input).
class OwnedDescriptor {
public:
    explicit OwnedDescriptor(int fd) : fd_(fd) {}
    OwnedDescriptor(const OwnedDescriptor&) = delete;
    OwnedDescriptor& operator=(const OwnedDescriptor&) = delete;
    ~OwnedDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    int get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }

    // 0 or an errno value; EBADF when already closed. The descriptor is given up even when
    // close reports an error, as Linux frees it then too, so it is never closed twice.
    int Close() {
        if (fd_ < 0) {
            return EBADF;
        }
        if (::close(std::exchange(fd_, -1)) == 0) {
            return 0;
        }
        return ErrnoOr(EIO);
    }

private:
    int fd_;
};

} // namespace quillon
