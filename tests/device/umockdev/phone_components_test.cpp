#include "phone/device_change_router.h"
#include "platform/scsi/sg_scsi_driver.h"
#include "platform/serial/termios_modem_port.h"
#include "platform/udev/udev_device_source.h"
#include "platform/udev/udev_hotplug_source.h"
#include "platform/usb/libusb_control_transfer.h"
#include "support/phone_testbed.h"
#include "support/queued_events.h"
#include "support/simulated_phone_usbdevfs.h"

#include <gtest/gtest.h>

#include <array>
#include <poll.h>
#include <unistd.h>

namespace quillon {
namespace {

using namespace device_test;
using Bytes = std::vector<std::uint8_t>;

// Interface strings as phones give them: none of them holds the family text the components look
// for ("Test Command Interface", "Motorola USB Modem", "Disk Drive"); the device source adds it.
constexpr char kP2KInterfaceText[] = "Motorola Test Command";
constexpr char kModemInterfaceText[] = "Motorola Communication Interface";
constexpr char kDiskInterfaceText[] = "";

struct Report {
    std::string text;
    DebugType type;

    friend bool operator==(const Report&, const Report&) = default;
    friend void PrintTo(const Report& r, std::ostream* out) {
        *out << r.text << " (" << static_cast<int>(r.type) << ")";
    }
};

// The three phone-mode components on the real backends, fed by the udev hot-plug source,
// with a simulated phone behind every device node.
class PhoneComponentsTest : public ::testing::Test {
protected:
    PhoneComponentsTest() {
        RouteDeviceChanges(hotPlug, p2k, at, mmc);
        Count(p2k, DeviseFamily::P2K);
        Count(at, DeviseFamily::ATModem);
        Count(mmc, DeviseFamily::MassStorage);
    }
    ~PhoneComponentsTest() override { hotPlug.SetHandler(nullptr); }

    template <class Mode> void Count(Mode& mode, DeviseFamily family) {
        const auto index = static_cast<std::size_t>(family);
        mode.OnArrival = [this, index](auto&) {
            ++arrivals[index];
        };
        mode.OnRemove = [this, index](auto&) {
            ++removals[index];
        };
    }

    int Listed(DeviseFamily family) {
        switch (family) {
        case DeviseFamily::P2K:
            return p2k.DeviseList().Count();
        case DeviseFamily::ATModem:
            return at.DeviseList().Count();
        case DeviseFamily::MassStorage:
            return mmc.DeviseList().Count();
        }
        return -1;
    }

    // Hands every queued udev event to the components.
    void Deliver() { DeliverQueuedEvents(hotPlug); }

    template <class Item> typename Item::DebugEvent Collect() {
        return [this](Item*, const std::string& text, DebugType type, bool) {
            reports.push_back({text, type});
        };
    }

    PhoneTestbed bed;
    sim::SimulatedP2KPhone phone;
    UsbdevfsEmulation usbdevfs{Answering(phone)};
    ScsiEmulation phoneDisk;
    ScsiEmulation otherDisk;

    UdevDeviceSource source;
    UdevHotPlugSource hotPlug;
    LibusbControlTransferDriver usb;
    TermiosModemPortDriver serial;
    SgScsiDriver scsi;
    MotoP2KMode p2k{source, usb};
    MotoATMode at{source, serial};
    MotoMMCMode mmc{source, scsi};

    std::array<int, 3> arrivals{};
    std::array<int, 3> removals{};
    std::vector<Report> reports;
};

struct ModeCase {
    const char* name;
    DeviseFamily family;
    std::string (*plug)(PhoneTestbed&, UsbdevfsEmulation&, ScsiEmulation&);

