#include "phone/support/simulated_p2k_phone.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillon::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kCommandSetup{0x41, 0x02, 0x00, 0x00, 0x08, 0x00, 0x10, 0x00};
const Bytes kReadSeemStage{0x00, 0x01, 0x00, 0x20, 0x00, 0x08, 0x00, 0x00,
                           0x01, 0x17, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00};
const Bytes kStatusSetup{0xC1, 0x00, 0x00, 0x00, 0x08, 0x00, 0x08, 0x00};

Bytes ReadSetup(std::uint8_t count, std::uint16_t length) {
    return {0xC1,
            0x01,
            count,
            0x00,
            0x08,
            0x00,
            static_cast<std::uint8_t>(length),
            static_cast<std::uint8_t>(length >> 8)};
}

// The phone's side of one seem read, as the host sees it at the transfer level.
TEST(SimulatedP2KPhoneTest, AnswersASeemReadWithTheReplyLayout) {
    SimulatedP2KPhone phone;
    phone.SetSeem(0x0117, 0x0001, {0xAA, 0xBB, 0xCC});

    EXPECT_EQ(phone.Transfer(kCommandSetup, kReadSeemStage).outcome, ExchangeOutcome::Ok);
    const TransferAnswer status = phone.Transfer(kStatusSetup, {});
    EXPECT_EQ(status.data, (Bytes{0, 0, 0, 0, 0, 1, 0x00, 0x10}));

    const TransferAnswer read = phone.Transfer(ReadSetup(1, 0x16), {});
    EXPECT_EQ(read.data, (Bytes{0x00, 0x01, 0x00, 0x10, 0x00, 0x10, 0x00, 0x01, 0x00, 0x20, 0,
                                0,    0,    0,    0x00, 0x04, 0,    0,    0x00, 0xAA, 0xBB, 0xCC}));
    ASSERT_EQ(phone.Commands().size(), 1u);
    EXPECT_EQ(phone.Commands()[0].code, 0x20);
    EXPECT_EQ(phone.Commands()[0].payload, (Bytes{0x01, 0x17, 0x00, 0x01, 0, 0, 0, 0}));
}

TEST(SimulatedP2KPhoneTest, FaultsShowOnDemand) {
    SimulatedP2KPhone phone;
    PhoneFaults faults;
    faults.pollsBeforeReady = 2;
    faults.transfersBeforeGone = 4;
    phone.SetFaults(faults);

    phone.Transfer(kCommandSetup, kReadSeemStage);
    EXPECT_EQ(phone.Transfer(kStatusSetup, {}).data[5], 0);
    EXPECT_EQ(phone.Transfer(kStatusSetup, {}).data[5], 0);
    EXPECT_EQ(phone.Transfer(kStatusSetup, {}).data[5], 1);
    const TransferAnswer gone = phone.Transfer(kStatusSetup, {});
    EXPECT_EQ(gone.outcome, ExchangeOutcome::Error);
    EXPECT_TRUE(phone.Gone());
}

} // namespace
} // namespace quillon::sim
