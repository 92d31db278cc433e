#pragma once

#include "phone/debug_types.h"
#include "phone/device_source.h"
#include "phone/moto_mode.h"
#include "phone/phone_item.h"
#include "phone/scsi_pass_through.h"
#include "phone/usb_devise.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quillon {

// The vendor command that asks a phone in mass-storage mode to change its USB mode: operation
// code 0xD6, the mode value in byte 10 (modes 0 to 3 give 0, 8, 12, 24; others 0).
ScsiCdb ModeSwitchCdb(std::uint8_t mode);

// One phone in mass-storage mode: its disk, sent one vendor command and nothing else.
class MotoMMCModemItem : public PhoneItemReports<MotoMMCModemItem> {
public:
    using MMCDebugEvent = DebugEvent;

    MotoMMCModemItem(USBDevise modemInfo, ScsiDriver& driver);
    ~MotoMMCModemItem();
    MotoMMCModemItem(const MotoMMCModemItem&) = delete;
    MotoMMCModemItem& operator=(const MotoMMCModemItem&) = delete;

    const USBDevise& ModemInfo() const { return modemInfo_; }

    bool IsOpen() const { return disk_ != nullptr; }
    // Refuses a disk that is not a Motorola device.
    bool Open();
    bool Close();
    // Does nothing on a closed item.
    void SwitchMode(std::uint8_t mode);

private:
    USBDevise modemInfo_;
    ScsiDriver& driver_;
    std::unique_ptr<ScsiDisk> disk_;
};

using MotoMMCModemList = MotoModemList<MotoMMCModemItem>;

// Phones in mass-storage mode.
class MotoMMCMode : public MotoMode<MotoMMCModemItem> {
public:
    MotoMMCMode(DeviceSource& source, ScsiDriver& driver)
        : MotoMode(source, DeviseFamily::MassStorage, [&driver](const USBDevise& devise) {
              return std::make_unique<MotoMMCModemItem>(devise, driver);
          }) {}
};

} // namespace quillon
