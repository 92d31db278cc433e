#include "phone/usb_devise.h"

#include "phone/device_source.h"
#include "platform/codepage/codepage.h"

#include <algorithm>
#include <cctype>

namespace quillon {

namespace {

std::string AnsiUpperOf(std::string_view utf8) {
    std::string ansi = codepage::Utf8ToAnsi(utf8);
    std::transform(ansi.begin(), ansi.end(), ansi.begin(), [](char c) {
        return static_cast<char>(codepage::AnsiUpper(static_cast<std::uint8_t>(c)));
    });
    return ansi;
}

} // namespace

bool IsMotorolaDevise(const USBDevise& devise) {
    constexpr std::string_view prefix = "USB\\VID_22B8&";
    if (devise.HardwareID.size() < prefix.size()) {
        return false;
    }
    return std::equal(prefix.begin(), prefix.end(), devise.HardwareID.begin(),
                      [](char expected, char actual) {
                          return expected == std::toupper(static_cast<unsigned char>(actual));
                      });
}

std::string_view DescriptionFilter(DeviseFamily family) {
    switch (family) {
    case DeviseFamily::P2K:
        return "Test Command Interface";
    case DeviseFamily::ATModem:
        return "Motorola USB Modem";
    case DeviseFamily::MassStorage:
        return "Disk Drive";
    }
    return {};
}

bool TakesDevise(const USBDevise& devise, std::string_view descriptionFilter) {
    if (devise.CompatibleIDs.find("USB") == std::string::npos) {
        return false;
    }
    if (descriptionFilter.empty()) {
        return true;
    }
    return AnsiUpperOf(devise.DeviceDesc).find(AnsiUpperOf(descriptionFilter)) != std::string::npos;
}

DeviceChangeKind GetDeviceChange(std::string_view action) {
    if (action == "add") {
        return DeviceChangeKind::Arrival;
    }
    if (action == "remove") {
        return DeviceChangeKind::Removal;
    }
    return DeviceChangeKind::None;
}

} // namespace quillon
