#include "platform/serial/termios_modem_port.h"

#include "platform/posix/owned_descriptor.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace quillon {

namespace {

struct SpeedEntry {
    speed_t code;
    std::uint32_t baud;
};

constexpr std::array kSpeeds{
    SpeedEntry{B0, 0},           SpeedEntry{B50, 50},         SpeedEntry{B75, 75},
    SpeedEntry{B110, 110},       SpeedEntry{B134, 134},       SpeedEntry{B150, 150},
    SpeedEntry{B200, 200},       SpeedEntry{B300, 300},       SpeedEntry{B600, 600},
    SpeedEntry{B1200, 1200},     SpeedEntry{B1800, 1800},     SpeedEntry{B2400, 2400},
    SpeedEntry{B4800, 4800},     SpeedEntry{B9600, 9600},     SpeedEntry{B19200, 19200},
    SpeedEntry{B38400, 38400},   SpeedEntry{B57600, 57600},   SpeedEntry{B115200, 115200},
    SpeedEntry{B230400, 230400}, SpeedEntry{B460800, 460800}, SpeedEntry{B921600, 921600},
};

// A speed code without an entry is still a live line: report it as a non-zero rate.
std::uint32_t BaudOf(speed_t code) {
    for (const SpeedEntry& entry : kSpeeds) {
        if (entry.code == code) {
            return entry.baud;
        }
    }
    return static_cast<std::uint32_t>(code);
}

// Raw mode: no newline translation or echo, so exactly the given bytes reach the phone. CLOCAL
// keeps writes from waiting for a carrier the phone may never raise.
bool MakeRaw(int fd) {
    termios mode{};
    if (tcgetattr(fd, &mode) != 0) {
        return false;
    }
    cfmakeraw(&mode);
    mode.c_cflag |= CLOCAL | CREAD;
    return tcsetattr(fd, TCSANOW, &mode) == 0;
}

class TermiosModemPort final : public ModemPort {
public:
    explicit TermiosModemPort(int fd) : fd_(fd) {}

    std::optional<std::uint32_t> GetBaudRate() override {
        termios mode{};
        if (!ReadMode(mode)) {
            return std::nullopt;
        }
        return BaudOf(cfgetospeed(&mode));
    }

    // The record lives here; reading the line state first makes a dead port fail as it would
    // when the time-outs were kept by the device.
    std::optional<CommTimeouts> GetTimeouts() override {
        termios mode{};
        if (!ReadMode(mode)) {
            return std::nullopt;
        }
        return timeouts_;
    }

    bool SetTimeouts(const CommTimeouts& timeouts) override {
        termios mode{};
        if (!ReadMode(mode)) {
            return false;
        }
        timeouts_ = timeouts;
        return true;
    }

    PortWriteResult Write(std::span<const std::uint8_t> data,
                          std::chrono::milliseconds bound) override {
        PortWriteResult result;
        if (!fd_.IsOpen()) {
            result.errorCode = EBADF;
            return result;
        }
        const auto deadline = std::chrono::steady_clock::now() + bound;
        while (result.bytesWritten < data.size()) {
            const int waitError = WaitWritable(deadline);
            if (waitError != 0) {
                result.errorCode = waitError;
                break;
            }
            const ssize_t written = ::write(fd_.get(), data.data() + result.bytesWritten,
                                            data.size() - result.bytesWritten);
            if (written > 0) {
                result.bytesWritten += static_cast<std::size_t>(written);
            } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
                result.errorCode = errno;
                break;
            } else if (std::chrono::steady_clock::now() >= deadline) {
                result.errorCode = ETIMEDOUT;
                break;
            }
        }
        return result;
    }

    int Close() override { return fd_.Close(); }

private:
    bool ReadMode(termios& mode) const { return fd_.IsOpen() && tcgetattr(fd_.get(), &mode) == 0; }

    // 0 when the port takes more bytes, ETIMEDOUT when the deadline passed, else an errno value.
    int WaitWritable(std::chrono::steady_clock::time_point deadline) const {
        for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd waiter{fd_.get(), POLLOUT, 0};
            const int ready =
                ::poll(&waiter, 1, static_cast<int>(std::max<long long>(0, left.count())));
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready < 0) {
                return errno;
            }
            if (ready == 0) {
                return ETIMEDOUT;
            }
            if ((waiter.revents & POLLOUT) != 0) {
                return 0;
            }
            return EIO; // hung up or in error
        }
    }

    OwnedDescriptor fd_;
    CommTimeouts timeouts_;
};

} // namespace

std::unique_ptr<ModemPort> TermiosModemPortDriver::Open(const std::string& devicePath, int& error) {
    errno = 0;
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = ErrnoOr(EIO);
        return nullptr;
    }
    if (!MakeRaw(fd)) {
        error = ErrnoOr(ENOTTY);
        ::close(fd);
        return nullptr;
    }
    error = 0;
    return std::make_unique<TermiosModemPort>(fd);
}

} // namespace quillon
