#include "platform/serial/termios_modem_port.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace quillon {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// A pseudo-terminal standing in for the phone's modem port: the port opens the slave side,
// the test reads what arrives on the master side.
class TermiosModemPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        slavePath = ptsname(master);
        SetLineSpeed(B9600);
    }
    void TearDown() override { CloseMaster(); }

    void SetLineSpeed(speed_t speed) {
        termios mode{};
        ASSERT_EQ(tcgetattr(master, &mode), 0);
        cfsetspeed(&mode, speed);
        ASSERT_EQ(tcsetattr(master, TCSANOW, &mode), 0);
    }

    void CloseMaster() {
        if (master >= 0) {
            close(master);
            master = -1;
        }
    }

    std::unique_ptr<ModemPort> Open() {
        int error = -1;
        auto port = driver.Open(slavePath, error);
        EXPECT_NE(port, nullptr);
        EXPECT_EQ(error, 0);
        return port;
    }

    // Everything the phone received, waiting a moment for stragglers.
    Bytes Received() {
        Bytes bytes;
        pollfd waiter{master, POLLIN, 0};
        while (poll(&waiter, 1, 200) == 1 && (waiter.revents & POLLIN) != 0) {
            std::uint8_t chunk[256];
            const ssize_t n = read(master, chunk, sizeof chunk);
            if (n <= 0) {
                break;
            }
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        return bytes;
    }

    int master = -1;
    std::string slavePath;
    TermiosModemPortDriver driver;
};

TEST_F(TermiosModemPortTest, WritesExactlyTheGivenBytes) {
    auto port = Open();
    for (const Bytes& line :
         {BytesOf("AT+Mode=8\r\n"), BytesOf("A\nB\r\x7f\x03"), Bytes{0x00, 0xFF}}) {
        const PortWriteResult result = port->Write(line, 5000ms);
        EXPECT_EQ(result.bytesWritten, line.size());
        EXPECT_EQ(result.errorCode, 0);
        EXPECT_EQ(Received(), line);
    }
}

TEST_F(TermiosModemPortTest, WriteNobodyReadsStopsAtTheBound) {
    auto port = Open();
    const Bytes flood(1 << 20, 'A');
    const PortWriteResult result = port->Write(flood, 100ms);
    EXPECT_LT(result.bytesWritten, flood.size());
    EXPECT_EQ(result.errorCode, ETIMEDOUT);
}

TEST_F(TermiosModemPortTest, BaudRateProbesTheLine) {
    auto port = Open();
    EXPECT_EQ(port->GetBaudRate(), 9600u);
    SetLineSpeed(B0);
    EXPECT_EQ(port->GetBaudRate(), 0u);
}

TEST_F(TermiosModemPortTest, TimeoutsAreKeptByTheOpenPort) {
    auto port = Open();
    EXPECT_EQ(port->GetTimeouts(), CommTimeouts{});
    const CommTimeouts set{0, 0, 1000, 0, 1000};
    EXPECT_TRUE(port->SetTimeouts(set));
    EXPECT_EQ(port->GetTimeouts(), set);
}

TEST_F(TermiosModemPortTest, HungUpPortFailsEveryRequest) {
    auto port = Open();
    CloseMaster();
    EXPECT_EQ(port->GetBaudRate(), std::nullopt);
    EXPECT_EQ(port->GetTimeouts(), std::nullopt);
    EXPECT_FALSE(port->SetTimeouts(CommTimeouts{}));
    const PortWriteResult result = port->Write(BytesOf("AT\r\n"), 5000ms);
    EXPECT_EQ(result.bytesWritten, 0u);
    EXPECT_NE(result.errorCode, 0);
}

TEST_F(TermiosModemPortTest, ClosedPortIsNotUsedAgain) {
    auto port = Open();
    EXPECT_EQ(port->Close(), 0);
    EXPECT_EQ(port->Close(), EBADF);
    EXPECT_EQ(port->GetBaudRate(), std::nullopt);
    EXPECT_EQ(port->Write(BytesOf("AT\r\n"), 5000ms).errorCode, EBADF);
    EXPECT_TRUE(Received().empty());
}

TEST_F(TermiosModemPortTest, OpenRefusesWhatIsNoTerminal) {
    struct Case {
        const char* path;
        int error;
    };
    for (const Case& c : {Case{"/dev/null", ENOTTY}, Case{"/nonexistent/ttyACM0", ENOENT}}) {
        SCOPED_TRACE(c.path);
        int error = 0;
        EXPECT_EQ(driver.Open(c.path, error), nullptr);
        EXPECT_EQ(error, c.error);
    }
}

} // namespace
} // namespace quillon
