// The AT item against a pseudo-terminal: the test reads the master side and sees every byte.
#include "phone/moto_at_mode.h"

#include "fakes.h"
#include "reports.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace quillon {
namespace {

using namespace std::chrono_literals;

// A modem port straight on the tty descriptor, without line settings of its own: the fixture
// puts the pseudo-terminal into raw mode.
class PtyModemPort final : public ModemPort {
public:
    explicit PtyModemPort(int fd) : fd_(fd) {}
    ~PtyModemPort() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    std::optional<std::uint32_t> GetBaudRate() override { return 9600; }
    std::optional<CommTimeouts> GetTimeouts() override { return timeouts_; }
    bool SetTimeouts(const CommTimeouts& timeouts) override {
        timeouts_ = timeouts;
        return true;
    }

    PortWriteResult Write(std::span<const std::uint8_t> data,
                          std::chrono::milliseconds bound) override {
        const auto deadline = std::chrono::steady_clock::now() + bound;
        std::size_t written = 0;
        while (written < data.size()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd ready{fd_, POLLOUT, 0};
            if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
                return {written, ETIMEDOUT};
            }
            const ssize_t n = ::write(fd_, data.data() + written, data.size() - written);
            if (n < 0 && errno != EAGAIN) {
                return {written, errno};
            }
            written += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        return {written, 0};
    }

    int Close() override {
        const int result = ::close(fd_) == 0 ? 0 : errno;
        fd_ = -1;
        return result;
    }

private:
    int fd_;
    CommTimeouts timeouts_;
};

class PtyModemPortDriver final : public ModemPortDriver {
public:
    std::unique_ptr<ModemPort> Open(const std::string& devicePath, int& error) override {
        const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        error = fd < 0 ? errno : 0;
        return fd < 0 ? nullptr : std::make_unique<PtyModemPort>(fd);
    }
};

class ATPtyTest : public ::testing::Test {
protected:
    void SetUp() override {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(master_, 0);
        ASSERT_EQ(::grantpt(master_), 0);
        ASSERT_EQ(::unlockpt(master_), 0);
        termios raw{};
        ASSERT_EQ(::tcgetattr(master_, &raw), 0);
        ::cfmakeraw(&raw);
        ASSERT_EQ(::tcsetattr(master_, TCSANOW, &raw), 0);
        USBDevise devise = fake::PhoneDevise(1, DeviseFamily::ATModem);
        devise.DevicePath = ::ptsname(master_);
        item_ = std::make_unique<MotoATModemItem>(devise, driver_);
        item_->SetOnDebugEvent(CollectInto<MotoATModemItem>(reports_));
    }

    void TearDown() override {
        item_.reset();
        if (master_ >= 0) {
            ::close(master_);
        }
    }

    // Everything the phone side has received so far.
    Bytes Received() {
        Bytes bytes;
        pollfd ready{master_, POLLIN, 0};
        while (::poll(&ready, 1, 50) > 0) {
            std::uint8_t chunk[256];
            const ssize_t n = ::read(master_, chunk, sizeof chunk);
            if (n <= 0) {
                break;
            }
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        return bytes;
    }

    PtyModemPortDriver driver_;
    int master_ = -1;
    std::vector<Report> reports_;
    std::unique_ptr<MotoATModemItem> item_;
};

TEST_F(ATPtyTest, ModeSwitchIsElevenBytesOnTheLine) {
    ASSERT_TRUE(item_->Open());
    item_->SwitchMode(0);
    EXPECT_EQ(Received(), (Bytes{'A', 'T', '+', 'M', 'o', 'd', 'e', '=', '8', '\r', '\n'}));
    EXPECT_EQ(reports_.back(), Info("Phone Switch"));
    EXPECT_TRUE(item_->Close());
}

TEST_F(ATPtyTest, AWriteNobodyReadsGivesUp) {
    ASSERT_TRUE(item_->Open());
    item_->SetTimeOut(100);
    reports_.clear();
    const Bytes flood(1 << 20, 'x');
    EXPECT_LT(item_->WriteData(flood), static_cast<std::int32_t>(flood.size()));
    EXPECT_EQ(reports_, std::vector<Report>{SubError("Phone Write Data Failed")});
}

} // namespace
} // namespace quillon
