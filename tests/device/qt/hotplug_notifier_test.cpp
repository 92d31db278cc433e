#include "platform/hotplug_qt/hotplug_notifier.h"
#include "platform/udev/udev_hotplug_source.h"
#include "support/phone_testbed.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace quillon {
namespace {

using namespace device_test;

// The udev monitor's socket watched by the event loop: a phone plugged in while the loop runs
// reaches the handler on the loop's thread.
TEST(HotPlugNotifierTest, EventLoopHandsArrivalsAndRemovalsToTheHandler) {
    int argc = 1;
    char name[] = "test_device";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);

    PhoneTestbed bed;
    UsbdevfsEmulation usbdevfs;
    UdevHotPlugSource source;
    HotPlugNotifier notifier(source);

    std::vector<DeviceChangeKind> kinds;
    QEventLoop loop;
    source.SetHandler([&](DeviseFamily family, DeviceChangeKind kind) {
        EXPECT_EQ(family, DeviseFamily::P2K);
        kinds.push_back(kind);
        loop.quit();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto runUntilHandled = [&] {
        deadline.start(3000);
        loop.exec();
        deadline.stop();
    };

    const std::string phone = bed.PlugP2K(UsbPhone{}, usbdevfs);
    runUntilHandled();
    EXPECT_EQ(kinds, std::vector<DeviceChangeKind>{DeviceChangeKind::Arrival});

    bed.Unplug(phone);
    runUntilHandled();
    EXPECT_EQ(kinds, (std::vector<DeviceChangeKind>{DeviceChangeKind::Arrival,
                                                    DeviceChangeKind::Removal}));
}

} // namespace
} // namespace quillon
