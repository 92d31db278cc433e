#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace quillon {

// The port's time-out record in milliseconds, as the AT item reads and sets it.
struct CommTimeouts {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;

    friend bool operator==(const CommTimeouts&, const CommTimeouts&) = default;
};

struct PortWriteResult {
    std::size_t bytesWritten = 0;
    int errorCode = 0; // errno value when the write stopped short; ETIMEDOUT when the bound ran out
};

// An open modem port. The Linux backend opens the tty O_RDWR | O_NOCTTY in raw mode
// (cfmakeraw: no newline translation), so exactly the given bytes reach the phone.
class ModemPort {
public:
    // Closes the descriptor quietly when Close was not called or failed.
    virtual ~ModemPort() = default;
    // The port-state probe (tcgetattr): the line speed in baud, 0 for a dead port (B0), nullopt
    // when the state cannot be read.
    virtual std::optional<std::uint32_t> GetBaudRate() = 0;
    // nullopt when the record cannot be read. On Linux the record is kept by the port itself.
    virtual std::optional<CommTimeouts> GetTimeouts() = 0;
    virtual bool SetTimeouts(const CommTimeouts& timeouts) = 0;
    // Writes `data` in order, waiting (poll) at most `bound` in all; never blocks longer.
    virtual PortWriteResult Write(std::span<const std::uint8_t> data,
                                  std::chrono::milliseconds bound) = 0;
    // 0 or an errno value. After 0 the port must not be used again.
    virtual int Close() = 0;
};

class ModemPortDriver {
public:
    virtual ~ModemPortDriver() = default;
    // Null on failure, with `error` set to an errno value.
    virtual std::unique_ptr<ModemPort> Open(const std::string& devicePath, int& error) = 0;
};

} // namespace quillon