    friend void PrintTo(const ModeCase& c, std::ostream* out) { *out << c.name; }
};

class PhoneArrivalTest : public PhoneComponentsTest,
                         public ::testing::WithParamInterface<ModeCase> {};

TEST_P(PhoneArrivalTest, ComponentOfTheModeListsThePhoneWhilePluggedIn) {
    const DeviseFamily family = GetParam().family;
    std::array<int, 3> once{};
    once[static_cast<std::size_t>(family)] = 1;

    const std::string plugged = GetParam().plug(bed, usbdevfs, phoneDisk);
    Deliver();
    EXPECT_EQ(arrivals, once);
    EXPECT_EQ(Listed(family), 1);

    bed.Unplug(plugged);
    Deliver();
    EXPECT_EQ(removals, once);
    EXPECT_EQ(Listed(family), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PhoneArrivalTest,
    ::testing::Values(ModeCase{"P2K", DeviseFamily::P2K,
                               [](PhoneTestbed& bed, UsbdevfsEmulation& usbdevfs, ScsiEmulation&) {
                                   return bed.PlugP2K(PhoneAt(1), usbdevfs, kP2KInterfaceText);
                               }},
                      ModeCase{"Modem", DeviseFamily::ATModem,
                               [](PhoneTestbed& bed, UsbdevfsEmulation&, ScsiEmulation&) {
                                   return bed.PlugModem(PhoneAt(2), "ttyACM0", kModemInterfaceText);
                               }},
                      ModeCase{"Disk", DeviseFamily::MassStorage,
                               [](PhoneTestbed& bed, UsbdevfsEmulation&, ScsiEmulation& scsi) {
                                   return bed.PlugDisk(PhoneAt(3), "sda", scsi, kDiskInterfaceText);
                               }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PhoneComponentsTest, OpenP2KItemIsClosedWhenItsPhoneLeaves) {
    const std::string plugged = bed.PlugP2K(PhoneAt(1), usbdevfs, kP2KInterfaceText);
    Deliver();
    ASSERT_EQ(p2k.DeviseList().Count(), 1);
    ASSERT_TRUE(p2k.DeviseList().GetItem(0)->Open());
    usbdevfs.TakeLog();

    bed.Unplug(plugged);
    Deliver();
    EXPECT_EQ(p2k.DeviseList().Count(), 0);
    EXPECT_EQ(usbdevfs.TakeLog().released, std::vector<unsigned>{8});
}

TEST_F(PhoneComponentsTest, SeemsAreReadAndWrittenThroughLibusb) {
    const Bytes stored{0x01, 0x02, 0x03};
    const Bytes changed{0x10, 0x20, 0x30, 0x40, 0x50};
    phone.SetSeem(0x0032, 0x0001, stored);
    bed.PlugP2K(PhoneAt(1), usbdevfs, kP2KInterfaceText);
    Deliver();
    ASSERT_EQ(p2k.DeviseList().Count(), 1);
    MotoP2KModemItem* item = p2k.DeviseList().GetItem(0);
    p2k.SetOnDebug(Collect<MotoP2KModemItem>());
    ASSERT_TRUE(item->Open());

    EXPECT_EQ(item->GetPhoneModel(), "SIM P2K");
    const auto readSeem = [&] {
        Bytes buffer(256);
        std::uint16_t size = 0;
        EXPECT_TRUE(item->ReadSeem(0x0032, 0x0001, 0, 0, buffer, size));
        return Bytes(buffer.begin(), buffer.begin() + size);
    };
    EXPECT_EQ(readSeem(), stored);
    EXPECT_TRUE(
        item->WriteSeem(0x0032, 0x0001, 0, static_cast<std::uint16_t>(changed.size()), changed));
    EXPECT_EQ(phone.Seem(0x0032, 0x0001), changed);
    EXPECT_EQ(readSeem(), changed);
    EXPECT_TRUE(item->Close());

    // Sequence numbers 1 to 4 on the wire, in the order the commands were sent.
    const auto commands = phone.Commands();
    ASSERT_EQ(commands.size(), 4u);
    const std::uint16_t codes[] = {0x20, 0x20, 0x2F, 0x20};
    for (std::size_t i = 0; i < commands.size(); ++i) {
        EXPECT_EQ(commands[i].sequence, i + 1);
        EXPECT_EQ(commands[i].code, codes[i]);
    }
    EXPECT_EQ(reports.back(), (Report{"Close Phone", DebugType::dtInformation}));
}

TEST_F(PhoneComponentsTest, FilesAreReadAndWrittenThroughLibusb) {
    Bytes content(3000);
    for (std::size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<std::uint8_t>(i * 7);
    }
    phone.SetFile("/a/mobile/picture/logo.gif", content);
    bed.PlugP2K(PhoneAt(1), usbdevfs, kP2KInterfaceText);
    Deliver();
    ASSERT_EQ(p2k.DeviseList().Count(), 1);
    MotoP2KModemItem* item = p2k.DeviseList().GetItem(0);
    ASSERT_TRUE(item->Open());

    ASSERT_TRUE(item->FileOpen("/a/mobile/picture/logo.gif", 0x80));
    Bytes buffer(4096);
    const std::int32_t read = item->FileRead(buffer, 4096);
    ASSERT_EQ(read, 3000);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + read), content);
    EXPECT_TRUE(item->FileClose());

    const Bytes written{'Q', 'u', 'i', 'l', 'l', 'o', 'n'};
    ASSERT_TRUE(item->FileOpen("/a/copy.bin", 0));
    EXPECT_TRUE(item->FileWrite(static_cast<std::int32_t>(written.size()), written));
    EXPECT_TRUE(item->FileClose());
    EXPECT_EQ(phone.File("/a/copy.bin"), written);
}

// What the application does when a phone arrives in AT modem mode.
TEST_F(PhoneComponentsTest, ModemPhoneIsAskedForP2KModeOnItsPort) {
    bed.PlugModem(PhoneAt(2), "ttyACM0", kModemInterfaceText);
    const int master = bed.ModemMaster("ttyACM0");
    at.OnArrival = [](MotoMode<MotoATModemItem>& sender) {
        for (int i = 0; i < sender.DeviseList().Count(); ++i) {
            MotoATModemItem* item = sender.DeviseList().GetItem(i);
            ASSERT_TRUE(item->Open());
            item->SwitchMode(0);
            EXPECT_TRUE(item->Close());
        }
    };
    Deliver();
    ASSERT_EQ(at.DeviseList().Count(), 1);

    Bytes received(64);
    pollfd waiter{master, POLLIN, 0};
    ASSERT_EQ(poll(&waiter, 1, 2000), 1);
    const ssize_t n = read(master, received.data(), received.size());
    ASSERT_GE(n, 0);
    received.resize(static_cast<std::size_t>(n));
    const std::string line = "AT+Mode=8\r\n";
    EXPECT_EQ(received, Bytes(line.begin(), line.end()));
}

// What the application does when a phone arrives in mass-storage mode: every listed disk is
// switched, and only the phone's disk is listed.
class MassStorageSwitchTest : public PhoneComponentsTest {
protected:
    void SetUp() override {
        bed.PlugDisk(PhoneAt(3), "sda", phoneDisk, kDiskInterfaceText);
        bed.PlugDisk(PhoneAt(4, 0x0781), "sdb", otherDisk, kDiskInterfaceText);
        mmc.OnArrival = [this](MotoMode<MotoMMCModemItem>& sender) {
            sender.SetOnDebug(Collect<MotoMMCModemItem>());
            for (int i = 0; i < sender.DeviseList().Count(); ++i) {
                MotoMMCModemItem* item = sender.DeviseList().GetItem(i);
                if (item->Open()) {
                    item->SwitchMode(1);
                    item->Close();
                }
            }
        };
    }
};

TEST_F(MassStorageSwitchTest, OnlyThePhoneDiskGetsTheVendorCommand) {
    Deliver();
    ASSERT_EQ(mmc.DeviseList().Count(), 1);
    EXPECT_EQ(mmc.DeviseList().GetItem(0)->ModemInfo().DevicePath, "/dev/sda");
    const auto commands = phoneDisk.Commands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands.front().cdb, (Bytes{0xD6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0}));
    EXPECT_TRUE(otherDisk.Commands().empty());
    EXPECT_EQ(reports, (std::vector<Report>{{"Open MCC", DebugType::dtInformation},
                                            {"MCC Switch", DebugType::dtInformation},
                                            {"Close MCC", DebugType::dtInformation}}));
}

TEST_F(MassStorageSwitchTest, RefusedCommandIsReported) {
    phoneDisk.RefuseWith(EPERM);
    Deliver();
    EXPECT_EQ(phoneDisk.Commands().size(), 1u);
    EXPECT_EQ(reports, (std::vector<Report>{{"Open MCC", DebugType::dtInformation},
                                            {"MCC Switch Failed", DebugType::dtError},
                                            {"Close MCC", DebugType::dtInformation}}));
}

} // namespace
} // namespace quillon
