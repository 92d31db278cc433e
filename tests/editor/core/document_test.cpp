#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "core_fixture.h"
#include "editor/core/hex_error.h"
#include "hex_error_matchers.h"

namespace quillon {

namespace {

void WriteFile(const std::string& path, const ByteVector& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

ByteVector ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteVector(std::istreambuf_iterator<char>(in), {});
}

template <typename Action> std::string OpenErrorOf(Action&& action) {
    try {
        action();
    } catch (const EFOpenError& error) {
        return error.what();
    }
    return "no EFOpenError";
}

// A sink that remembers how much had arrived at each moment it is asked.
class CountingStream : public HexStream {
public:
    std::int64_t Size() const override { return written; }
    std::int64_t Position() const override { return written; }
    void SetPosition(std::int64_t) override {}
    std::size_t Read(void*, std::size_t) override { return 0; }
    void Write(const void*, std::size_t count) override {
        written += static_cast<std::int64_t>(count);
    }
    std::int64_t written = 0;
};

// Claims a size it never delivers.
class HugeStream : public CountingStream {
public:
    std::int64_t Size() const override { return std::int64_t{kMaxDocumentSize} + 1; }
};

// Runs as "nobody" while it lives, when the test runs as root.
class UnprivilegedWhileRoot {
public:
    UnprivilegedWhileRoot() : wasRoot_(::geteuid() == 0) {
        if (wasRoot_) {
            EXPECT_EQ(::seteuid(65534), 0);
        }
    }
    ~UnprivilegedWhileRoot() {
        if (wasRoot_) {
            EXPECT_EQ(::seteuid(0), 0);
        }
    }
    UnprivilegedWhileRoot(const UnprivilegedWhileRoot&) = delete;
    UnprivilegedWhileRoot& operator=(const UnprivilegedWhileRoot&) = delete;

private:
    bool wasRoot_;
};

} // namespace

class DocumentTest : public CoreTest {
protected:
    struct Report {
        HexProgressKind kind;
        std::string name;
        int percent;
    };
    void RecordProgress(bool cancelAt100 = false) {
        editor.OnProgress = [this, cancelAt100](HexProgressKind kind, const std::string& name,
                                                std::uint8_t percent, bool& cancel) {
            reports.push_back({kind, name, percent});
            cancel = cancelAt100 && percent == 100;
        };
    }
    std::vector<int> Percents() const {
        std::vector<int> percents;
        for (const Report& report : reports) {
            percents.push_back(report.percent);
        }
        return percents;
    }

