#include "platform/udev/udev_hotplug_source.h"
#include "support/phone_testbed.h"
#include "support/queued_events.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <utility>

namespace quillon {
namespace {

using namespace device_test;

struct Change {
    DeviseFamily family;
    DeviceChangeKind kind;

    friend bool operator==(const Change&, const Change&) = default;
    friend void PrintTo(const Change& c, std::ostream* out) {
        *out << "family " << static_cast<int>(c.family) << " kind " << static_cast<int>(c.kind);
    }
};
using Changes = std::vector<Change>;

// Each phone mode, plugged into the testbed.
struct ModeCase {
    const char* name;
    DeviseFamily family;
    std::string (*plug)(PhoneTestbed&, const UsbPhone&, UsbdevfsEmulation&, ScsiEmulation&);

    friend void PrintTo(const ModeCase& c, std::ostream* out) { *out << c.name; }
};

std::string PlugP2K(PhoneTestbed& bed, const UsbPhone& phone, UsbdevfsEmulation& usbdevfs,
                    ScsiEmulation&) {
    return bed.PlugP2K(phone, usbdevfs);
}
std::string PlugModem(PhoneTestbed& bed, const UsbPhone& phone, UsbdevfsEmulation&,
                      ScsiEmulation&) {
    return bed.PlugModem(phone, "ttyACM" + std::to_string(phone.port));
}
std::string PlugDisk(PhoneTestbed& bed, const UsbPhone& phone, UsbdevfsEmulation&,
                     ScsiEmulation& scsi) {
    return bed.PlugDisk(phone, std::string("sd") + static_cast<char>('a' + phone.port), scsi);
}

class UdevHotPlugTest : public ::testing::Test {
protected:
    void SetUp() override { source = std::make_unique<UdevHotPlugSource>(); }

    void Listen() {
        source->SetHandler([this](DeviseFamily family, DeviceChangeKind kind) {
            changes.push_back({family, kind});
        });
    }

    // The changes of every event umockdev has queued.
    Changes Drain() {
        changes.clear();
        DeliverQueuedEvents(*source);
        return changes;
    }

    PhoneTestbed bed;
    UsbdevfsEmulation usbdevfs;
    ScsiEmulation scsi;
    std::unique_ptr<UdevHotPlugSource> source;
    Changes changes;
};

class UdevHotPlugModeTest : public UdevHotPlugTest,
                            public ::testing::WithParamInterface<ModeCase> {};

TEST_P(UdevHotPlugModeTest, OnePhoneArrivesOnceAndLeavesOnce) {
    Listen();
    const ModeCase& mode = GetParam();
    const std::string phone = mode.plug(bed, PhoneAt(1), usbdevfs, scsi);
    EXPECT_EQ(Drain(), (Changes{{mode.family, DeviceChangeKind::Arrival}}));
    bed.Unplug(phone);
    EXPECT_EQ(Drain(), (Changes{{mode.family, DeviceChangeKind::Removal}}));
}

TEST_P(UdevHotPlugModeTest, PhonesPresentAtStartDoNotArriveButLeave) {
    const ModeCase& mode = GetParam();
    const std::string phone = mode.plug(bed, PhoneAt(1), usbdevfs, scsi);
    source = std::make_unique<UdevHotPlugSource>();
    Listen();
    EXPECT_EQ(Drain(), Changes{});
    bed.Unplug(phone);
    EXPECT_EQ(Drain(), (Changes{{mode.family, DeviceChangeKind::Removal}}));
}

TEST_P(UdevHotPlugModeTest, TwoPhonesUnpluggedAtOnceLeaveOneByOne) {
    Listen();
    const ModeCase& mode = GetParam();
    const std::string first = mode.plug(bed, PhoneAt(1), usbdevfs, scsi);
    UsbdevfsEmulation secondUsbdevfs;
    ScsiEmulation secondScsi;
    const std::string second = mode.plug(bed, PhoneAt(2), secondUsbdevfs, secondScsi);
    EXPECT_EQ(Drain(), (Changes{{mode.family, DeviceChangeKind::Arrival},
                                {mode.family, DeviceChangeKind::Arrival}}));
    bed.Unplug(first);
    bed.Unplug(second);
    EXPECT_EQ(Drain(), (Changes{{mode.family, DeviceChangeKind::Removal},
                                {mode.family, DeviceChangeKind::Removal}}));
}

INSTANTIATE_TEST_SUITE_P(Modes, UdevHotPlugModeTest,
                         ::testing::Values(ModeCase{"P2K", DeviseFamily::P2K, &PlugP2K},
                                           ModeCase{"Modem", DeviseFamily::ATModem, &PlugModem},
                                           ModeCase{"Disk", DeviseFamily::MassStorage, &PlugDisk}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UdevHotPlugTest, DevicesOfOtherMakersChangeNothing) {
    Listen();
    const std::string disk = bed.PlugDisk(PhoneAt(1, 0x0781), "sdb", scsi);
    const std::string vendorInterface = bed.PlugP2K(PhoneAt(2, 0x1234), usbdevfs);
    EXPECT_EQ(Drain(), Changes{});
    bed.Unplug(disk);
    bed.Unplug(vendorInterface);
    EXPECT_EQ(Drain(), Changes{});
}

TEST_F(UdevHotPlugTest, NothingQueuedReportsNothing) {
    Listen();
    ASSERT_GE(source->FileDescriptor(), 0);
    source->ProcessEvents();
    EXPECT_TRUE(changes.empty());
}

// A handler may run a phone task that lets events in, so the source is called again from
// inside its handler: a phone that arrives meanwhile is reported once, by the inner call.
TEST_F(UdevHotPlugTest, HandlerThatProcessesEventsAgainSeesEachChangeOnce) {
    UsbdevfsEmulation secondUsbdevfs;
    bool plugged = false;
    source->SetHandler([&](DeviseFamily family, DeviceChangeKind kind) {
        changes.push_back({family, kind});
        if (!std::exchange(plugged, true)) {
            bed.PlugP2K(PhoneAt(2), secondUsbdevfs);
            pollfd waiter{source->FileDescriptor(), POLLIN, 0};
            ASSERT_EQ(poll(&waiter, 1, 2000), 1);
            source->ProcessEvents();
        }
    });
    bed.PlugP2K(PhoneAt(1), usbdevfs);
    Drain();
    EXPECT_EQ(changes, (Changes{{DeviseFamily::P2K, DeviceChangeKind::Arrival},
                                {DeviseFamily::P2K, DeviceChangeKind::Arrival}}));
}

} // namespace
} // namespace quillon
