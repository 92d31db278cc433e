#include "platform/udev/udev_phone_match.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <libudev.h>
#include <optional>
#include <string_view>

namespace quillon::udev_phone {

namespace {

constexpr std::string_view kP2KInterfaceText = "Test Command";
constexpr std::string_view kP2KInterfaceNumber = "08";
constexpr std::string_view kVendorClass = "ff";

std::string Attribute(udev_device* device, const char* name) {
    const char* value = device != nullptr ? udev_device_get_sysattr_value(device, name) : nullptr;
    return value != nullptr ? value : "";
}

std::optional<unsigned> ParseHex(std::string_view text) {
    unsigned value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (status != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

bool IsMotorola(udev_device* usbDevice) {
    return usbDevice != nullptr && ParseHex(Attribute(usbDevice, "idVendor")) == kMotorolaVendorId;
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return text;
}

// FNV-1a: the same sysfs path gives the same number in every run.
std::uint32_t StableHash(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<std::uint8_t>(c);
        hash *= 16777619u;
    }
    return hash;
}

std::string Joined(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty()) {
        return first + second;
    }
    return first + " " + second;
}

// The description by which the components know a device of `family`. A device matched by the
// family's rule is described as its driver would describe it ("Disk Drive", "Motorola USB
// Modem"): the phone's own words rarely say so on Linux, and are kept after it.
std::string DescriptionOf(DeviseFamily family, const std::string& ownText) {
    const std::string familyText(DescriptionFilter(family));
    if (Upper(ownText).find(Upper(familyText)) != std::string::npos) {
        return ownText;
    }
    return ownText.empty() ? familyText : familyText + " (" + ownText + ")";
}

// `node` is the device whose node is opened; `usbInterface` may be null.
USBDevise DeviseOf(DeviseFamily family, udev_device* node, udev_device* usbInterface,
                   udev_device* usbDevice) {
    USBDevise devise;
    devise.DevInst = StableHash(udev_device_get_syspath(node));
    devise.DevicePath = udev_device_get_devnode(node);
    const std::string interfaceText = Attribute(usbInterface, "interface");
    devise.DeviceDesc = DescriptionOf(
        family, interfaceText.empty() ? Attribute(usbDevice, "product") : interfaceText);
    devise.CompatibleIDs = "USB";
    if (usbInterface != nullptr) {
        devise.CompatibleIDs += "\\Class_" + Attribute(usbInterface, "bInterfaceClass") +
                                "&SubClass_" + Attribute(usbInterface, "bInterfaceSubClass") +
                                "&Prot_" + Attribute(usbInterface, "bInterfaceProtocol");
    }
    devise.HardwareID = "USB\\VID_" + Upper(Attribute(usbDevice, "idVendor")) + "&PID_" +
                        Upper(Attribute(usbDevice, "idProduct"));
    devise.Mfg = Attribute(usbDevice, "manufacturer");
    devise.FriendlyName = Joined(devise.Mfg, Attribute(usbDevice, "product"));
    if (const char* driver =
            usbInterface != nullptr ? udev_device_get_driver(usbInterface) : nullptr) {
        devise.Service = driver;
    }
    return devise;
}

bool IsP2KInterface(udev_device* usbInterface) {
    if (Attribute(usbInterface, "interface").find(kP2KInterfaceText) != std::string::npos) {
        return true;
    }
    return Attribute(usbInterface, "bInterfaceNumber") == kP2KInterfaceNumber &&
           Attribute(usbInterface, "bInterfaceClass") == kVendorClass;
}

udev_device* UsbParent(udev_device* device, const char* devtype) {
    return udev_device_get_parent_with_subsystem_devtype(device, "usb", devtype);
}

// The interfaces of a phone in P2K mode; the node is the USB device's own.
std::optional<Found> MatchP2K(udev_device* usbInterface) {
    udev_device* usbDevice = UsbParent(usbInterface, "usb_device");
    if (!IsMotorola(usbDevice) || udev_device_get_devnode(usbDevice) == nullptr ||
        !IsP2KInterface(usbInterface)) {
        return std::nullopt;
    }
    return Found{DeviseOf(DeviseFamily::P2K, usbDevice, usbInterface, usbDevice),
                 {udev_device_get_syspath(usbDevice), udev_device_get_syspath(usbInterface)}};
}

std::optional<Found> MatchModem(udev_device* tty) {
    udev_device* usbInterface = UsbParent(tty, "usb_interface");
    udev_device* usbDevice = UsbParent(tty, "usb_device");
    const char* driver = usbInterface != nullptr ? udev_device_get_driver(usbInterface) : nullptr;
    if (driver == nullptr || std::string_view(driver) != "cdc_acm" || !IsMotorola(usbDevice) ||
        udev_device_get_devnode(tty) == nullptr) {
        return std::nullopt;
    }
    return Found{DeviseOf(DeviseFamily::ATModem, tty, usbInterface, usbDevice),
                 {udev_device_get_syspath(tty)}};
}

std::optional<Found> MatchDisk(udev_device* disk) {
    udev_device* usbDevice = UsbParent(disk, "usb_device");
    const char* devtype = udev_device_get_devtype(disk);
    if (devtype == nullptr || std::string_view(devtype) != "disk" || !IsMotorola(usbDevice) ||
        udev_device_get_devnode(disk) == nullptr) {
        return std::nullopt;
    }
    return Found{
        DeviseOf(DeviseFamily::MassStorage, disk, UsbParent(disk, "usb_interface"), usbDevice),
        {udev_device_get_syspath(disk)}};
}

std::optional<Found> Match(DeviseFamily family, udev_device* device) {
    switch (family) {
    case DeviseFamily::P2K:
        return MatchP2K(device);
    case DeviseFamily::ATModem:
        return MatchModem(device);
    case DeviseFamily::MassStorage:
        return MatchDisk(device);
    }
    return std::nullopt;
}

void AddMatches(udev_enumerate* enumerator, DeviseFamily family) {
    udev_enumerate_add_match_subsystem(enumerator, SubsystemOf(family));
    if (family == DeviseFamily::P2K) {
        udev_enumerate_add_match_property(enumerator, "DEVTYPE", "usb_interface");
    }
}

bool Listed(const std::vector<Found>& found, const std::string& devicePath) {
    return std::any_of(found.begin(), found.end(),
                       [&](const Found& entry) { return entry.devise.DevicePath == devicePath; });
}

} // namespace

const char* SubsystemOf(DeviseFamily family) {
    switch (family) {
    case DeviseFamily::P2K:
        return "usb";
    case DeviseFamily::ATModem:
        return "tty";
    case DeviseFamily::MassStorage:
        return "block";
    }
    return "usb";
}

std::vector<Found> Enumerate(udev* context, DeviseFamily family) {
    std::vector<Found> found;
    udev_enumerate* enumerator = context != nullptr ? udev_enumerate_new(context) : nullptr;
    if (enumerator == nullptr) {
        return found;
    }
    AddMatches(enumerator, family);
    udev_enumerate_scan_devices(enumerator);
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerator)) {
        udev_device* device =
            udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
        if (device == nullptr) {
            continue;
        }
        if (auto match = Match(family, device); match && !Listed(found, match->devise.DevicePath)) {
            found.push_back(std::move(*match));
        }
        udev_device_unref(device);
    }
    udev_enumerate_unref(enumerator);
    return found;
}

} // namespace quillon::udev_phone
