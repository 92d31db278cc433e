#pragma once

#include "phone/device_source.h"

#include <memory>

struct udev;

namespace quillon {

// Lists the present phones of one family from udev (udev_enumerate over sysfs), only devices
// of kMotorolaVendorId, each USBDevise filled from the device's sysfs attributes.
class UdevDeviceSource final : public DeviceSource {
public:
    UdevDeviceSource();
    UdevDeviceSource(const UdevDeviceSource&) = delete;
    UdevDeviceSource& operator=(const UdevDeviceSource&) = delete;
    ~UdevDeviceSource() override;

    USBDevises GetUSBDevises(DeviseFamily family) override;

private:
    udev* context_;
};

} // namespace quillon
