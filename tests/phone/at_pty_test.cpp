// The AT item on the termios modem port over a pseudo-terminal: the test reads the master side
// and sees every byte the phone would.
#include "phone/moto_at_mode.h"
#include "platform/serial/termios_modem_port.h"

#include "fakes.h"
#include "reports.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

namespace quillon {
namespace {

class ATPtyTest : public ::testing::Test {
protected:
    void SetUp() override {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(master_, 0);
        ASSERT_EQ(::grantpt(master_), 0);
        ASSERT_EQ(::unlockpt(master_), 0);
        SetLineSpeed(B115200);
        USBDevise devise = fake::PhoneDevise(1, DeviseFamily::ATModem);
        devise.DevicePath = ::ptsname(master_);
        item_ = std::make_unique<MotoATModemItem>(devise, driver_);
        item_->SetOnDebugEvent(CollectInto<MotoATModemItem>(reports_));
    }

    void TearDown() override {
        item_.reset();
        CloseMaster();
    }

    void SetLineSpeed(speed_t speed) {
        termios mode{};
        ASSERT_EQ(::tcgetattr(master_, &mode), 0);
        ::cfsetspeed(&mode, speed);
        ASSERT_EQ(::tcsetattr(master_, TCSANOW, &mode), 0);
    }

    void CloseMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

    void OpenQuietly() {
        ASSERT_TRUE(item_->Open());
        reports_.clear();
    }

    // Everything the phone side has received so far.
    Bytes Received() {
        Bytes bytes;
        pollfd ready{master_, POLLIN, 0};
        while (::poll(&ready, 1, 100) > 0 && (ready.revents & POLLIN) != 0) {
            std::uint8_t chunk[256];
            const ssize_t n = ::read(master_, chunk, sizeof chunk);
            if (n <= 0) {
                break;
            }
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        return bytes;
    }

    TermiosModemPortDriver driver_;
    int master_ = -1;
    std::vector<Report> reports_;
    std::unique_ptr<MotoATModemItem> item_;
};

TEST_F(ATPtyTest, ModeSwitchIsElevenBytesOnTheLine) {
    OpenQuietly();
    item_->SwitchMode(0);
    EXPECT_EQ(Received(), (Bytes{'A', 'T', '+', 'M', 'o', 'd', 'e', '=', '8', '\r', '\n'}));
    EXPECT_EQ(reports_, (std::vector<Report>{SubInfo("Phone Write Data"),
                                             Info("Phone Send Command"), Info("Phone Switch")}));
    EXPECT_TRUE(item_->Close());
}

TEST_F(ATPtyTest, SetTimeOutOnTheOpenPort) {
    OpenQuietly();
    item_->SetTimeOut(1000);
    EXPECT_EQ(item_->TimeOut(), 1000u);
    item_->SetTimeOut(1000); // already set: nothing to say
    EXPECT_EQ(reports_, std::vector<Report>{Info("Phone Set TimeOut")});
}

TEST_F(ATPtyTest, SetTimeOutOnAClosedOrHungUpPortFails) {
    item_->SetTimeOut(1000);
    EXPECT_EQ(reports_, std::vector<Report>{Error("Phone Set TimeOut Failed")});
    OpenQuietly();
    CloseMaster();
    item_->SetTimeOut(2000);
    EXPECT_EQ(item_->TimeOut(), 0u);
    EXPECT_EQ(reports_, std::vector<Report>{Error("Phone Set TimeOut Failed")});
}

TEST_F(ATPtyTest, ALineAtSpeedZeroIsADeadPort) {
    OpenQuietly();
    SetLineSpeed(B0);
    EXPECT_FALSE(item_->IsOpen());
    EXPECT_EQ(reports_, std::vector<Report>{Info("Phone Close")});
}

TEST_F(ATPtyTest, AWriteNobodyReadsGivesUp) {
    OpenQuietly();
    item_->SetTimeOut(100);
    reports_.clear();
    const Bytes flood(1 << 20, 'x');
    EXPECT_LT(item_->WriteData(flood), static_cast<std::int32_t>(flood.size()));
    EXPECT_EQ(reports_, std::vector<Report>{SubError("Phone Write Data Failed")});
}

} // namespace
} // namespace quillon
