#include "platform/udev/udev_device_source.h"
#include "support/phone_testbed.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quillon {
namespace {

using namespace device_test;

std::vector<std::string> PathsOf(const USBDevises& devises) {
    std::vector<std::string> paths;
    for (const USBDevise& devise : devises) {
        paths.push_back(devise.DevicePath);
    }
    return paths;
}

const USBDevise& Only(const USBDevises& devises) {
    static const USBDevise none;
    EXPECT_EQ(devises.size(), 1u);
    return devises.empty() ? none : devises.front();
}

// A phone in each mode, and devices that must never be taken for one: a disk and a
// vendor-class interface 8 of another maker.
class UdevEnumerationTest : public ::testing::Test {
protected:
    void SetUp() override {
        bed.PlugP2K(PhoneAt(1), usbdevfs);
        modemPhone = bed.PlugModem(PhoneAt(2), "ttyACM0");
        bed.PlugDisk(PhoneAt(3), "sda", phoneDisk);
        bed.PlugDisk(PhoneAt(4, 0x0781), "sdb", otherDisk);
        bed.PlugP2K(PhoneAt(5, 0x1234), otherUsbdevfs);
    }

    PhoneTestbed bed;
    std::string modemPhone;
    UsbdevfsEmulation usbdevfs;
    UsbdevfsEmulation otherUsbdevfs;
    ScsiEmulation phoneDisk;
    ScsiEmulation otherDisk;
    UdevDeviceSource source;
};

TEST_F(UdevEnumerationTest, EachFamilyListsOnlyTheMotorolaDevicesOfItsMode) {
    EXPECT_EQ(PathsOf(source.GetUSBDevises(DeviseFamily::P2K)),
              std::vector<std::string>{"/dev/bus/usb/001/002"});
    EXPECT_EQ(PathsOf(source.GetUSBDevises(DeviseFamily::ATModem)),
              std::vector<std::string>{"/dev/ttyACM0"});
    // Neither the other maker's disk nor the phone's partition.
    EXPECT_EQ(PathsOf(source.GetUSBDevises(DeviseFamily::MassStorage)),
              std::vector<std::string>{"/dev/sda"});
}

TEST_F(UdevEnumerationTest, RecordsAreFilledFromSysfs) {
    struct Expected {
        DeviseFamily family;
        std::string deviceDesc;
        std::string compatibleIDs;
        std::string service;
    };
    const Expected cases[] = {
        // The family's description comes first, the device's own words after it.
        {DeviseFamily::P2K, "Test Command Interface (Motorola Test Command)",
         "USB\\Class_ff&SubClass_ff&Prot_ff", ""},
        {DeviseFamily::ATModem, "Motorola USB Modem (Motorola Communication Interface)",
         "USB\\Class_02&SubClass_02&Prot_01", "cdc_acm"},
        // The storage interface has no string of its own: the product string stands in.
        {DeviseFamily::MassStorage, "Disk Drive (Motorola Phone (E398))",
         "USB\\Class_08&SubClass_06&Prot_50", "usb-storage"},
    };
    for (const Expected& expected : cases) {
        SCOPED_TRACE(static_cast<int>(expected.family));
        const USBDevise devise = Only(source.GetUSBDevises(expected.family));
        EXPECT_EQ(devise.DeviceDesc, expected.deviceDesc);
        EXPECT_EQ(devise.CompatibleIDs, expected.compatibleIDs);
        EXPECT_EQ(devise.Service, expected.service);
        EXPECT_EQ(devise.HardwareID, "USB\\VID_22B8&PID_4902");
        EXPECT_EQ(devise.Mfg, "Motorola Inc.");
        EXPECT_EQ(devise.FriendlyName, "Motorola Inc. Motorola Phone (E398)");
        EXPECT_EQ(devise.ClassGUID, "");
        EXPECT_EQ(devise.BusNumber, 0u);
    }
}

TEST_F(UdevEnumerationTest, DevInstIsStableAndTellsDevicesApart) {
    const std::uint32_t p2k = Only(source.GetUSBDevises(DeviseFamily::P2K)).DevInst;
    const std::uint32_t modem = Only(source.GetUSBDevises(DeviseFamily::ATModem)).DevInst;
    const std::uint32_t disk = Only(source.GetUSBDevises(DeviseFamily::MassStorage)).DevInst;
    EXPECT_NE(p2k, modem);
    EXPECT_NE(modem, disk);
    EXPECT_NE(p2k, disk);
    EXPECT_EQ(UdevDeviceSource().GetUSBDevises(DeviseFamily::P2K).front().DevInst, p2k);
}

TEST_F(UdevEnumerationTest, UnpluggedDevicesAreNoLongerListed) {
    bed.Unplug(modemPhone);
    EXPECT_TRUE(source.GetUSBDevises(DeviseFamily::ATModem).empty());
    EXPECT_EQ(source.GetUSBDevises(DeviseFamily::P2K).size(), 1u);
}

// Which interfaces of a Motorola device make it a P2K phone.
struct P2KInterfaceCase {
    const char* name;
    int number;
    int interfaceClass;
    const char* text;
    bool listed;
    const char* deviceDesc;

    friend void PrintTo(const P2KInterfaceCase& c, std::ostream* out) { *out << c.name; }
};

class P2KInterfaceTest : public ::testing::TestWithParam<P2KInterfaceCase> {};

TEST_P(P2KInterfaceTest, ListsTestCommandOrVendorInterfaceEight) {
    PhoneTestbed bed;
    const P2KInterfaceCase& c = GetParam();
    bed.PlugInterface(PhoneAt(1), c.number, c.interfaceClass, c.text);
    const USBDevises found = UdevDeviceSource().GetUSBDevises(DeviseFamily::P2K);
    ASSERT_EQ(found.size(), c.listed ? 1u : 0u);
    if (c.listed) {
        EXPECT_EQ(found.front().DevicePath, "/dev/bus/usb/001/002");
        EXPECT_EQ(found.front().DeviceDesc, c.deviceDesc);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, P2KInterfaceTest,
    ::testing::Values(P2KInterfaceCase{"NamedInterfaceEight", 8, 0xFF, "Motorola Test Command",
                                       true, "Test Command Interface (Motorola Test Command)"},
                      P2KInterfaceCase{"FullyNamedInterface", 8, 0xFF,
                                       "Motorola Test Command Interface", true,
                                       "Motorola Test Command Interface"},
                      P2KInterfaceCase{"UnnamedInterfaceEight", 8, 0xFF, "", true,
                                       "Test Command Interface (Motorola Phone (E398))"},
                      P2KInterfaceCase{"NamedOtherInterface", 0, 0xFF, "P2K Test Command", true,
                                       "Test Command Interface (P2K Test Command)"},
                      P2KInterfaceCase{"InterfaceEightOfAnotherClass", 8, 0x0A, "", false, ""},
                      P2KInterfaceCase{"UnnamedVendorInterfaceZero", 0, 0xFF, "", false, ""},
                      P2KInterfaceCase{"OtherName", 8, 0x02, "Motorola Data Interface", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quillon
