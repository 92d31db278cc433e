#include "phone/device_source.h"
#include "phone/usb_devise.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

struct TakeCase {
    const char* compatibleIds;
    const char* description;
    const char* filter;
    bool taken;
};

class TakesDeviseTest : public ::testing::TestWithParam<TakeCase> {};

TEST_P(TakesDeviseTest, AppliesUsbAndDescriptionTests) {
    USBDevise devise;
    devise.CompatibleIDs = GetParam().compatibleIds;
    devise.DeviceDesc = GetParam().description;
    EXPECT_EQ(TakesDevise(devise, GetParam().filter), GetParam().taken);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TakesDeviseTest,
    ::testing::Values(
        TakeCase{"USB\\Class_ff", "Anything", "", true}, TakeCase{"USB\\Class_ff", "", "", true},
        TakeCase{"usb\\class_ff", "Motorola USB Modem", "", false},
        TakeCase{"", "Motorola Test Command Interface", "Test Command Interface", false},
        TakeCase{"USB", "MOTOROLA TEST COMMAND INTERFACE", "test command interface", true},
        TakeCase{"USB", "Motorola Test Command", "Test Command Interface", false},
        TakeCase{"USB\\Class_08", "Disk drive", "Disk Drive", true},
        // Cyrillic is upper-cased through Windows-1251 on both sides.
        TakeCase{"USB", "Телефон МОДЕМ", "модем", true},
        TakeCase{"USB", "Телефон", "модем", false}));

TEST(DescriptionFilterTest, NamesTheFamilyTexts) {
    EXPECT_EQ(DescriptionFilter(DeviseFamily::P2K), "Test Command Interface");
    EXPECT_EQ(DescriptionFilter(DeviseFamily::ATModem), "Motorola USB Modem");
    EXPECT_EQ(DescriptionFilter(DeviseFamily::MassStorage), "Disk Drive");
}

TEST(GetDeviceChangeTest, OnlyAddAndRemoveAreChanges) {
    EXPECT_EQ(GetDeviceChange("add"), DeviceChangeKind::Arrival);
    EXPECT_EQ(GetDeviceChange("remove"), DeviceChangeKind::Removal);
    for (const char* other : {"change", "bind", "unbind", "move", "online", ""}) {
        EXPECT_EQ(GetDeviceChange(other), DeviceChangeKind::None) << other;
    }
}

} // namespace
} // namespace quillon
