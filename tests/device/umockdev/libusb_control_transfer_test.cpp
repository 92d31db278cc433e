#include "platform/usb/libusb_control_transfer.h"
#include "support/phone_testbed.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace quillon {
namespace {

using namespace device_test;
using namespace std::chrono_literals;

using Bytes = std::vector<std::uint8_t>;

const Bytes kStatusRequest{0xC1, 0x00, 0x00, 0x00, 0x08, 0x00, 0x08, 0x00, 0x00};

// A phone whose answers each test sets; every request it sees is logged by the emulation.
class LibusbControlTransferTest : public ::testing::Test {
protected:
    void SetUp() override { bed.PlugP2K(phone, usbdevfs); }

    std::unique_ptr<ControlChannel> Open() {
        int error = -1;
        auto channel = driver.Open(phone.NodePath(), error);
        EXPECT_NE(channel, nullptr);
        EXPECT_EQ(error, 0);
        return channel;
    }

    PhoneTestbed bed;
    UsbPhone phone;
    ControlReply reply;
    UsbdevfsEmulation usbdevfs{[this](const ControlRequest&) {
        return reply;
    }};
    LibusbControlTransferDriver driver;
};

TEST_F(LibusbControlTransferTest, OpenClaimsInterfaceEightAndCloseGivesItBack) {
    usbdevfs.BindKernelDriver(8, "p2k_vendor");
    auto channel = Open();
    auto log = usbdevfs.TakeLog();
    EXPECT_EQ(log.detached, std::vector<unsigned>{8});
    EXPECT_EQ(log.claimed, std::vector<unsigned>{8});
    EXPECT_TRUE(log.unhandled.empty());

    EXPECT_EQ(channel->Close(), 0);
    log = usbdevfs.TakeLog();
    EXPECT_EQ(log.released, std::vector<unsigned>{8});
    EXPECT_EQ(log.reattached, std::vector<unsigned>{8});
}

TEST_F(LibusbControlTransferTest, ClaimWithoutKernelDriverDetachesNothing) {
    auto channel = Open();
    const auto log = usbdevfs.TakeLog();
    EXPECT_TRUE(log.detached.empty());
    EXPECT_EQ(log.claimed, std::vector<unsigned>{8});
}

TEST_F(LibusbControlTransferTest, HostToDeviceSendsTheSetupPacketAndItsDataStage) {
    // The first seem read of an item: 26 bytes, of which the control transfer carries 24.
    const Bytes input{0x41, 0x02, 0x00, 0x00, 0x08, 0x00, 0x10, 0x00, 0x00, 0x01, 0x00, 0x20, 0x00,
                      0x08, 0x00, 0x00, 0x01, 0x17, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    Bytes output(5, 0xEE);
    auto channel = Open();
    const ExchangeResult result = channel->Exchange(input, output, 5000ms);
    EXPECT_EQ(result.outcome, ExchangeOutcome::Ok);
    EXPECT_EQ(output, Bytes(5, 0xEE));

    const auto log = usbdevfs.TakeLog();
    ASSERT_EQ(log.requests.size(), 1u);
    const ControlRequest& sent = log.requests.front();
    EXPECT_EQ(sent.requestType, 0x41);
    EXPECT_EQ(sent.request, 0x02);
    EXPECT_EQ(sent.value, 0);
    EXPECT_EQ(sent.index, 8);
    EXPECT_EQ(sent.length, 16);
    EXPECT_EQ(sent.data, Bytes(input.begin() + 8, input.begin() + 24));
}

TEST_F(LibusbControlTransferTest, DeviceToHostWritesTheAnswerAtTheStartOfTheOutput) {
    reply.data = {0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x10};
    Bytes output(4101, 0xEE);
    auto channel = Open();
    const ExchangeResult result = channel->Exchange(kStatusRequest, output, 5000ms);
    EXPECT_EQ(result.outcome, ExchangeOutcome::Ok);
    EXPECT_EQ(result.bytesReturned, 8u);
    EXPECT_EQ(Bytes(output.begin(), output.begin() + 8), reply.data);
    EXPECT_EQ(output[8], 0xEE);

    const auto log = usbdevfs.TakeLog();
    ASSERT_EQ(log.requests.size(), 1u);
    EXPECT_EQ(log.requests.front().requestType, 0xC1);
    EXPECT_EQ(log.requests.front().length, 8);
    EXPECT_TRUE(log.requests.front().data.empty());
}

TEST_F(LibusbControlTransferTest, DeviceToHostAsksForNoMoreThanTheOutputHolds) {
    const Bytes readRequest{0xC1, 0x01, 0x01, 0x00, 0x08, 0x00, 0x00, 0x10, 0x00}; // 4096 bytes
    reply.data = Bytes(4096, 0x5A);
    Bytes output(100);
    auto channel = Open();
    const ExchangeResult result = channel->Exchange(readRequest, output, 5000ms);
    EXPECT_EQ(result.outcome, ExchangeOutcome::Ok);
    EXPECT_EQ(result.bytesReturned, 100u);
    EXPECT_EQ(usbdevfs.TakeLog().requests.front().length, 100);
}

TEST_F(LibusbControlTransferTest, ShortInputIsRefusedWithoutTouchingTheDevice) {
    const Bytes truncated{0x41, 0x02, 0x00, 0x00, 0x08, 0x00, 0x10, 0x00, 0x01}; // 16 announced
    Bytes output(5);
    auto channel = Open();
    for (const Bytes& input : {Bytes{0xC1, 0x00, 0x00}, truncated}) {
        const ExchangeResult result = channel->Exchange(input, output, 5000ms);
        EXPECT_EQ(result.outcome, ExchangeOutcome::Error);
        EXPECT_EQ(result.errorCode, EINVAL);
    }
    EXPECT_TRUE(usbdevfs.TakeLog().requests.empty());
}

struct FaultCase {
    const char* name;
    ControlReply reply;
    ExchangeOutcome outcome;
    int errorCode;

    friend void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }
};

class LibusbFaultTest : public LibusbControlTransferTest,
                        public ::testing::WithParamInterface<FaultCase> {};

TEST_P(LibusbFaultTest, MapsTheKernelOutcome) {
    reply = GetParam().reply;
    Bytes output(4101);
    auto channel = Open();
    const ExchangeResult result = channel->Exchange(kStatusRequest, output, 50ms);
    EXPECT_EQ(result.outcome, GetParam().outcome);
    EXPECT_EQ(result.errorCode, GetParam().errorCode);
    EXPECT_EQ(result.bytesReturned, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LibusbFaultTest,
    ::testing::Values(FaultCase{"Silent", {{}, 0, 0, true}, ExchangeOutcome::TimedOut, ETIMEDOUT},
                      FaultCase{"Stall", {{}, -EPIPE, 0, false}, ExchangeOutcome::Error, EPIPE},
                      FaultCase{
                          "Vanished", {{}, 0, ENODEV, false}, ExchangeOutcome::Error, ENODEV}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LibusbControlTransferTest, ClosedChannelMakesNoRequest) {
    auto channel = Open();
    ASSERT_EQ(channel->Close(), 0);
    usbdevfs.TakeLog();
    Bytes output(8);
    EXPECT_EQ(channel->Exchange(kStatusRequest, output, 5000ms).errorCode, EBADF);
    EXPECT_EQ(channel->Close(), EBADF);
    const auto log = usbdevfs.TakeLog();
    EXPECT_TRUE(log.requests.empty());
    EXPECT_TRUE(log.released.empty());
}

TEST_F(LibusbControlTransferTest, OpenFailsForAPathThatIsNoPresentUsbDevice) {
    struct Case {
        const char* path;
        int error;
    };
    for (const Case& c : {Case{"/dev/bus/usb/001/009", ENODEV}, Case{"/dev/ttyACM0", ENOENT},
                          Case{"/dev/bus/usb/001/", ENOENT}, Case{"/dev/bus/usb/x/002", ENOENT}}) {
        SCOPED_TRACE(c.path);
        int error = 0;
        EXPECT_EQ(driver.Open(c.path, error), nullptr);
        EXPECT_EQ(error, c.error);
    }
    EXPECT_TRUE(usbdevfs.TakeLog().claimed.empty());
}

TEST_F(LibusbControlTransferTest, OpenLeavesOtherMakersDevicesAlone) {
    UsbdevfsEmulation otherUsbdevfs;
    const UsbPhone other = PhoneAt(5, 0x1234);
    bed.PlugP2K(other, otherUsbdevfs);
    int error = 0;
    EXPECT_EQ(driver.Open(other.NodePath(), error), nullptr);
    EXPECT_EQ(error, ENODEV);
    EXPECT_TRUE(otherUsbdevfs.TakeLog().claimed.empty());
}

} // namespace
} // namespace quillon
