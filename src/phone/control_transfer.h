#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace quillon {

// What one device exchange came to. TimedOut is kept apart from Error because the P2K send
// counts a time-out as delivered; `errorCode` is an errno value (ENODEV for a vanished device,
// EPIPE for a stalled request, ETIMEDOUT with TimedOut) kept for diagnostics.
enum class ExchangeOutcome : std::uint8_t { Ok, TimedOut, Error };

struct ExchangeResult {
    ExchangeOutcome outcome = ExchangeOutcome::Error;
    std::size_t bytesReturned = 0;
    int errorCode = 0;
};

// The longest any single device request may wait.
inline constexpr std::chrono::milliseconds kDeviceRequestTimeout{5000};

// An open P2K device: one USB control transfer per Exchange (the Linux backend claims
// interface 8, detaching a bound kernel driver, and runs libusb_control_transfer).
//
// `input` starts with the 8-byte setup packet: bmRequestType, bRequest, wValue, wIndex,
// wLength, the 16-bit fields little-endian. For a host-to-device request (bit 7 of
// bmRequestType clear) the wLength bytes after the setup packet are the data stage; further
// input bytes are not sent (a control transfer cannot carry them) and `output` is not written.
// For a device-to-host request the device's data stage, at most min(wLength, output.size())
// bytes, is written to the start of `output` and its size is bytesReturned.
class ControlChannel {
public:
    // Releases the device quietly when Close was not called or failed.
    virtual ~ControlChannel() = default;
    virtual ExchangeResult Exchange(std::span<const std::uint8_t> input,
                                    std::span<std::uint8_t> output,
                                    std::chrono::milliseconds timeout) = 0;
    // 0 or an errno value. After 0 the channel must not be used again.
    virtual int Close() = 0;
};

// The "driver" behind the P2K control code: opens a device path from USBDevise::DevicePath.
class ControlTransferDriver {
public:
    virtual ~ControlTransferDriver() = default;
    // Null on failure, with `error` set to an errno value.
    virtual std::unique_ptr<ControlChannel> Open(const std::string& devicePath, int& error) = 0;
};

} // namespace quillon
