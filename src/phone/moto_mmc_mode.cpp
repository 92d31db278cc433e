#include "phone/moto_mmc_mode.h"

namespace quillon {

ScsiCdb ModeSwitchCdb(std::uint8_t mode) {
    constexpr std::uint8_t kModeValues[] = {0, 8, 12, 24};
    ScsiCdb cdb{};
    cdb[0] = 0xD6;
    cdb[10] = mode < std::size(kModeValues) ? kModeValues[mode] : 0;
    return cdb;
}

MotoMMCModemItem::MotoMMCModemItem(USBDevise modemInfo, ScsiDriver& driver)
    : modemInfo_(std::move(modemInfo)), driver_(driver) {}

MotoMMCModemItem::~MotoMMCModemItem() {
    if (IsOpen()) {
        Close();
    }
}

bool MotoMMCModemItem::Open() {
    if (IsOpen()) {
        return true;
    }
    int error = 0;
    if (IsMotorolaDevise(modemInfo_)) {
        disk_ = driver_.Open(modemInfo_.DevicePath, error);
    }
    return ReportOutcome(IsOpen(), "Open MCC", "Open MCC Failed");
}

bool MotoMMCModemItem::Close() {
    return ReportOutcome(CloseDevice(disk_), "Close MCC", "Close MCC Failed");
}

void MotoMMCModemItem::SwitchMode(std::uint8_t mode) {
    if (!IsOpen()) {
        return;
    }
    const ScsiResult result = disk_->SendCommand(ModeSwitchCdb(mode), kDeviceRequestTimeout);
    ReportOutcome(result.outcome == ExchangeOutcome::Ok, "MCC Switch", "MCC Switch Failed");
}

} // namespace quillon
