#include "phone/device_change_router.h"
#include "phone/moto_at_mode.h"
#include "phone/moto_mmc_mode.h"
#include "phone/moto_p2k_mode.h"
#include "phone/support/simulated_p2k_driver.h"

#include "fakes.h"
#include "reports.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quillon {
namespace {

using fake::PhoneDevise;

std::vector<std::uint32_t> DevInsts(const MotoP2KModemList& list) {
    std::vector<std::uint32_t> result;
    for (int i = 0; i < list.Count(); ++i) {
        result.push_back(list.GetItem(i)->ModemInfo().DevInst);
    }
    return result;
}

class P2KModeTest : public ::testing::Test {
protected:
    void Present(std::initializer_list<std::uint32_t> devInsts) {
        auto& list = source.present[DeviseFamily::P2K];
        list.clear();
        for (const std::uint32_t devInst : devInsts) {
            list.push_back(PhoneDevise(devInst, DeviseFamily::P2K));
        }
    }

    MotoP2KMode& Mode() {
        if (!mode) {
            mode = std::make_unique<MotoP2KMode>(source, driver, clock);
            mode->OnArrival = [this](auto&) {
                ++arrivals;
            };
            mode->OnRemove = [this](auto&) {
                ++removals;
            };
        }
        return *mode;
    }

    fake::DeviceSource source;
    sim::SimulatedP2KPhone phone;
    sim::SimulatedP2KDriver driver{phone, "/dev/fake1"};
    sim::ManualClock clock;
    std::unique_ptr<MotoP2KMode> mode;
    int arrivals = 0;
    int removals = 0;
};

TEST_F(P2KModeTest, PhonesPresentAtStartAreListedWithoutAnEvent) {
    Present({1, 2});
    EXPECT_EQ(DevInsts(Mode().DeviseList()), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(arrivals, 0);
}

TEST_F(P2KModeTest, TwoPhonesUnpluggedAtOnce) {
    Present({1, 2});
    Mode();
    Present({});
    Mode().DeviceChange(DeviceChangeKind::Removal);
    Mode().DeviceChange(DeviceChangeKind::Removal);
    EXPECT_EQ(Mode().DeviseList().Count(), 0);
    EXPECT_EQ(removals, 2);
    EXPECT_EQ(arrivals, 0);
}

TEST_F(P2KModeTest, FirstTwoOfThreeGoInOneRefresh) {
    Present({1, 2, 3});
    MotoP2KModemItem* third = Mode().DeviseList().GetItem(2);
    Present({3});
    Mode().DeviceChange(DeviceChangeKind::Removal);
    EXPECT_EQ(DevInsts(Mode().DeviseList()), std::vector<std::uint32_t>{3});
    EXPECT_EQ(Mode().DeviseList().GetItem(0), third);
}

TEST_F(P2KModeTest, OtherChangesLeaveTheListAlone) {
    Present({1});
    Mode();
    const int enumerations = source.enumerations;
    Present({});
    Mode().DeviceChange(DeviceChangeKind::None);
    EXPECT_EQ(source.enumerations, enumerations);
    EXPECT_EQ(Mode().DeviseList().Count(), 1);
    EXPECT_EQ(arrivals + removals, 0);
}

TEST_F(P2KModeTest, AStayingPhoneKeepsItsItemHandleAndState) {
    Present({1});
    MotoP2KModemItem* first = Mode().DeviseList().GetItem(0);
    ASSERT_TRUE(first->Open());
    std::uint16_t size = 0;
    Bytes model(35);
    first->ReadSeem(0x0117, 1, 0, 0, model, size);

    Present({2, 1});
    Mode().DeviceChange(DeviceChangeKind::Arrival);
    EXPECT_EQ(DevInsts(Mode().DeviseList()), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(Mode().DeviseList().GetItem(0), first);
    EXPECT_TRUE(first->IsOpen());
    EXPECT_EQ(first->SequenceNumber(), 1u);
    EXPECT_FALSE(Mode().DeviseList().GetItem(1)->IsOpen());
    EXPECT_EQ(arrivals, 1);
}

TEST_F(P2KModeTest, ARemovedOpenPhoneIsClosed) {
    Present({1});
    std::vector<Report> reports;
    Mode().SetOnDebug(CollectInto<MotoP2KModemItem>(reports));
    Mode().DeviseList().GetItem(0)->Open();
    Present({});
    Mode().DeviceChange(DeviceChangeKind::Removal);
    EXPECT_EQ(reports, (std::vector<Report>{Info("Open Phone"), Info("Close Phone")}));
    EXPECT_EQ(driver.OpenChannels(), 0);
}

TEST_F(P2KModeTest, DebugHandlerReachesEveryItemAndNewOnes) {
    Present({1});
    std::vector<Report> reports;
    Mode().SetOnDebug(CollectInto<MotoP2KModemItem>(reports));
    Present({1, 2});
    Mode().DeviceChange(DeviceChangeKind::Arrival);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(Mode().DeviseList().GetItem(i)->OnDebugEvent()) << i;
    }
    Mode().SetOnDebug(nullptr);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(Mode().DeviseList().GetItem(i)->OnDebugEvent()) << i;
    }
    EXPECT_FALSE(Mode().OnDebug());
}

TEST_F(P2KModeTest, NothingEscapesADeviceChange) {
    Present({});
    Mode().OnArrival = [](auto&) {
        throw std::runtime_error("handler");
    };
    Present({1});
    EXPECT_NO_THROW(Mode().DeviceChange(DeviceChangeKind::Arrival));
    EXPECT_EQ(Mode().DeviseList().Count(), 1);
}

TEST_F(P2KModeTest, ListLookups) {
    Present({10, 20});
    MotoP2KModemList& list = Mode().DeviseList();
    EXPECT_EQ(list.GetItem(-1), nullptr);
    EXPECT_EQ(list.GetItem(2), nullptr);
    EXPECT_EQ(list.FindByDevInst(20), list.GetItem(1));
    EXPECT_EQ(list.FindByDevInst(30), nullptr);
    EXPECT_EQ(list.AddDevise(PhoneDevise(10, DeviseFamily::P2K)), nullptr);
    MotoP2KModemItem* added = list.AddDevise(PhoneDevise(30, DeviseFamily::P2K));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(list.GetItem(2), added);
    EXPECT_EQ(added->ModemInfo().DevicePath, "/dev/fake30");
}

TEST_F(P2KModeTest, AboutTextIsFixed) {
    Present({});
    const std::string about = Mode().About();
    EXPECT_NE(about.find("Corvel"), std::string::npos);
    Mode().SetAbout("changed");
    EXPECT_EQ(Mode().About(), about);
}

// The three components on one device source, with drivers that reach no hardware.
struct ThreeModes {
    explicit ThreeModes(fake::DeviceSource& source)
        : components{MotoP2KMode(source, p2kDriver), MotoATMode(source, portDriver),
                     MotoMMCMode(source, scsiDriver)} {}

