// Where pasted and dropped bytes go.
#include "clipboard_test_support.h"
#include "editor/core/undo_storage.h"
#include "editor/widget/clipboard_placement.h"

namespace quillon {
namespace {

constexpr std::int32_t kNone = -1;

class PlacementTest : public ClipboardTest {
protected:
    PlacementTest() { Load(kFour); }

    // Selects from..to, or puts the caret on `from` when to is kNone.
    void Prepare(std::int32_t from, std::int32_t to) {
        CaretTo(from);
        if (to != kNone) {
            Select(from, to);
        }
    }
};

struct PasteCase {
    const char* name;
    std::int32_t from;
    std::int32_t to;
    std::int32_t bytesPerUnit;
    bool noSizeChange;
    ByteVector pasted;
    ByteVector expected;
};

void PrintTo(const PasteCase& c, std::ostream* out) {
    *out << c.name;
}

class PasteTest : public PlacementTest, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(PasteTest, PlacesTheBytes) {
    const PasteCase& c = GetParam();
    core.SetBytesPerUnit(c.bytesPerUnit);
    Prepare(c.from, c.to);
    core.SetNoSizeChange(c.noSizeChange);
    PlacePastedBytes(core, c.pasted);
    EXPECT_EQ(DocumentBytes(core), c.expected);
    EXPECT_EQ(core.UndoStorage().CurrentDescription(), "Paste from Clipboard");
}

INSTANTIATE_TEST_SUITE_P(
    Placement, PasteTest,
    ::testing::Values(
        PasteCase{"InsertsAtTheCaret",
                  1,
                  kNone,
                  1,
                  false,
                  {0xAA, 0xBB},
                  {0x00, 0xAA, 0xBB, 0x11, 0x22, 0x33}},
        PasteCase{"OverwritesFromTheSelection", 1, 2, 1, false, {0xAA}, {0x00, 0xAA, 0x22, 0x33}},
        PasteCase{"GoesToTheStartOfTheCaretUnit",
                  3,
                  kNone,
                  2,
                  false,
                  {0xAA, 0xBB},
                  {0x00, 0x11, 0xAA, 0xBB, 0x22, 0x33}},
        PasteCase{"OverwritesInPlaceWhileTheSizeIsLocked",
                  0,
                  kNone,
                  1,
                  true,
                  {0xAA, 0xBB},
                  {0xAA, 0xBB, 0x22, 0x33}},
        PasteCase{"StopsAtTheEndWhileTheSizeIsLocked",
                  2,
                  kNone,
                  1,
                  true,
                  {0xAA, 0xBB, 0xCC, 0xDD},
                  {0x00, 0x11, 0xAA, 0xBB}}),
    CaseName());

TEST_F(PlacementTest, PasteIntoAUnitMovesTheCaretToItsStart) {
    core.SetBytesPerUnit(2);
    Prepare(3, kNone);
    PlacePastedBytes(core, {0xAA, 0xBB});
    EXPECT_EQ(core.SelectionLower(), 2);
    EXPECT_EQ(core.SelectionUpper(), 3);
}

struct DropCase {
    const char* name;
    std::int32_t from;
    std::int32_t to;
    bool noSizeChange;
    std::int32_t position;
    bool moveInside;
    ByteVector dropped;
    bool placed;
    ByteVector expected;
};

void PrintTo(const DropCase& c, std::ostream* out) {
    *out << c.name;
}

class DropTest : public PlacementTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(DropTest, PlacesOrRefusesTheBytes) {
    const DropCase& c = GetParam();
    Prepare(c.from, c.to);
    core.SetNoSizeChange(c.noSizeChange);
    DropSite site{c.position, c.moveInside, false};
    EXPECT_EQ(PlaceDroppedBytes(core, c.dropped, site), c.placed);
    EXPECT_EQ(DocumentBytes(core), c.expected);
    EXPECT_EQ(site.movedHere, c.moveInside);
    EXPECT_FALSE(core.SizeChangeOverride());
    if (c.placed) {
        EXPECT_EQ(core.UndoStorage().CurrentDescription(), "Data Dropped");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Placement, DropTest,
    ::testing::Values(
        DropCase{"MoveBehindTheEnd", 1, 1, false, 4, true, {0x11}, true, {0x00, 0x22, 0x33, 0x11}},
        DropCase{
            "MoveToTheFront", 2, 3, false, 0, true, {0x22, 0x33}, true, {0x22, 0x33, 0x00, 0x11}},
        DropCase{"MoveOntoItselfChangesNothing", 1, 2, false, 1, true, {0x11, 0x22}, true, kFour},
        DropCase{"MoveWhileTheSizeIsLocked",
                 0,
                 0,
                 true,
                 3,
                 true,
                 {0x00},
                 true,
                 {0x11, 0x22, 0x00, 0x33}},
        DropCase{"CopyInsertsAtThePosition",
                 0,
                 kNone,
                 false,
                 1,
                 false,
                 {0xAA},
                 true,
                 {0x00, 0xAA, 0x11, 0x22, 0x33}},
        DropCase{"CopyIntoTheSelectionOverwritesIt",
                 1,
                 2,
                 false,
                 1,
                 false,
                 {0xAA, 0xBB},
                 true,
                 {0x00, 0xAA, 0xBB, 0x33}},
        DropCase{"CopyBehindTheEndAppends",
                 0,
                 kNone,
                 false,
                 4,
                 false,
                 {0xAA},
                 true,
                 {0x00, 0x11, 0x22, 0x33, 0xAA}},
        DropCase{"LockedSizeOverwritesUpToTheEnd",
                 0,
                 kNone,
                 true,
                 2,
                 false,
                 {0xAA, 0xBB, 0xCC},
                 true,
                 {0x00, 0x11, 0xAA, 0xBB}},
        DropCase{"LockedSizeRefusesTheEnd", 0, kNone, true, 4, false, {0xAA}, false, kFour},
        DropCase{"NoPositionIsRefused", 0, kNone, false, -1, false, {0xAA}, false, kFour}),
    CaseName());

TEST_F(PlacementTest, AMoveIsOneUndoStepOnceMerged) {
    Prepare(1, 1);
    DropSite site{4, true, false};
    ASSERT_TRUE(PlaceDroppedBytes(core, {0x11}, site));
    core.MergeUndo(2, "Data Moved");
    EXPECT_EQ(core.UndoStorage().CurrentDescription(), "Data Moved");
    ASSERT_TRUE(core.Undo());
    EXPECT_EQ(DocumentBytes(core), kFour);
    EXPECT_FALSE(core.CanUndo());
}

} // namespace
} // namespace quillon
