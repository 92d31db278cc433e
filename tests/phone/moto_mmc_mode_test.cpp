#include "phone/moto_mmc_mode.h"

#include "fakes.h"
#include "item_fixture.h"
#include "reports.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using namespace std::chrono_literals;

class MMCItemTest : public PhoneItemTest<MotoMMCModemItem, fake::ScsiDriver> {
protected:
    MMCItemTest() : PhoneItemTest(fake::PhoneDevise(5, DeviseFamily::MassStorage)) {}
};

TEST_F(MMCItemTest, SwitchModeSendsTheVendorCommand) {
    OpenQuietly();
    item.SwitchMode(1);
    ASSERT_EQ(driver.state.commands.size(), 1u);
    EXPECT_EQ(driver.state.commands[0], (ScsiCdb{0xD6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0}));
    EXPECT_EQ(driver.state.timeouts[0], 5000ms);
    EXPECT_EQ(reports, std::vector<Report>{Info("MCC Switch")});
}

TEST(ModeSwitchCdbTest, ModeValueGoesIntoByte10) {
    const std::pair<std::uint8_t, std::uint8_t> cases[] = {{0, 0},  {1, 8}, {2, 12},
                                                           {3, 24}, {4, 0}, {255, 0}};
    for (const auto& [mode, value] : cases) {
        ScsiCdb expected{};
        expected[0] = 0xD6;
        expected[10] = value;
        EXPECT_EQ(ModeSwitchCdb(mode), expected) << int{mode};
    }
}

TEST_F(MMCItemTest, FailedOrTimedOutCommandIsReported) {
    OpenQuietly();
    for (const ExchangeOutcome outcome : {ExchangeOutcome::Error, ExchangeOutcome::TimedOut}) {
        driver.state.result = {outcome, EPERM, 0, {}};
        item.SwitchMode(1);
    }
    EXPECT_EQ(reports, std::vector<Report>(2, Error("MCC Switch Failed")));
}

TEST_F(MMCItemTest, ClosedItemSendsNothing) {
    item.SwitchMode(1);
    EXPECT_FALSE(item.Close());
    EXPECT_TRUE(driver.state.commands.empty());
    EXPECT_EQ(driver.state.closes, 0);
    EXPECT_EQ(reports, std::vector<Report>{Error("Close MCC Failed")});
}

TEST_F(MMCItemTest, OpenAndCloseReport) {
    EXPECT_TRUE(item.Open());
    EXPECT_TRUE(item.Open());
    EXPECT_TRUE(item.Close());
    driver.openError = ENOENT;
    EXPECT_FALSE(item.Open());
    EXPECT_EQ(reports,
              (std::vector<Report>{Info("Open MCC"), Info("Close MCC"), Error("Open MCC Failed")}));
}

TEST_F(MMCItemTest, ADiskOfAnotherVendorIsNeverOpened) {
    USBDevise foreign = fake::PhoneDevise(6, DeviseFamily::MassStorage);
    foreign.HardwareID = "USB\\VID_0781&PID_5567";
    MotoMMCModemItem other(foreign, driver);
    other.SetOnDebugEvent(CollectInto<MotoMMCModemItem>(reports));
    EXPECT_FALSE(other.Open());
    other.SwitchMode(1);
    EXPECT_TRUE(driver.state.opened.empty());
    EXPECT_TRUE(driver.state.commands.empty());
    EXPECT_EQ(reports, std::vector<Report>{Error("Open MCC Failed")});
}

} // namespace
} // namespace quillon