    sim::SimulatedP2KPhone phone;
    sim::SimulatedP2KDriver p2kDriver{phone};
    fake::ModemPortDriver portDriver;
    fake::ScsiDriver scsiDriver;
    struct {
        MotoP2KMode p2k;
        MotoATMode at;
        MotoMMCMode mmc;
    } components;
};

// Devices the source hands over that a family's list must not take.
struct RefusedCase {
    const char* name;
    void (*spoil)(USBDevise&);

    friend void PrintTo(const RefusedCase& c, std::ostream* out) { *out << c.name; }
};

class RefusedDeviseTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedDeviseTest, IsNotListedByAnyFamily) {
    fake::DeviceSource source;
    for (const DeviseFamily family :
         {DeviseFamily::P2K, DeviseFamily::ATModem, DeviseFamily::MassStorage}) {
        USBDevise devise = PhoneDevise(1, family);
        GetParam().spoil(devise);
        source.present[family] = {devise, PhoneDevise(2, family)};
    }
    ThreeModes modes(source);
    auto& [p2k, at, mmc] = modes.components;
    EXPECT_EQ(p2k.DeviseList().Count(), 1);
    EXPECT_EQ(at.DeviseList().Count(), 1);
    EXPECT_EQ(mmc.DeviseList().Count(), 1);
    EXPECT_EQ(mmc.DeviseList().GetItem(0)->ModemInfo().DevInst, 2u);
}

INSTANTIATE_TEST_SUITE_P(Devises, RefusedDeviseTest,
                         ::testing::Values(RefusedCase{"OtherVendor",
                                                       [](USBDevise& d) {
                                                           d.HardwareID = "USB\\VID_0781&PID_5567";
                                                       }},
                                           RefusedCase{"NoHardwareId",
                                                       [](USBDevise& d) {
                                                           d.HardwareID.clear();
                                                       }},
                                           RefusedCase{"NotOnUsb",
                                                       [](USBDevise& d) {
                                                           d.CompatibleIDs = "PCI\\CC_0106";
                                                       }},
                                           RefusedCase{"OtherDescription",
                                                       [](USBDevise& d) {
                                                           d.DeviceDesc = "Motorola Phone";
                                                       }}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IsMotorolaDeviseTest, MatchesTheVendorInAnyCase) {
    USBDevise devise;
    for (const char* id : {"USB\\VID_22B8&PID_4902", "USB\\vid_22b8&pid_4902"}) {
        devise.HardwareID = id;
        EXPECT_TRUE(IsMotorolaDevise(devise)) << id;
    }
    for (const char* id : {"USB\\VID_22B80&PID_1", "USB\\VID_122B8&PID_1", "VID_22B8", ""}) {
        devise.HardwareID = id;
        EXPECT_FALSE(IsMotorolaDevise(devise)) << id;
    }
}

TEST(RouteDeviceChangesTest, EachFamilyReachesItsOwnComponent) {
    fake::DeviceSource source;
    fake::HotPlugSource hotPlug;
    ThreeModes modes(source);
    auto& [p2k, at, mmc] = modes.components;
    std::vector<std::string> events;
    p2k.OnArrival = [&](auto&) {
        events.push_back("p2k arrival");
    };
    at.OnArrival = [&](auto&) {
        events.push_back("at arrival");
    };
    at.OnRemove = [&](auto&) {
        events.push_back("at removal");
    };
    mmc.OnArrival = [&](auto&) {
        events.push_back("mmc arrival");
    };
    RouteDeviceChanges(hotPlug, p2k, at, mmc);

    source.present[DeviseFamily::ATModem] = {PhoneDevise(4, DeviseFamily::ATModem)};
    hotPlug.handler(DeviseFamily::ATModem, DeviceChangeKind::Arrival);
    hotPlug.handler(DeviseFamily::MassStorage, DeviceChangeKind::Arrival);
    hotPlug.handler(DeviseFamily::ATModem, DeviceChangeKind::Removal);
    hotPlug.handler(DeviseFamily::P2K, DeviceChangeKind::None);
    EXPECT_EQ(events, (std::vector<std::string>{"at arrival", "mmc arrival", "at removal"}));
    EXPECT_EQ(at.DeviseList().Count(), 1);
    EXPECT_EQ(p2k.DeviseList().Count(), 0);
    hotPlug.SetHandler(nullptr);
}

} // namespace
} // namespace quillon
