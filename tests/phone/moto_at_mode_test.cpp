#include "phone/moto_at_mode.h"

#include "fakes.h"
#include "item_fixture.h"
#include "reports.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using namespace std::chrono_literals;

Bytes BytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

class ATItemTest : public PhoneItemTest<MotoATModemItem, fake::ModemPortDriver> {
protected:
    ATItemTest() : PhoneItemTest(fake::PhoneDevise(3, DeviseFamily::ATModem)) {}

    fake::ModemPortState& port = driver.state;
};

TEST_F(ATItemTest, SendATCommandWritesTheLineWithCrLf) {
    OpenQuietly();
    EXPECT_TRUE(item.SendATCommand("AT+Mode=8"));
    EXPECT_EQ(port.written, BytesOf("AT+Mode=8\r\n"));
    EXPECT_EQ(port.written.size(), 11u);
    EXPECT_EQ(reports,
              (std::vector<Report>{SubInfo("Phone Write Data"), Info("Phone Send Command")}));
}

struct SwitchCase {
    std::uint8_t mode;
    const char* line; // empty: nothing is sent
};

class ATSwitchModeTest : public ATItemTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(ATSwitchModeTest, SendsTheModeCommand) {
    OpenQuietly();
    item.SwitchMode(GetParam().mode);
    EXPECT_EQ(port.written, BytesOf(GetParam().line));
    if (port.written.empty()) {
        EXPECT_TRUE(reports.empty());
    } else {
        EXPECT_EQ(reports.back(), Info("Phone Switch"));
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, ATSwitchModeTest,
                         ::testing::Values(SwitchCase{0, "AT+Mode=8\r\n"},
                                           SwitchCase{1, "AT+Mode=22\r\n"}, SwitchCase{2, ""},
                                           SwitchCase{255, ""}));

TEST_F(ATItemTest, FailedWriteFailsTheCommandAndTheSwitch) {
    OpenQuietly();
    port.writeLimit = 0;
    item.SwitchMode(0);
    EXPECT_EQ(reports, (std::vector<Report>{
                           SubError("Phone Write Data Failed"), Error("Phone Send Command Failed"),
                           Error("Phone Switch Mode Failed - Error Send Command")}));
}

TEST_F(ATItemTest, ALineCutShortIsNotSent) {
    OpenQuietly();
    port.writeLimit = 4;
    EXPECT_EQ(item.WriteData(BytesOf("AT+Mode=8")), 4);
    EXPECT_FALSE(item.SendATCommand("AT+Mode=8"));
    EXPECT_EQ(reports, (std::vector<Report>{SubError("Phone Write Data Failed"),
                                            SubError("Phone Write Data Failed"),
                                            Error("Phone Send Command Failed")}));
}

TEST_F(ATItemTest, WritesAreAlwaysBounded) {
    OpenQuietly();
    item.WriteData(BytesOf("a"));
    port.timeouts->ReadTotalTimeoutConstant = 0;
    item.SetTimeOut(250);
    item.WriteData(BytesOf("b"));
    EXPECT_EQ(port.writeBounds, (std::vector<std::chrono::milliseconds>{5000ms, 250ms}));
}

TEST_F(ATItemTest, ClosedItemTouchesNoPort) {
    EXPECT_FALSE(item.IsOpen());
    EXPECT_FALSE(item.Close());
    EXPECT_FALSE(item.SendATCommand("AT"));
    item.SwitchMode(0);
    EXPECT_EQ(port.opens, 0);
    EXPECT_EQ(reports, (std::vector<Report>{
                           Error("Close Phone Failed"), SubError("Phone Write Data Failed"),
                           Error("Phone Send Command Failed"), SubError("Phone Write Data Failed"),
                           Error("Phone Send Command Failed"),
                           Error("Phone Switch Mode Failed - Error Send Command")}));
}

TEST_F(ATItemTest, OpenAndCloseReport) {
    EXPECT_TRUE(item.Open());
    EXPECT_TRUE(item.Open()); // alive: no report, no second open
    EXPECT_TRUE(item.Close());
    driver.openError = EACCES;
    EXPECT_FALSE(item.Open());
    EXPECT_EQ(reports, (std::vector<Report>{Info("Open Phone"), Info("Phone Close"),
                                            Error("Open Phone Failed")}));
    EXPECT_EQ(driver.paths.front(), "/dev/fake3");
}

TEST_F(ATItemTest, FailedCloseKeepsThePort) {
    OpenQuietly();
    port.closeError = EIO;
    EXPECT_FALSE(item.Close());
    EXPECT_TRUE(item.IsOpen());
    EXPECT_EQ(reports, std::vector<Report>{Error("Close Phone Failed")});
}

TEST_F(ATItemTest, DeadPortIsClosedByTheProbe) {
    for (const std::optional<std::uint32_t> dead :
         {std::optional<std::uint32_t>{0}, std::optional<std::uint32_t>{}}) {
        port.baudRate = 9600;
        OpenQuietly();
        port.baudRate = dead;
        EXPECT_FALSE(item.IsOpen());
        EXPECT_EQ(reports, std::vector<Report>{Info("Phone Close")});
    }
}

TEST_F(ATItemTest, OpenReappliesTheTimeOut) {
    OpenQuietly();
    item.SetTimeOut(700);
    item.Close();
    port.timeouts = CommTimeouts{};
    port.sets.clear();
    reports.clear();
    EXPECT_TRUE(item.Open());
    ASSERT_EQ(port.sets.size(), 1u);
    EXPECT_EQ(port.sets[0].ReadTotalTimeoutConstant, 700u);
    EXPECT_EQ(reports, (std::vector<Report>{Info("Phone Set TimeOut"), Info("Open Phone")}));
}

TEST_F(ATItemTest, DestroyingAnOpenItemClosesIt) {
    std::vector<Report> seen;
    {
        MotoATModemItem other(fake::PhoneDevise(4, DeviseFamily::ATModem), driver);
        other.SetOnDebugEvent(CollectInto<MotoATModemItem>(seen));
        other.Open();
    }
    EXPECT_EQ(seen, (std::vector<Report>{Info("Open Phone"), Info("Phone Close")}));
}

struct TimeOutCase {
    const char* name;
    std::function<void(fake::ModemPortState&)> setUp;
    std::uint32_t storedAfter;
    std::vector<Report> reports;

