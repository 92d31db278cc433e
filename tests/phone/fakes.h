#pragma once

#include "phone/device_source.h"
#include "phone/modem_port.h"
#include "phone/scsi_pass_through.h"
#include "phone/usb_devise.h"

#include <cerrno>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quillon::fake {

// A present Motorola device of a family, as the device source would give it.
inline USBDevise PhoneDevise(std::uint32_t devInst, DeviseFamily family) {
    USBDevise devise;
    devise.DevInst = devInst;
    devise.DevicePath = "/dev/fake" + std::to_string(devInst);
    devise.CompatibleIDs = "USB\\Class_ff";
    devise.HardwareID = "USB\\VID_22B8&PID_4902";
    devise.DeviceDesc = "Motorola " + std::string(DescriptionFilter(family));
    return devise;
}

class DeviceSource final : public quillon::DeviceSource {
public:
    USBDevises GetUSBDevises(DeviseFamily family) override {
        ++enumerations;
        return present[family];
    }

    std::map<DeviseFamily, USBDevises> present;
    int enumerations = 0;
};

class HotPlugSource final : public quillon::HotPlugSource {
public:
    void SetHandler(Handler newHandler) override { handler = std::move(newHandler); }
    int FileDescriptor() const override { return -1; }
    void ProcessEvents() override {}

    Handler handler;
};

// A modem port whose state, time-out record and writes the test controls.
struct ModemPortState {
    std::optional<std::uint32_t> baudRate = 115200;
    std::optional<CommTimeouts> timeouts = CommTimeouts{};
    bool setFails = false;
    bool readBackFails = false;                 // reads fail once a set succeeded
    std::optional<std::uint32_t> readBackValue; // the port keeps this instead of what was set
    std::optional<std::size_t> writeLimit;      // the write stops after this many bytes
    int closeError = 0;

    std::vector<CommTimeouts> sets;
    std::vector<std::uint8_t> written;
    std::vector<std::chrono::milliseconds> writeBounds;
    int opens = 0;
    int closes = 0;
    int calls = 0; // every call on an open port
};

class ModemPort final : public quillon::ModemPort {
public:
    explicit ModemPort(ModemPortState& state) : state_(state) {}

    std::optional<std::uint32_t> GetBaudRate() override {
        ++state_.calls;
        return state_.baudRate;
    }
    std::optional<CommTimeouts> GetTimeouts() override {
        ++state_.calls;
        if (state_.readBackFails && !state_.sets.empty()) {
            return std::nullopt;
        }
        return state_.timeouts;
    }
    bool SetTimeouts(const CommTimeouts& timeouts) override {
        ++state_.calls;
        if (state_.setFails) {
            return false;
        }
        state_.sets.push_back(timeouts);
        state_.timeouts = timeouts;
        if (state_.readBackValue) {
            state_.timeouts->ReadTotalTimeoutConstant = *state_.readBackValue;
        }
        return true;
    }
    PortWriteResult Write(std::span<const std::uint8_t> data,
                          std::chrono::milliseconds bound) override {
        ++state_.calls;
        state_.writeBounds.push_back(bound);
        const std::size_t count = std::min(data.size(), state_.writeLimit.value_or(data.size()));
        state_.written.insert(state_.written.end(), data.begin(), data.begin() + count);
        return {count, count == data.size() ? 0 : ETIMEDOUT};
    }
    int Close() override {
        ++state_.closes;
        return state_.closeError;
    }

private:
    ModemPortState& state_;
};

class ModemPortDriver final : public quillon::ModemPortDriver {
public:
    std::unique_ptr<quillon::ModemPort> Open(const std::string& devicePath, int& error) override {
        ++state.opens;
        paths.push_back(devicePath);
        error = openError;
        return error == 0 ? std::make_unique<ModemPort>(state) : nullptr;
    }

    ModemPortState state;
    std::vector<std::string> paths;
    int openError = 0;
};

struct ScsiState {
    ScsiResult result{ExchangeOutcome::Ok, 0, 0, {}};
    std::vector<ScsiCdb> commands;
    std::vector<std::chrono::milliseconds> timeouts;
    std::vector<std::string> opened;
    int closes = 0;
};

class ScsiDisk final : public quillon::ScsiDisk {
public:
    explicit ScsiDisk(ScsiState& state) : state_(state) {}
    ScsiResult SendCommand(const ScsiCdb& cdb, std::chrono::milliseconds timeout) override {
        state_.commands.push_back(cdb);
        state_.timeouts.push_back(timeout);
        return state_.result;
    }
    int Close() override {
        ++state_.closes;
        return 0;
    }

private:
    ScsiState& state_;
};

class ScsiDriver final : public quillon::ScsiDriver {
public:
    std::unique_ptr<quillon::ScsiDisk> Open(const std::string& devicePath, int& error) override {
        state.opened.push_back(devicePath);
        error = openError;
        return error == 0 ? std::make_unique<ScsiDisk>(state) : nullptr;
    }

    ScsiState state;
    int openError = 0;
};

} // namespace quillon::fake