    std::vector<Report> reports;
    TempFolder folder;
};

TEST_F(DocumentTest, NewDocumentState) {
    editor.NewDocument("");
    EXPECT_EQ(editor.FileName(), "Untitled");
    EXPECT_TRUE(editor.FileIsReadOnly());
    EXPECT_FALSE(editor.HasFile());
    EXPECT_FALSE(editor.IsModified());
    EXPECT_EQ(editor.DataLength(), 0);
    EXPECT_EQ(editor.RowCount(), 3);
    EXPECT_EQ(editor.CaretCell(), (GridCell{2, 2}));
    editor.NewDocument("seem 0117_0001");
    EXPECT_EQ(editor.FileName(), "seem 0117_0001");
}

TEST_F(DocumentTest, ConstructedEditorIsNamedUntilItsFirstDocument) {
    HexEditorCore fresh;
    EXPECT_EQ(fresh.FileName(), "---");
    EXPECT_TRUE(fresh.FileIsReadOnly());
    EXPECT_EQ(fresh.MaxUndo(), 1048576);
    EXPECT_EQ(fresh.SelectionAnchor(), -1);
    for (const Bookmark& bookmark : fresh.GetBookmarks()) {
        EXPECT_EQ(bookmark.position, -1);
    }
}

TEST_F(DocumentTest, ProgressOfLoads) {
    struct Case {
        std::size_t size;
        std::vector<int> percents;
    };
    for (const Case& c : {Case{0, {}}, Case{1, {100}}, Case{61440, {100}}, Case{61441, {0, 100}},
                          Case{3 * 61440, {0, 33, 100}}}) {
        reports.clear();
        RecordProgress();
        Load(ByteVector(c.size, 7));
        EXPECT_EQ(Percents(), c.percents) << c.size << " bytes";
        EXPECT_EQ(editor.DataLength(), static_cast<std::int32_t>(c.size));
    }
}

TEST_F(DocumentTest, ProgressRoundsHalvesToEvenAndComesBeforeEachBlock) {
    constexpr std::int64_t kBlock = 61440;
    HexMemoryStream source;
    source.SetSize(200 * kBlock);
    CountingStream sink;
    std::vector<std::pair<int, std::int64_t>> seen;
    editor.OnProgress = [&](HexProgressKind kind, const std::string&, std::uint8_t percent, bool&) {
        EXPECT_EQ(kind, HexProgressKind::pkSave);
        seen.emplace_back(percent, sink.written / kBlock);
    };
    editor.CopyStream(source, sink, -1, HexProgressKind::pkSave);
    ASSERT_GE(seen.size(), 4u);
    // Block k is reported at k / 2 percent: 0.5 rounds to 0, 1.5 to 2, 2.5 to 2.
    EXPECT_EQ(seen[0], std::make_pair(0, std::int64_t{0}));
    EXPECT_EQ(seen[1], std::make_pair(1, std::int64_t{2}));
    EXPECT_EQ(seen[2], std::make_pair(2, std::int64_t{3}));
    EXPECT_EQ(seen[3], std::make_pair(3, std::int64_t{6}));
    EXPECT_EQ(seen.back(), std::make_pair(100, std::int64_t{199}));
    EXPECT_EQ(sink.written, 200 * kBlock);
}

TEST_F(DocumentTest, CancelledLoadLeavesAnEmptyDocument) {
    Load(Counting(10));
    RecordProgress(true);
    EXPECT_TRUE(RaisesHexError([&] { Load(ByteVector(100000, 1)); }, "Operation Cancelled"));
    EXPECT_EQ(editor.DataLength(), 0);
    EXPECT_EQ(editor.RowCount(), 3);
    EXPECT_FALSE(editor.HasFile());
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_EQ(view.waitCursors, 0);
}

TEST_F(DocumentTest, LoadResetsTheDocumentState) {
    Load(Counting(40));
    editor.MarkChanged(3, true);
    editor.SetIsModified(true);
    editor.MoveCaretToCell({9, 3});
    int changes = 0;
    editor.OnChange = [&] {
        ++changes;
    };
    Load(Counting(20));
    EXPECT_EQ(Bytes(), Counting(20));
    EXPECT_FALSE(editor.IsModified());
    EXPECT_FALSE(editor.IsChanged(3));
    EXPECT_EQ(editor.CaretCell(), (GridCell{2, 2}));
    EXPECT_EQ(editor.RowCount(), 4);
    EXPECT_EQ(changes, 1);
}

TEST_F(DocumentTest, OpenFileLoadsAndBindsTheFile) {
    const std::string path = folder.File("data.bin");
    WriteFile(path, Counting(300));
    RecordProgress();
    editor.OpenFile(path);
    EXPECT_EQ(Bytes(), Counting(300));
    EXPECT_EQ(editor.FileName(), path);
    EXPECT_TRUE(editor.HasFile());
    EXPECT_FALSE(editor.FileIsReadOnly());
    EXPECT_FALSE(editor.IsModified());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].kind, HexProgressKind::pkLoad);
    EXPECT_EQ(reports[0].name, path);
    EXPECT_EQ(editor.ProgressName(), "");
}

TEST_F(DocumentTest, OpenFileOfAnEmptyFile) {
    const std::string path = folder.File("empty.bin");
    WriteFile(path, {});
    RecordProgress();
    editor.OpenFile(path);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(editor.DataLength(), 0);
    EXPECT_FALSE(editor.IsModified());
    EXPECT_EQ(editor.CaretCell(), (GridCell{2, 2}));
}

