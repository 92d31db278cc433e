#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// Every device the phone link lists or switches belongs to this vendor.
inline constexpr std::uint16_t kMotorolaVendorId = 0x22B8;

// One enumerated device of a phone family, as the application's users see it in ModemInfo. The
// Linux backend fills the commented fields from udev and leaves every other field empty or 0.
struct USBDevise {
    std::uint32_t DevInst = 0; // stable number of the device: a hash of its sysfs path
    std::string DevicePath;    // the node to open (/dev/bus/usb/BBB/DDD, /dev/ttyACMn, /dev/sdX)
    std::uint32_t Capabilities = 0;
    std::string DeviceClass;
    std::string ClassGUID;
    std::string CompatibleIDs; // begins with "USB" for a device on the USB bus
    std::uint32_t ConfigFlags = 0;
    std::string DeviceDesc; // what the device says of itself: interface string, else product
    std::string Driver;
    std::string FriendlyName; // vendor and product
    std::string HardwareID;   // "USB\VID_xxxx&PID_xxxx"
    std::string LowerFilters;
    std::string Mfg; // manufacturer string
    std::string UpperFilters;
    std::string Address;
    std::uint32_t BusNumber = 0;
    std::string BusTypeGUID;
    std::string Characteristics;
    std::string DevType;
    std::string EnumeratorName;
    std::uint32_t Exclusive = 0;
    std::string LegacyBusType;
    std::string LocationInformation;
    std::string PhysicalDeviceObjectName;
    std::string Security;
    std::string Service; // the bound kernel driver
    std::uint32_t UINumber = 0;
    std::string DevicePowerData;
};

using USBDevises = std::vector<USBDevise>;

// The three modes a phone shows up in. Each family is matched by the device source, only for
// kMotorolaVendorId:
//   P2K         a USB interface whose interface string contains "Test Command", or interface 8
//               of vendor class 0xFF; DevicePath is the USB device node /dev/bus/usb/BBB/DDD.
//   ATModem     a tty of the cdc_acm driver (/dev/ttyACM*).
//   MassStorage a whole-disk block device (/dev/sdX) on the phone's USB bus.
enum class DeviseFamily : std::uint8_t { P2K, ATModem, MassStorage };

// True when HardwareID names kMotorolaVendorId ("USB\VID_22B8&...", any letter case). Nothing
// that is not a Motorola device is ever listed, opened or sent a mode switch.
bool IsMotorolaDevise(const USBDevise& devise);

// The description each family's component asks for.
std::string_view DescriptionFilter(DeviseFamily family);

// The take-or-skip test applied to every enumerated device: "USB" occurs in CompatibleIDs
// (case-sensitive), and the filter is empty or occurs in DeviceDesc, both upper-cased in the
// Windows-1251 code page (the texts themselves are UTF-8).
bool TakesDevise(const USBDevise& devise, std::string_view descriptionFilter);

} // namespace quillon
