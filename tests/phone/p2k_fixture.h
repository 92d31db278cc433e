#pragma once

#include "phone/moto_p2k_modem_item.h"
#include "phone/support/simulated_p2k_driver.h"
#include "phone/support/simulated_p2k_phone.h"

#include "reports.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {

// One phone item on the simulated phone, with a clock that only moves when slept on and every
// report kept in order.
class P2KItemTest : public ::testing::Test {
protected:
    P2KItemTest() : item(Devise(), driver, clock) {
        item.SetOnDebugEvent([this](MotoP2KModemItem* sender, const std::string& text,
                                    DebugType type, bool subError) {
            EXPECT_EQ(sender, &item);
            reports.push_back({text, type, subError});
        });
    }

    static USBDevise Devise() {
        USBDevise devise;
        devise.DevInst = 7;
        devise.DevicePath = sim::SimulatedP2KDriver::kDevicePath;
        return devise;
    }

    void OpenQuietly() {
        ASSERT_TRUE(item.Open());
        reports.clear();
    }

    void SetFaults(auto&& change) {
        sim::PhoneFaults faults = phone.Faults();
        change(faults);
        phone.SetFaults(faults);
    }

    std::vector<sim::WireEvent> Exchanges() const { return driver.Exchanges(); }

    // The payload of the only command sent.
    Bytes SentPayload() const {
        const auto commands = phone.Commands();
        EXPECT_EQ(commands.size(), 1u);
        return commands.empty() ? Bytes{} : commands.front().payload;
    }

    sim::SimulatedP2KPhone phone;
    sim::SimulatedP2KDriver driver{phone};
    sim::ManualClock clock{&driver.Trace()};
    std::vector<Report> reports; // before the item: its destructor may still report
    MotoP2KModemItem item;
};

} // namespace quillon
