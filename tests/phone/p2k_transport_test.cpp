#include "p2k_fixture.h"

#include <cerrno>

namespace quillon {
namespace {

using namespace std::chrono_literals;
using sim::WireEvent;

const Bytes kStatusRequest{0xC1, 0x00, 0x00, 0x00, 0x08, 0x00, 0x08, 0x00, 0x00};

bool SendEmpty(MotoP2KModemItem& item, std::uint16_t command = 0x20) {
    Bytes reply(16);
    std::uint16_t length = 0;
    return item.SendCommand(command, {}, reply, length);
}

TEST(Swap16Test, ExchangesTheTwoBytes) {
    EXPECT_EQ(Swap16(0x1234), 0x3412);
    EXPECT_EQ(Swap16(0x00FF), 0xFF00);
    EXPECT_EQ(Swap16(Swap16(0xBEEF)), 0xBEEF);
}

using P2KChannelTest = P2KItemTest;

TEST_F(P2KChannelTest, OpenAndCloseReport) {
    EXPECT_FALSE(item.IsOpen());
    EXPECT_TRUE(item.Open());
    EXPECT_TRUE(item.IsOpen());
    EXPECT_TRUE(item.Open()); // already open: no second report, no second open
    EXPECT_TRUE(item.Close());
    EXPECT_FALSE(item.IsOpen());
    EXPECT_EQ(reports, (std::vector<Report>{Info("Open Phone"), Info("Close Phone")}));
    EXPECT_EQ(driver.Opens(), 1);
    EXPECT_EQ(driver.Closes(), 1);
}

TEST_F(P2KChannelTest, FailedOpenLeavesTheChannelClosed) {
    driver.SetOpenError(EACCES);
    EXPECT_FALSE(item.Open());
    EXPECT_FALSE(item.IsOpen());
    EXPECT_EQ(reports, std::vector<Report>{Error("Open Phone Failed")});
}

TEST_F(P2KChannelTest, CloseOfAClosedItemFailsWithoutTouchingTheDriver) {
    EXPECT_FALSE(item.Close());
    EXPECT_EQ(reports, std::vector<Report>{Error("Close Phone Failed")});
    EXPECT_EQ(driver.Closes(), 0);
}

TEST_F(P2KChannelTest, FailedCloseKeepsTheChannel) {
    OpenQuietly();
    driver.SetCloseError(EIO);
    EXPECT_FALSE(item.Close());
    EXPECT_TRUE(item.IsOpen());
    EXPECT_EQ(reports, std::vector<Report>{Error("Close Phone Failed")});
    driver.SetCloseError(0);
    EXPECT_TRUE(item.Close());
}

TEST_F(P2KChannelTest, DestroyingAnOpenItemClosesIt) {
    std::vector<Report> seen;
    {
        MotoP2KModemItem other(Devise(), driver, clock);
        other.SetOnDebugEvent(
            [&](MotoP2KModemItem*, const std::string& text, DebugType type, bool subError) {
                seen.push_back({text, type, subError});
            });
        ASSERT_TRUE(other.Open());
    }
    EXPECT_EQ(seen, (std::vector<Report>{Info("Open Phone"), Info("Close Phone")}));
    EXPECT_EQ(driver.OpenChannels(), 0);
}

TEST_F(P2KChannelTest, DoDebugWithoutAHandlerDoesNothing) {
    item.SetOnDebugEvent(nullptr);
    item.DoDebug("x", DebugType::dtError, true);
    EXPECT_TRUE(item.Open());
}

using SendCommandTest = P2KItemTest;

// The first command of an item, seem 0117_0001, and everything it puts on the wire.
TEST_F(SendCommandTest, FirstSeemReadOnTheWire) {
    phone.SetSeem(0x0117, 0x0001, {0xAA, 0xBB, 0xCC});
    OpenQuietly();
    Bytes seem(255);
    std::uint16_t size = 0;
    ASSERT_TRUE(item.ReadSeem(0x0117, 0x0001, 0, 0, seem, size));

    const auto& trace = driver.Trace();
    ASSERT_EQ(trace.size(), 4u);
    EXPECT_EQ(trace[0].kind, WireEvent::Kind::Exchange);
    EXPECT_EQ(trace[0].input, (Bytes{0x41, 0x02, 0x00, 0x00, 0x08, 0x00, 0x10, 0x00, 0x00,
                                     0x01, 0x00, 0x20, 0x00, 0x08, 0x00, 0x00, 0x01, 0x17,
                                     0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(trace[0].outputSize, 5u);
    EXPECT_EQ(trace[0].duration, 5000ms);
    EXPECT_EQ(trace[1].input, kStatusRequest);
    EXPECT_EQ(trace[1].outputSize, kP2KReplyBufferSize);
    EXPECT_EQ(trace[2].kind, WireEvent::Kind::Sleep);
    EXPECT_EQ(trace[2].duration, 1ms);
    // Reply of 4 bytes: s = 0x0010, so the read asks for 2 * 1 + 0x10 + 4 = 0x16 bytes.
    EXPECT_EQ(trace[3].input, (Bytes{0xC1, 0x01, 0x01, 0x00, 0x08, 0x00, 0x16, 0x00, 0x00}));
    EXPECT_EQ(trace[3].outputSize, kP2KReplyBufferSize);
    EXPECT_EQ(size, 3);
    EXPECT_EQ(Bytes(seem.begin(), seem.begin() + 3), (Bytes{0xAA, 0xBB, 0xCC}));
}

struct PayloadSizeCase {
    std::size_t n;
    Bytes dataStageLength; // bytes 6-7, little-endian
    Bytes payloadLength;   // bytes 12-13, big-endian
};

class PayloadSizeTest : public P2KItemTest,
                        public ::testing::WithParamInterface<PayloadSizeCase> {};

TEST_P(PayloadSizeTest, HeaderCarriesTheLengths) {
    OpenQuietly();
    const Bytes payload(GetParam().n, 0x5A);
    Bytes reply(16);
    std::uint16_t length = 0;
    item.SendCommand(0x4A, payload, reply, length);

    const Bytes sent = Exchanges().at(0).input;
    ASSERT_EQ(sent.size(), GetParam().n + 18);
    EXPECT_EQ(Bytes(sent.begin() + 6, sent.begin() + 8), GetParam().dataStageLength);
    EXPECT_EQ(Bytes(sent.begin() + 12, sent.begin() + 14), GetParam().payloadLength);
    EXPECT_EQ(Bytes(sent.begin() + 10, sent.begin() + 12), (Bytes{0x00, 0x4A}));
    EXPECT_EQ(Bytes(sent.begin() + 16, sent.end() - 2), payload);
    EXPECT_EQ(Bytes(sent.end() - 2, sent.end()), (Bytes{0, 0}));
}

INSTANTIATE_TEST_SUITE_P(Sizes, PayloadSizeTest,
                         ::testing::Values(PayloadSizeCase{0, {0x08, 0x00}, {0x00, 0x00}},
                                           PayloadSizeCase{1, {0x09, 0x00}, {0x00, 0x01}},
                                           PayloadSizeCase{263, {0x0F, 0x01}, {0x01, 0x07}},
                                           PayloadSizeCase{4096, {0x08, 0x10}, {0x10, 0x00}}));

TEST_F(SendCommandTest, PayloadBeyondTheRequestBufferIsNotSent) {
    OpenQuietly();
    const Bytes payload(kP2KMaxPayload + 1);
    Bytes reply(1);
    std::uint16_t length = 0;
    EXPECT_FALSE(item.SendCommand(0x4A, payload, reply, length));
    EXPECT_TRUE(Exchanges().empty());
}

TEST_F(SendCommandTest, SequenceNumbersCountEveryCommandIncludingFailedOnes) {
    OpenQuietly();
    EXPECT_EQ(item.SequenceNumber(), 0u);
    EXPECT_TRUE(SendEmpty(item));
    SetFaults([](sim::PhoneFaults& f) { f.sendErrorCode = EPIPE; });
    EXPECT_FALSE(SendEmpty(item));
    SetFaults([](sim::PhoneFaults& f) { f.sendErrorCode = 0; });
    EXPECT_TRUE(SendEmpty(item));
    EXPECT_EQ(item.SequenceNumber(), 3u);

    const auto commands = phone.Commands();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].sequence, 1);
    EXPECT_EQ(commands[1].sequence, 3);
    const auto exchanges = Exchanges();
    const Bytes& third = exchanges[exchanges.size() - 3].input;
    EXPECT_EQ(Bytes(third.begin() + 8, third.begin() + 10), (Bytes{0x00, 0x03}));
}

TEST_F(SendCommandTest, SequenceNumberStaysWithTheItemAcrossCloseAndOpen) {
    OpenQuietly();
    SendEmpty(item);
    item.Close();
    item.Open();
    SendEmpty(item);
    EXPECT_EQ(phone.Commands().back().sequence, 2);
}

class NotReadyTest : public P2KItemTest, public ::testing::WithParamInterface<std::uint8_t> {};

TEST_P(NotReadyTest, TwoHundredPollsEndTheCommandWithoutARead) {
    SetFaults([](sim::PhoneFaults& f) { f.pendingCount = GetParam(); });
    OpenQuietly();
    EXPECT_FALSE(SendEmpty(item));

    const auto& trace = driver.Trace();
    ASSERT_EQ(trace.size(), 201u);
    for (std::size_t i = 1; i < trace.size(); ++i) {
        EXPECT_EQ(trace[i].kind, WireEvent::Kind::Exchange);
        EXPECT_EQ(trace[i].input, kStatusRequest);
    }
}

INSTANTIATE_TEST_SUITE_P(PendingCounts, NotReadyTest, ::testing::Values(0, 3, 4, 255));

TEST_F(SendCommandTest, PendingCountTwoIsReady) {
    SetFaults([](sim::PhoneFaults& f) { f.pendingCount = 2; });
    OpenQuietly();
    EXPECT_TRUE(SendEmpty(item));
    // Two pending replies: the read asks for 2 * 2 + s + 4 bytes.
    const Bytes read = Exchanges().back().input;
    EXPECT_EQ(read[2], 2);
}

TEST_F(SendCommandTest, PollsFollowEachOtherWithoutPauseUntilReady) {
    SetFaults([](sim::PhoneFaults& f) { f.pollsBeforeReady = 5; });
    OpenQuietly();
    EXPECT_TRUE(SendEmpty(item));

    const auto& trace = driver.Trace();
    ASSERT_EQ(trace.size(), 1u + 6u + 1u + 1u);
    for (std::size_t i = 1; i <= 6; ++i) {
        EXPECT_EQ(trace[i].input, kStatusRequest) << i;
    }
    EXPECT_EQ(trace[7].kind, WireEvent::Kind::Sleep);
    EXPECT_EQ(trace[8].input[1], 0x01);
}

TEST_F(SendCommandTest, ReadRequestLengthComesFromTheStatus) {
    OpenQuietly();
    // Pending count 2, size 0x0120: 2 * 2 + 0x120 + 4 = 296 bytes.
    phone.SetRawStatusAnswer(Bytes{0, 0, 0, 0, 0, 0x02, 0x01, 0x20});
    SendEmpty(item);
    EXPECT_EQ(Exchanges().back().input,
              (Bytes{0xC1, 0x01, 0x02, 0x00, 0x08, 0x00, 0x28, 0x01, 0x00}));
}

TEST_F(SendCommandTest, ReadRequestNeverAsksForMoreThanTheReplyBufferHolds) {
    OpenQuietly();
    phone.SetRawStatusAnswer(Bytes{0, 0, 0, 0, 0, 0x01, 0xFF, 0xFF});
    SendEmpty(item);
    const Bytes read = Exchanges().back().input;
    EXPECT_EQ((read[7] << 8) | read[6], static_cast<int>(kP2KReplyBufferSize));
}

TEST_F(SendCommandTest, ASendTimeOutStillPollsAndReads) {
    SetFaults([](sim::PhoneFaults& f) { f.sendTimesOut = true; });
    OpenQuietly();
    EXPECT_TRUE(SendEmpty(item));
    EXPECT_EQ(Exchanges().size(), 3u);
}

TEST_F(SendCommandTest, ASendThatFailsSendsNothingElse) {
    SetFaults([](sim::PhoneFaults& f) { f.sendErrorCode = EPIPE; });
    OpenQuietly();
    EXPECT_FALSE(SendEmpty(item));
    EXPECT_EQ(Exchanges().size(), 1u);
}

TEST_F(SendCommandTest, AllPollsShareOneDeadline) {
    driver.SetLatency(clock, 100ms);
    SetFaults([](sim::PhoneFaults& f) { f.pollsBeforeReady = sim::PhoneFaults::kNeverReady; });
    OpenQuietly();
    EXPECT_FALSE(SendEmpty(item));

    const auto exchanges = Exchanges();
    ASSERT_EQ(exchanges.size(), 1u + 50u);
    EXPECT_EQ(exchanges[1].duration, 5000ms);
    EXPECT_EQ(exchanges.back().duration, 100ms);
    EXPECT_LE(clock.Now(), 100ms + kP2KPollPhase);
}

TEST_F(SendCommandTest, AFailedReadFailsTheCommand) {
    SetFaults([](sim::PhoneFaults& f) { f.readErrorCode = EIO; });
    OpenQuietly();
    Bytes reply(16, 0xEE);
    std::uint16_t length = 7;
    EXPECT_FALSE(item.SendCommand(0x20, {}, reply, length));
    EXPECT_EQ(length, 0);
    EXPECT_EQ(reply, Bytes(16, 0xEE));
}

TEST_F(SendCommandTest, AReadTooShortToHoldTheLengthFailsTheCommand) {
    OpenQuietly();
    phone.SetRawReadAnswer(Bytes(15, 0x01));
    EXPECT_FALSE(SendEmpty(item));
}

TEST_F(SendCommandTest, AShortStatusIsNotReady) {
    OpenQuietly();
    phone.SetRawStatusAnswer(Bytes{0, 0, 0, 0, 0, 1});
    EXPECT_FALSE(SendEmpty(item));
    EXPECT_EQ(Exchanges().size(), 201u);
}

struct OverlongCase {
    std::size_t dataSize;       // bytes the phone really sends
    std::uint16_t declared;     // L it states
    std::size_t room;           // the caller's reply buffer
    std::size_t expectedCopied; // bytes that land in the caller's buffer
};

class OverlongReplyTest : public P2KItemTest, public ::testing::WithParamInterface<OverlongCase> {};

TEST_P(OverlongReplyTest, CopyStaysInsideEveryBuffer) {
    const OverlongCase c = GetParam();
    phone.SetNextReplyData(Bytes(c.dataSize, 0x77));
    SetFaults([&](sim::PhoneFaults& f) { f.declaredLength = c.declared; });
    OpenQuietly();
    Bytes reply(c.room + 8, 0xEE);
    std::uint16_t length = 0;
    ASSERT_TRUE(item.SendCommand(0x20, {}, std::span(reply).first(c.room), length));
    EXPECT_EQ(length, c.declared);
    const auto copied = static_cast<std::size_t>(std::count(reply.begin(), reply.end(), 0x77));
    EXPECT_EQ(copied, c.expectedCopied);
    EXPECT_EQ(Bytes(reply.end() - 8, reply.end()), Bytes(8, 0xEE));
}

INSTANTIATE_TEST_SUITE_P(
    Replies, OverlongReplyTest,
    ::testing::Values(OverlongCase{300, 300, 256, 256}, // longer than the service's room
                      OverlongCase{5000, 5000, 8192, kP2KReplyDataRoom}, // than the reply buffer
                      OverlongCase{3, 200, 256, 3},                      // states more than it sent
                      OverlongCase{40, 10, 256, 10},                     // states less than it sent
                      OverlongCase{1, 0xFFFF, 1, 1}));

TEST_F(SendCommandTest, AClosedItemFailsAtOnce) {
    EXPECT_FALSE(SendEmpty(item));
    EXPECT_TRUE(driver.Trace().empty());
    EXPECT_EQ(item.SequenceNumber(), 0u);
    EXPECT_TRUE(reports.empty());
}

TEST_F(SendCommandTest, APhoneThatDisappearsMidCommand) {
    // Gone after the send and a ready status: the read fails, and so does the command.
    SetFaults([](sim::PhoneFaults& f) { f.transfersBeforeGone = 2; });
    OpenQuietly();
    EXPECT_FALSE(SendEmpty(item));
    EXPECT_EQ(Exchanges().size(), 3u);
    EXPECT_TRUE(item.Close());
    EXPECT_FALSE(item.Open());
}

} // namespace
} // namespace quillon
