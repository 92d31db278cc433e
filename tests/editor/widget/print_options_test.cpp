// Print options: defaults, the indexed accessors, copying, and the flag set.
#include <gtest/gtest.h>

#include "editor/widget/canvas_printer.h"
#include "editor/widget/hex_print_options.h"

namespace quillon {
namespace {

TEST(PrintOptionsTest, DefaultsAreTheDocumentedOnes) {
    const HexPrintOptions options;
    EXPECT_EQ(options.MarginLeft(), 20);
    EXPECT_EQ(options.MarginTop(), 15);
    EXPECT_EQ(options.MarginRight(), 25);
    EXPECT_EQ(options.MarginBottom(), 25);
    EXPECT_EQ(options.PageHeader(), "");
    EXPECT_EQ(options.PageFooter(), "");
    EXPECT_EQ(options.Flags(), HexPrintFlag::pfSelectionBold | HexPrintFlag::pfMonochrome);
}

TEST(PrintOptionsTest, IndexedMarginsMapOntoTheNamedOnes) {
    HexPrintOptions options;
    options.SetMargin(1, 11);
    options.SetMargin(2, 12);
    options.SetMargin(3, 13);
    options.SetMargin(4, 14);
    EXPECT_EQ(options.MarginLeft(), 11);
    EXPECT_EQ(options.MarginTop(), 12);
    EXPECT_EQ(options.MarginRight(), 13);
    EXPECT_EQ(options.MarginBottom(), 14);
    for (const std::int32_t other : {0, 5, -1}) {
        EXPECT_EQ(options.Margin(other), 14) << other;
    }
    options.SetMargin(7, 30);
    EXPECT_EQ(options.MarginBottom(), 30);
    EXPECT_EQ(options.MarginLeft(), 11);
}

TEST(PrintOptionsTest, NegativeMarginsBecomeZero) {
    HexPrintOptions options;
    for (std::int32_t index = 1; index <= 4; ++index) {
        options.SetMargin(index, -5);
        EXPECT_EQ(options.Margin(index), 0) << index;
    }
}

TEST(PrintOptionsTest, HeaderAndFooterByIndex) {
    HexPrintOptions options;
    options.SetHeaderFooter(0, "top");
    options.SetHeaderFooter(1, "bottom");
    EXPECT_EQ(options.PageHeader(), "top");
    EXPECT_EQ(options.PageFooter(), "bottom");
    EXPECT_EQ(options.HeaderFooter(0), "top");
    EXPECT_EQ(options.HeaderFooter(1), "bottom");
}

TEST(PrintOptionsTest, AssignCopiesAllSevenValues) {
    HexPrintOptions source;
    source.SetMarginLeft(1);
    source.SetMarginTop(2);
    source.SetMarginRight(3);
    source.SetMarginBottom(4);
    source.SetPageHeader("%f");
    source.SetPageFooter("%p");
    source.SetFlags(HexPrintFlag::pfCurrentViewOnly);
    HexPrintOptions target;
    target.Assign(source);
    EXPECT_EQ(target, source);
}

TEST(PrintFlagsTest, SelectionOnlyNeedsASelection) {
    const HexPrintFlags flags = HexPrintFlag::pfSelectionOnly | HexPrintFlag::pfMonochrome;
    EXPECT_EQ(EffectivePrintFlags(flags, 0), HexPrintFlag::pfMonochrome);
    EXPECT_EQ(EffectivePrintFlags(flags, 3), flags);
}

} // namespace
} // namespace quillon
