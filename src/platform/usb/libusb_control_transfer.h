#pragma once

#include "phone/control_transfer.h"

namespace quillon {

// Opens a P2K phone by its USB device node (/dev/bus/usb/BBB/DDD) through libusb: the Motorola
// device with that bus number and address, interface 8 claimed, a bound kernel driver detached for
// as long as the channel is open. Each channel has its own libusb context, so a closed
// channel holds nothing.
class LibusbControlTransferDriver final : public ControlTransferDriver {
public:
    std::unique_ptr<ControlChannel> Open(const std::string& devicePath, int& error) override;
};

} // namespace quillon
