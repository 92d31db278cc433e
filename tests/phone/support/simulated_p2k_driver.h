#pragma once

#include "phone/control_transfer.h"
#include "phone/phone_clock.h"
#include "phone/support/simulated_p2k_phone.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillon::sim {

// One event on the way to the phone: an exchange with the exact input buffer the item handed
// the driver, or a pause the item took.
struct WireEvent {
    enum class Kind : std::uint8_t { Exchange, Sleep };
    Kind kind = Kind::Exchange;
    std::vector<std::uint8_t> input;
    std::size_t outputSize = 0;
    std::chrono::milliseconds duration{0}; // exchange time-out, or the pause
};

using WireTrace = std::vector<WireEvent>;

// A clock that only moves when told to or when slept on; sleeps are recorded in a trace.
class ManualClock final : public PhoneClock {
public:
    explicit ManualClock(WireTrace* trace = nullptr) : trace_(trace) {}
    std::chrono::milliseconds Now() override { return now_; }
    void Sleep(std::chrono::milliseconds duration) override;
    void Advance(std::chrono::milliseconds duration) { now_ += duration; }

private:
    WireTrace* trace_;
    std::chrono::milliseconds now_{0};
};

// The control-transfer driver with the simulated phone standing directly behind it: every
// exchange is recorded byte for byte and answered by SimulatedP2KPhone::Transfer.
class SimulatedP2KDriver final : public ControlTransferDriver {
public:
    static constexpr const char* kDevicePath = "/dev/bus/usb/001/002";

    explicit SimulatedP2KDriver(SimulatedP2KPhone& phone, std::string devicePath = kDevicePath);

    std::unique_ptr<ControlChannel> Open(const std::string& devicePath, int& error) override;

    // Every exchange moves `clock` on by `latency` (a slow phone).
    void SetLatency(ManualClock& clock, std::chrono::milliseconds latency);
    void SetOpenError(int error) { openError_ = error; }
    void SetCloseError(int error) { closeError_ = error; }

    WireTrace& Trace() { return trace_; }
    std::vector<WireEvent> Exchanges() const;
    int Opens() const { return opens_; }
    int Closes() const { return closes_; }
    int OpenChannels() const { return openChannels_; }

private:
    class Channel;

    SimulatedP2KPhone& phone_;
    std::string devicePath_;
    WireTrace trace_;
    ManualClock* clock_ = nullptr;
    std::chrono::milliseconds latency_{0};
    int openError_ = 0;
    int closeError_ = 0;
    int opens_ = 0;
    int closes_ = 0;
    int openChannels_ = 0;
};

} // namespace quillon::sim
