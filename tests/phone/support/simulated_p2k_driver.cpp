#include "phone/support/simulated_p2k_driver.h"

#include <algorithm>
#include <cerrno>

namespace quillon::sim {

void ManualClock::Sleep(std::chrono::milliseconds duration) {
    now_ += duration;
    if (trace_ != nullptr) {
        trace_->push_back({WireEvent::Kind::Sleep, {}, 0, duration});
    }
}

class SimulatedP2KDriver::Channel final : public ControlChannel {
public:
    explicit Channel(SimulatedP2KDriver& driver) : driver_(driver) { ++driver_.openChannels_; }
    ~Channel() override { --driver_.openChannels_; }

    ExchangeResult Exchange(std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                            std::chrono::milliseconds timeout) override {
        driver_.trace_.push_back(
            {WireEvent::Kind::Exchange, {input.begin(), input.end()}, output.size(), timeout});
        if (driver_.clock_ != nullptr) {
            driver_.clock_->Advance(driver_.latency_);
        }
        if (input.size() < 8) {
            return {ExchangeOutcome::Error, 0, EINVAL};
        }
        const auto setup = input.first(8);
        const bool deviceToHost = (setup[0] & 0x80) != 0;
        const std::size_t wLength = setup[6] | (setup[7] << 8);
        const auto dataStage = deviceToHost ? input.subspan(8, 0)
                                            : input.subspan(8, std::min(wLength, input.size() - 8));
        const TransferAnswer answer = driver_.phone_.Transfer(setup, dataStage);
        if (answer.outcome != ExchangeOutcome::Ok) {
            return {answer.outcome, 0, answer.errorCode};
        }
        const std::size_t returned = std::min({answer.data.size(), wLength, output.size()});
        if (deviceToHost) {
            std::copy_n(answer.data.begin(), returned, output.begin());
            return {ExchangeOutcome::Ok, returned, 0};
        }
        return {ExchangeOutcome::Ok, 0, 0};
    }

    int Close() override {
        ++driver_.closes_;
        return driver_.closeError_;
    }

private:
    SimulatedP2KDriver& driver_;
};

SimulatedP2KDriver::SimulatedP2KDriver(SimulatedP2KPhone& phone, std::string devicePath)
    : phone_(phone), devicePath_(std::move(devicePath)) {}

std::unique_ptr<ControlChannel> SimulatedP2KDriver::Open(const std::string& devicePath,
                                                         int& error) {
    ++opens_;
    error = openError_;
    if (error == 0 && devicePath != devicePath_) {
        error = ENOENT;
    }
    if (error == 0 && phone_.Gone()) {
        error = ENODEV;
    }
    if (error != 0) {
        return nullptr;
    }
    return std::make_unique<Channel>(*this);
}

void SimulatedP2KDriver::SetLatency(ManualClock& clock, std::chrono::milliseconds latency) {
    clock_ = &clock;
    latency_ = latency;
}

std::vector<WireEvent> SimulatedP2KDriver::Exchanges() const {
    std::vector<WireEvent> exchanges;
    std::copy_if(trace_.begin(), trace_.end(), std::back_inserter(exchanges),
                 [](const WireEvent& event) { return event.kind == WireEvent::Kind::Exchange; });
    return exchanges;
}

} // namespace quillon::sim
