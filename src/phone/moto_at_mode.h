#pragma once

#include "phone/debug_types.h"
#include "phone/device_source.h"
#include "phone/modem_port.h"
#include "phone/moto_mode.h"
#include "phone/phone_item.h"
#include "phone/usb_devise.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace quillon {

// A write with no time-out set still gives up after this long.
inline constexpr std::chrono::milliseconds kModemWriteBound{5000};

// One phone in AT modem mode: its modem port, written to and never read.
class MotoATModemItem : public PhoneItemReports<MotoATModemItem> {
public:
    using ATDebugEvent = DebugEvent;

    MotoATModemItem(USBDevise modemInfo, ModemPortDriver& driver);
    ~MotoATModemItem();
    MotoATModemItem(const MotoATModemItem&) = delete;
    MotoATModemItem& operator=(const MotoATModemItem&) = delete;

    const USBDevise& ModemInfo() const { return modemInfo_; }

    // Probes the port; a dead port (state unreadable, speed 0) is closed here.
    bool IsOpen();
    bool Open();
    bool Close();

    // The number of bytes written.
    std::int32_t WriteData(std::span<const std::uint8_t> data);
    // Writes the text and CR LF; no answer is awaited.
    bool SendATCommand(std::string_view text);
    // Milliseconds; changes only on an open port, to the value the port reads back.
    std::uint32_t TimeOut() const { return timeOut_; }
    void SetTimeOut(std::uint32_t value);
    // 0 sends "AT+Mode=8", 1 "AT+Mode=22"; other modes send nothing.
    void SwitchMode(std::uint8_t mode);

private:
    USBDevise modemInfo_;
    ModemPortDriver& driver_;
    std::unique_ptr<ModemPort> port_;
    std::uint32_t timeOut_ = 0;
};

using MotoATModemList = MotoModemList<MotoATModemItem>;

// Phones in AT modem mode.
class MotoATMode : public MotoMode<MotoATModemItem> {
public:
    MotoATMode(DeviceSource& source, ModemPortDriver& driver)
        : MotoMode(source, DeviseFamily::ATModem, [&driver](const USBDevise& devise) {
              return std::make_unique<MotoATModemItem>(devise, driver);
          }) {}
};

} // namespace quillon
