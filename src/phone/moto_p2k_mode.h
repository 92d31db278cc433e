#pragma once

#include "phone/control_transfer.h"
#include "phone/device_source.h"
#include "phone/moto_mode.h"
#include "phone/moto_p2k_modem_item.h"
#include "phone/phone_clock.h"

namespace quillon {

using MotoP2KModemList = MotoModemList<MotoP2KModemItem>;

// Phones in P2K command mode; each item talks to its phone through `driver`.
class MotoP2KMode : public MotoMode<MotoP2KModemItem> {
public:
    MotoP2KMode(DeviceSource& source, ControlTransferDriver& driver,
                PhoneClock& clock = SystemPhoneClock())
        : MotoMode(source, DeviseFamily::P2K, [&driver, &clock](const USBDevise& devise) {
              return std::make_unique<MotoP2KModemItem>(devise, driver, clock);
          }) {}
};

} // namespace quillon
