#include "platform/scsi/sg_scsi_driver.h"
#include "support/phone_testbed.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <scsi/sg.h>

namespace quillon {
namespace {

using namespace device_test;
using namespace std::chrono_literals;

// The vendor command that asks a phone in mass-storage mode to come back in P2K mode.
constexpr ScsiCdb kSwitchToP2K{0xD6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0};

class SgScsiDriverTest : public ::testing::Test {
protected:
    void SetUp() override { bed.PlugDisk(UsbPhone{}, "sda", scsi); }

    std::unique_ptr<ScsiDisk> Open() {
        int error = -1;
        auto disk = driver.Open("/dev/sda", error);
        EXPECT_NE(disk, nullptr);
        EXPECT_EQ(error, 0);
        return disk;
    }

    PhoneTestbed bed;
    ScsiEmulation scsi;
    SgScsiDriver driver;
};

TEST_F(SgScsiDriverTest, SendsTheTwelveByteCommandWithoutDataPhase) {
    auto disk = Open();
    const ScsiResult result = disk->SendCommand(kSwitchToP2K, 5000ms);
    EXPECT_EQ(result.outcome, ExchangeOutcome::Ok);
    EXPECT_EQ(result.scsiStatus, 0);

    const auto commands = scsi.Commands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands.front().cdb,
              std::vector<std::uint8_t>(kSwitchToP2K.begin(), kSwitchToP2K.end()));
    EXPECT_EQ(commands.front().direction, SG_DXFER_NONE);
    EXPECT_EQ(commands.front().dataLength, 0u);
    EXPECT_EQ(commands.front().timeoutMs, 5000u);
}

TEST_F(SgScsiDriverTest, KernelRefusalIsReported) {
    scsi.RefuseWith(EPERM); // a vendor command without CAP_SYS_RAWIO
    auto disk = Open();
    const ScsiResult result = disk->SendCommand(kSwitchToP2K, 5000ms);
    EXPECT_EQ(result.outcome, ExchangeOutcome::Error);
    EXPECT_EQ(result.errorCode, EPERM);
    EXPECT_EQ(scsi.Commands().size(), 1u);
}

TEST_F(SgScsiDriverTest, ClosedDiskSendsNothing) {
    auto disk = Open();
    EXPECT_EQ(disk->Close(), 0);
    EXPECT_EQ(disk->Close(), EBADF);
    const ScsiResult result = disk->SendCommand(kSwitchToP2K, 5000ms);
    EXPECT_EQ(result.outcome, ExchangeOutcome::Error);
    EXPECT_EQ(result.errorCode, EBADF);
    EXPECT_TRUE(scsi.Commands().empty());
}

TEST_F(SgScsiDriverTest, OpenOfAMissingDiskFails) {
    int error = 0;
    EXPECT_EQ(driver.Open("/dev/sdz", error), nullptr);
    EXPECT_EQ(error, ENOENT);
}

} // namespace
} // namespace quillon
