#pragma once

#include "phone/usb_devise.h"

#include <string>
#include <vector>

struct udev;
struct udev_device;

namespace quillon::udev_phone {

// One phone device found in udev: its record and the sysfs paths whose removal ends it (the
// node's device and, for P2K, the matching interface).
struct Found {
    USBDevise devise;
    std::vector<std::string> syspaths;
};

// The phones of `family` present now, in enumeration order, one per device node.
std::vector<Found> Enumerate(udev* context, DeviseFamily family);

// The udev subsystem whose events can change the phones of `family`.
const char* SubsystemOf(DeviseFamily family);

} // namespace quillon::udev_phone