TEST_F(DocumentTest, OpenFileRefusesWhatIsNotARegularFile) {
    Load(Counting(5));
    const std::string fifo = folder.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string path;
        std::string reason;
    };
    for (const Case& c :
         {Case{folder.File("missing.bin"), "No such file or directory"},
          Case{folder.Path().string(), "Is a directory"}, Case{fifo, "Illegal seek"}}) {
        EXPECT_EQ(OpenErrorOf([&] { editor.OpenFile(c.path); }),
                  "Cannot open " + c.path + ".\r\n(" + c.reason + ".)");
    }
    EXPECT_EQ(Bytes(), Counting(5)) << "the document stays as it was";
}

TEST_F(DocumentTest, OpenFileOfAReadOnlyFile) {
    const std::string path = folder.File("locked.bin");
    WriteFile(path, Counting(4));
    ::chmod(path.c_str(), 0444);
    {
        // Root may write any file: open it as an ordinary user.
        ::chmod(folder.Path().c_str(), 0755);
        const UnprivilegedWhileRoot user;
        editor.OpenFile(path);
    }
    EXPECT_TRUE(editor.FileIsReadOnly());
    EXPECT_EQ(OpenErrorOf([&] { editor.SaveFile(path, true); }),
              "Cannot save readonly file " + path + ".");
    EXPECT_EQ(ReadFile(path), Counting(4));
    const std::string copy = folder.File("copy.bin");
    editor.SaveFile(copy, true);
    EXPECT_FALSE(editor.FileIsReadOnly());
    EXPECT_EQ(editor.FileName(), copy);
}

TEST_F(DocumentTest, DocumentsOverTheSizeLimitAreRefused) {
    Load(Counting(5));
    HugeStream huge;
    EXPECT_TRUE(RaisesHexError([&] { editor.LoadStream(huge); }, "Data too large"));
    const std::string path = folder.File("sparse.bin");
    WriteFile(path, {});
    ASSERT_EQ(::truncate(path.c_str(), std::int64_t{kMaxDocumentSize} + 1), 0);
    EXPECT_TRUE(RaisesHexError([&] { editor.OpenFile(path); }, "Data too large"));
    EXPECT_EQ(Bytes(), Counting(5));
    EXPECT_FALSE(editor.HasFile());
}

TEST_F(DocumentTest, SaveFileWritesAndUnmodifies) {
    Load(Counting(70000));
    editor.ChangeByte(0, 0xAA, 0, 2, 2);
    const std::string path = folder.File("out.bin");
    RecordProgress();
    editor.SaveFile(path, false);
    EXPECT_EQ(ReadFile(path)[0], 0xAA);
    EXPECT_EQ(ReadFile(path).size(), 70000u);
    EXPECT_TRUE(editor.HasFile());
    EXPECT_TRUE(editor.IsModified()) << "a copy leaves the state";
    EXPECT_TRUE(editor.IsChanged(0));
    EXPECT_EQ(Percents(), (std::vector<int>{0, 100}));
    EXPECT_EQ(reports[0].kind, HexProgressKind::pkSave);
    EXPECT_EQ(reports[0].name, path);
    editor.SaveFile(path, true);
    EXPECT_FALSE(editor.IsModified());
    EXPECT_FALSE(editor.IsChanged(0));
    EXPECT_FALSE(editor.FileIsReadOnly());
    EXPECT_EQ(editor.FileName(), path);
    EXPECT_EQ(editor.ProgressName(), "");
}

