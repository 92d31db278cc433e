#include "platform/udev/udev_device_source.h"

#include "platform/udev/udev_phone_match.h"

#include <libudev.h>

namespace quillon {

UdevDeviceSource::UdevDeviceSource() : context_(udev_new()) {}

UdevDeviceSource::~UdevDeviceSource() {
    if (context_ != nullptr) {
        udev_unref(context_);
    }
}

USBDevises UdevDeviceSource::GetUSBDevises(DeviseFamily family) {
    USBDevises devises;
    for (udev_phone::Found& found : udev_phone::Enumerate(context_, family)) {
        devises.push_back(std::move(found.devise));
    }
    return devises;
}

} // namespace quillon
