#pragma once

#include "phone/usb_devise.h"

#include "reports.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace quillon {

// One phone item on a fake driver, with every report kept in order.
template <class Item, class Driver> class PhoneItemTest : public ::testing::Test {
protected:
    explicit PhoneItemTest(USBDevise devise) : item(std::move(devise), driver) {
        item.SetOnDebugEvent(CollectInto<Item>(reports));
    }

    void OpenQuietly() {
        ASSERT_TRUE(item.Open());
        reports.clear();
    }

    Driver driver;
    std::vector<Report> reports; // before the item: its destructor may still report
    Item item;
};

} // namespace quillon