    friend void PrintTo(const TimeOutCase& c, std::ostream* out) { *out << c.name; }
};

class SetTimeOutTest : public ATItemTest, public ::testing::WithParamInterface<TimeOutCase> {};

TEST_P(SetTimeOutTest, StoresWhatThePortReadsBack) {
    OpenQuietly();
    GetParam().setUp(port);
    item.SetTimeOut(1000);
    EXPECT_EQ(item.TimeOut(), GetParam().storedAfter);
    EXPECT_EQ(reports, GetParam().reports);
    for (const CommTimeouts& set : port.sets) {
        EXPECT_EQ(set, (CommTimeouts{0, 0, 1000, 0, 1000}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetTimeOutTest,
    ::testing::Values(
        TimeOutCase{
            "ReadBackAsAsked", [](fake::ModemPortState&) {}, 1000, {Info("Phone Set TimeOut")}},
        TimeOutCase{"ReadBackDifferent",
                    [](fake::ModemPortState& p) { p.readBackValue = 900; },
                    900,
                    {Error("Phone Set TimeOut Failed")}},
        TimeOutCase{"SetFails",
                    [](fake::ModemPortState& p) { p.setFails = true; },
                    0,
                    {Error("Phone Set TimeOut Failed")}},
        TimeOutCase{"ReadBackFails",
                    [](fake::ModemPortState& p) { p.readBackFails = true; },
                    0,
                    {Error("Phone Set TimeOut Failed - Error Get TimeOut")}},
        TimeOutCase{"AlreadySet",
                    [](fake::ModemPortState& p) { p.timeouts->ReadTotalTimeoutConstant = 1000; },
                    0,
                    {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ATItemTest, SetTimeOutOnAClosedItemFails) {
    item.SetTimeOut(1000);
    EXPECT_EQ(item.TimeOut(), 0u);
    EXPECT_EQ(reports, std::vector<Report>{Error("Phone Set TimeOut Failed")});
    EXPECT_EQ(port.calls, 0);
}

} // namespace
} // namespace quillon