TEST_F(DocumentTest, SaveOverTheOwnNameOfANewDocumentIsRefused) {
    const std::string path = folder.File("new.bin");
    editor.NewDocument(path);
    EXPECT_EQ(OpenErrorOf([&] { editor.SaveFile(path, true); }),
              "Cannot save readonly file " + path + ".");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(DocumentTest, OwnFileIsRecognisedBySpellingsOfItsPath) {
    struct CountingEditor : HexEditorCore {
        void CheckOverwrite() override { ++checks; }
        int checks = 0;
    } counting;
    const std::string path = folder.File("own.bin");
    WriteFile(path, Counting(3));
    counting.OpenFile(path);
    counting.SaveFile((folder.Path() / "." / "own.bin").string(), false);
    counting.SaveFile(folder.File("other.bin"), false);
    EXPECT_EQ(counting.checks, 1);
}

TEST_F(DocumentTest, FailedSaveLeavesTheOldFileWhole) {
    const std::string path = folder.File("keep.bin");
    WriteFile(path, Counting(10));
    ::chmod(path.c_str(), 0640);
    Load(ByteVector(200000, 0x55));
    RecordProgress(true);
    EXPECT_TRUE(RaisesHexError([&] { editor.SaveFile(path, true); }, "Operation Cancelled"));
    EXPECT_EQ(ReadFile(path), Counting(10));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1)
        << "no temporary file is left";
    editor.OnProgress = nullptr;
    editor.SaveFile(path, true);
    EXPECT_EQ(ReadFile(path), ByteVector(200000, 0x55));
    struct stat info {};
    ::stat(path.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST_F(DocumentTest, AnotherReadOnlyFileIsNotReplaced) {
    const std::string path = folder.File("theirs.bin");
    WriteFile(path, Counting(3));
    ::chmod(path.c_str(), 0444);
    ::chmod(folder.Path().c_str(), 0777);
    Load(Counting(5));
    std::string error;
    {
        const UnprivilegedWhileRoot user;
        error = OpenErrorOf([&] { editor.SaveFile(path, false); });
    }
    EXPECT_EQ(error, "Cannot create file " + path + ".\r\n(Permission denied.)");
    EXPECT_EQ(ReadFile(path), Counting(3));
}

TEST_F(DocumentTest, SaveKeepsPermissionsWhenTheCheckMovesTheOldFileAway) {
    struct BackupEditor : HexEditorCore {
        void CheckOverwrite() override {
            HexEditorCore::CheckOverwrite();
            std::filesystem::rename(FileName(), FileName() + ".bak");
        }
    } backup;
    const std::string path = folder.File("kept.bin");
    WriteFile(path, Counting(3));
    ::chmod(path.c_str(), 0604);
    backup.OpenFile(path);
    backup.SaveFile(path, true);
    EXPECT_EQ(ReadFile(path + ".bak"), Counting(3));
    EXPECT_EQ(ReadFile(path), Counting(3));
    struct stat info {};
    ::stat(path.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0604u);
}

TEST_F(DocumentTest, SaveThroughASymbolicLinkKeepsTheLink) {
    const std::string target = folder.File("target.bin");
    const std::string link = folder.File("link.bin");
    WriteFile(target, Counting(2));
    std::filesystem::create_symlink(target, link);
    Load(Counting(6));
    editor.SaveFile(link, false);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFile(target), Counting(6));
}

TEST_F(DocumentTest, SaveIntoAMissingFolderFails) {
    Load(Counting(3));
    const std::string path = folder.File("no/such/file.bin");
    EXPECT_EQ(OpenErrorOf([&] { editor.SaveFile(path, true); }),
              "Cannot create file " + path + ".\r\n(No such file or directory.)");
    EXPECT_FALSE(editor.HasFile());
}

TEST_F(DocumentTest, WriteRangeToStream) {
    Load(Counting(100));
    HexMemoryStream out;
    editor.WriteRangeToStream(out, 10, 5);
    EXPECT_EQ(DocumentBytes(editor).size(), 100u);
    EXPECT_EQ(out.DataSize(), 5);
    EXPECT_EQ(*out.AddressOf(0), 10);
    EXPECT_TRUE(RaisesHexError([&] { editor.WriteRangeToStream(out, 98, 5); },
                               "Data position/length out of data bounds"));
    EXPECT_EQ(out.DataSize(), 5);
}

TEST_F(DocumentTest, HasUnsavedChanges) {
    EXPECT_FALSE(editor.HasUnsavedChanges());
    Load(Counting(3));
    editor.ChangeByte(0, 9, 0, 2, 2);
    EXPECT_TRUE(editor.HasUnsavedChanges());
    const std::string path = folder.File("gone.bin");
    WriteFile(path, Counting(1));
    editor.OpenFile(path);
    editor.DeleteAtCursor(false);
    EXPECT_EQ(editor.DataLength(), 0);
    EXPECT_TRUE(editor.HasUnsavedChanges()) << "the emptied file still exists";
    std::filesystem::remove(path);
    EXPECT_FALSE(editor.HasUnsavedChanges());
}

TEST_F(DocumentTest, SelectRangeAlignsToUnits) {
    Load(Counting(12));
    editor.SetBytesPerUnit(4);
    editor.SelectRange(9, 2);
    EXPECT_EQ(editor.SelectionAnchor(), 11);
    EXPECT_EQ(editor.SelectionLower(), 0);
    EXPECT_EQ(editor.SelectionUpper(), 11);
    EXPECT_EQ(editor.SelectionStart(), 11);
    EXPECT_EQ(editor.SelectionEnd(), 0);
    EXPECT_EQ(editor.SelectionCount(), 12);
    editor.SelectRange(9, 11);
    EXPECT_EQ(editor.SelectionAnchor(), 8);
    EXPECT_EQ(editor.SelectionLower(), 8);
    EXPECT_EQ(editor.SelectionUpper(), 11);
    editor.SetBytesPerUnit(8);
    editor.SelectRange(3, 9);
    EXPECT_EQ(editor.SelectionLower(), 0);
    EXPECT_EQ(editor.SelectionUpper(), 11) << "clamped to the last byte";
}

TEST_F(DocumentTest, SelectionStartAndEnd) {
    Load(Counting(20));
    EXPECT_TRUE(RaisesHexError([&] { editor.SetSelectionStart(20); }, "Invalid selection start"));
    EXPECT_TRUE(RaisesHexError([&] { editor.SetSelectionStart(-1); }, "Invalid selection start"));
    EXPECT_TRUE(RaisesHexError([&] { editor.SetSelectionEnd(20); }, "Invalid selection end"));
    EXPECT_TRUE(RaisesHexError([&] { editor.SetSelectionEnd(-2); }, "Invalid selection end"));
    editor.SetSelectionStart(5);
    EXPECT_EQ(editor.SelectionStart(), 5);
    EXPECT_EQ(editor.SelectionCount(), 0);
    editor.SetSelectionEnd(9);
    EXPECT_EQ(editor.SelectionLower(), 5);
    EXPECT_EQ(editor.SelectionUpper(), 9);
    EXPECT_EQ(editor.SelectionStart(), 5);
    EXPECT_EQ(editor.SelectionEnd(), 9);
    EXPECT_TRUE(editor.InSelection(7));
    EXPECT_FALSE(editor.InSelection(10));
    editor.SetSelectionEnd(-1);
    EXPECT_EQ(editor.SelectionCount(), 0);
    EXPECT_EQ(editor.SelectionAnchor(), -1);
}

TEST_F(DocumentTest, SelectAll) {
    editor.SelectAll();
    EXPECT_EQ(editor.SelectionCount(), 0);
    Load(Counting(20));
    editor.SelectAll();
    EXPECT_EQ(editor.SelectionLower(), 0);
    EXPECT_EQ(editor.SelectionUpper(), 19);
    EXPECT_EQ(editor.CaretCell(), editor.PositionToCell(19, false));
}

TEST_F(DocumentTest, SelectionFieldsAreClamped) {
    Load(Counting(10));
    editor.SetSelectionFields(-5, 3, 40);
    EXPECT_EQ(editor.SelectionAnchor(), -1);
    EXPECT_EQ(editor.SelectionLower(), 3);
    EXPECT_EQ(editor.SelectionUpper(), 9);
}

TEST_F(DocumentTest, MoveCaretTo) {
    EXPECT_EQ(editor.MoveCaretTo(3, 0), -1);
    Load(Counting(50));
    struct Case {
        std::int32_t offset;
        std::int32_t origin;
        std::int32_t position;
    };
    for (const Case& c : {Case{10, 0, 10}, Case{5, 1, 15}, Case{-3, 2, 46}, Case{99, 0, 49},
                          Case{-99, 1, 0}, Case{7, 9, 0}}) {
        EXPECT_EQ(editor.MoveCaretTo(c.offset, c.origin), c.position);
        EXPECT_EQ(editor.CurrentPosition(), c.position);
    }
}

TEST_F(DocumentTest, SelectionNotificationsAreCoalesced) {
    Load(Counting(10));
    editor.DeliverSelectionChanged();
    view.posts = 0;
    int changes = 0;
    int selections = 0;
    editor.OnChange = [&] {
        ++changes;
    };
    editor.OnSelectionChanged = [&] {
        ++selections;
    };
    editor.ChangeByte(0, 1, 0, 2, 2);
    editor.ChangeByte(1, 2, 1, 4, 2);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(selections, 0);
    EXPECT_EQ(view.posts, 1);
    editor.DeliverSelectionChanged();
    editor.DeliverSelectionChanged();
    EXPECT_EQ(selections, 1);
}

TEST_F(DocumentTest, SelectionHandlerFailureStillEndsThePendingNotification) {
    Load(Counting(10));
    editor.DeliverSelectionChanged();
    editor.OnSelectionChanged = [&] {
        editor.SelectRange(1, 2);
        throw std::runtime_error("handler");
    };
    editor.NotifySelectionChanged();
    EXPECT_THROW(editor.DeliverSelectionChanged(), std::runtime_error);
    EXPECT_FALSE(editor.SelectionChangePending()) << "a change inside the handler posts nothing";
    view.posts = 0;
    editor.NotifySelectionChanged();
    EXPECT_EQ(view.posts, 1);
}

TEST_F(DocumentTest, BusyCursorNests) {
    editor.PushWaitCursor();
    editor.PushWaitCursor();
    EXPECT_EQ(view.waitCursors, 2);
    editor.PopCursor();
    editor.PopCursor();
    editor.PopCursor();
    EXPECT_EQ(view.waitCursors, 0);
    EXPECT_EQ(editor.WaitCursorDepth(), 0);
}

TEST_F(DocumentTest, BookmarksShiftAndClear) {
    Load(Counting(20));
    Bookmarks marks{};
    marks[0] = {3, false};
    marks[1] = {10, true};
    marks[2] = {18, false};
    editor.SetBookmarks(marks);
    int notified = 0;
    editor.OnBookmarkChanged = [&] {
        ++notified;
    };
    editor.ShiftBookmarks(-1, 5, 20);
    EXPECT_EQ(notified, 0);
    editor.ShiftBookmarks(5, 2, 20);
    EXPECT_EQ(editor.GetBookmarks()[0].position, 3);
    EXPECT_EQ(editor.GetBookmarks()[1], (Bookmark{12, true}));
    EXPECT_EQ(editor.GetBookmarks()[2].position, 20);
    editor.ShiftBookmarks(12, 2, 20);
    EXPECT_EQ(editor.GetBookmarks()[1].position, 14);
    EXPECT_EQ(editor.GetBookmarks()[2].position, -1);
    EXPECT_EQ(editor.GetBookmarks()[3].position, -1);
    EXPECT_EQ(notified, 2);
    editor.ShiftBookmarks(15, 1, 20);
    EXPECT_EQ(notified, 2) << "nothing at or after 15";
}

} // namespace quillon
