#include "editor/core/hex_error.h"

#include <gtest/gtest.h>

namespace quillon {

TEST(HexErrorTest, FormatsFixedMessageTexts) {
    EXPECT_EQ(FormatMessage("Cannot open %s.\r\n(%s.)", "a.bin", "No such file or directory"),
              "Cannot open a.bin.\r\n(No such file or directory.)");
    EXPECT_EQ(FormatMessage("Invalid radix in offset format (%xh), allowed: 02h..10h", 17),
              "Invalid radix in offset format (11h), allowed: 02h..10h");
}

TEST(HexErrorTest, ExceptionsCarryTheirMessage) {
    EXPECT_STREQ(EHexEditor("Operation Cancelled").what(), "Operation Cancelled");
    EXPECT_STREQ(EFOpenError("Cannot save readonly file x.").what(),
                 "Cannot save readonly file x.");
}

} // namespace quillon
