#include <string>
#include <vector>

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QWheelEvent>

#include "editor/core/hex_error.h"
#include "view_fixture.h"

namespace quillon {

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class EditorExTest : public ViewTest {
protected:
    void Wheel(int delta, Qt::KeyboardModifiers modifiers) {
        const QPointF point = CellCenter(4, 2);
        QWheelEvent wheel(point, Viewport()->mapToGlobal(point), QPoint(), QPoint(0, delta),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Viewport(), &wheel);
    }
};

} // namespace

TEST_F(EditorExTest, DefaultsOfANewEditor) {
    EXPECT_TRUE(editor->CreateBackup());
    EXPECT_EQ(editor->BackupExtension(), ".bak");
    EXPECT_FALSE(editor->OleDragDrop());
    EXPECT_FALSE(editor->ClipboardAsHexText());
    EXPECT_FALSE(editor->FlushClipboardAtShutDown());
    EXPECT_TRUE(editor->SupportsOtherClipFormats());
    EXPECT_TRUE(editor->UseEditorFontForPrinting());
    EXPECT_TRUE(editor->ZoomOnWheel());
    EXPECT_EQ(editor->PrintOptions().MarginLeft(), 20);
    EXPECT_EQ(editor->PrintOptions().MarginTop(), 15);
    EXPECT_EQ(editor->PrintOptions().MarginRight(), 25);
    EXPECT_EQ(editor->PrintOptions().MarginBottom(), 25);
    EXPECT_EQ(editor->PrintFont().font, editor->Font());
    EXPECT_EQ(editor->Font().family(), "Courier New");
    EXPECT_EQ(editor->Font().pointSize(), 11);
}

TEST_F(EditorExTest, SettingsTextOfANewEditor) {
    const std::vector<std::string> lines = Lines(editor->GetSettingsText());
    ASSERT_EQ(lines.size(), 65u);
    EXPECT_EQ(lines[0], "CreateBackup=True");
    EXPECT_EQ(lines[1], "BackupExtension=.bak");
    EXPECT_EQ(lines[12], "PrintOptions.Flags=pfSelectionBold,pfMonochrome");
    EXPECT_EQ(lines[64], "FindProgress=False");
    for (const char* line :
         {"PrintFont.Name=Courier New", "PrintFont.Style=", "Font.Size=11", "Font.Charset=1",
          "BytesPerRow=16", "BytesPerColumn=2", "Translation=tkAsIs", "CaretKind=ckAuto",
          "Colors.ChangedText=128", "Colors.Background=-16777211", "MaskChar=46", "GutterWidth=-1",
          "MaxUndo=1048576", "RulerBytesPerUnit=-1", "Font.Color=-16777208",
          "PrintOptions.PageHeader=", "BytesPerBlock=-1", "DrawGutter3D=True"}) {
        EXPECT_TRUE(HasLine(lines, line)) << line;
    }
}

TEST_F(EditorExTest, SettingsTextRoundTrip) {
    editor->SetCreateBackup(false);
    editor->PrintOptions().SetFlags(HexPrintFlag::pfSelectionOnly |
                                    HexPrintFlag::pfCurrentViewOnly);
    editor->PrintOptions().SetPageHeader(QString::fromUtf8("Страница &p"));
    editor->Colors().SetOffset(clMedGray);
    editor->SetCaretKind(HexCaretKind::ckBottom);
    Core().SetBytesPerRow(8);
    Core().SetTranslation(HexTranslationKind::tkDos8);
    QFont font = editor->Font();
    font.setBold(true);
    font.setItalic(true);
    editor->SetFont(font);
    const std::string text = editor->GetSettingsText();
    EXPECT_NE(text.find("Font.Style=fsBold,fsItalic\r\n"), std::string::npos);

    HexEditorEx other;
    other.SetSettingsText(text);
    EXPECT_EQ(other.GetSettingsText(), text);
    EXPECT_EQ(other.Core().BytesPerRow(), 8);
    EXPECT_EQ(other.PrintOptions().PageHeader(), QString::fromUtf8("Страница &p"));
}

TEST_F(EditorExTest, SettingsLoadRules) {
    editor->SetSettingsText("readonlyview=True\r\nWantTabs=False\nBytesPerRow=8\nBytesPerRow=4\n"
                            "no equals sign\nPrintOptions.Flags=[pfMonochrome, pfSelectionOnly]");
    EXPECT_TRUE(Core().ReadOnlyView()) << "names in any case";
    EXPECT_TRUE(Core().WantTabs()) << "not a public setting";
    EXPECT_EQ(Core().BytesPerRow(), 8) << "a key given twice applies its first value";
    EXPECT_EQ(editor->PrintOptions().Flags(),
              HexPrintFlag::pfMonochrome | HexPrintFlag::pfSelectionOnly);
}

TEST_F(EditorExTest, SettingsValueThatDoesNotConvertStopsTheLoad) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"ZoomOnWheel=Yes", "Invalid property value \"Yes\""},
        {"ZoomOnWheel=1", "Invalid property value \"1\""},
        {"GutterWidth=1x", "Invalid property value \"1x\""},
        {"GutterWidth=", "Invalid property value \"\""},
        {"CaretKind=ckRound", "Invalid property value \"ckRound\""},
        {"Colors.Grid=clPink", "Invalid property value \"clPink\""},
        {"PrintOptions.Flags=pfNothing", "Invalid property value \"pfNothing\""},
        {"MaskChar=256", "Invalid property value \"256\""},
        {"BytesPerUnit=7", "Invalid bytes per unit value 7, allowed: 1,2,4,8"},
    };
    for (const auto& [line, message] : cases) {
        HexEditorEx fresh;
        try {
            fresh.SetSettingsText("DrawGridLines=True\n" + line + "\nShowRuler=True\n");
            ADD_FAILURE() << line << " loaded";
        } catch (const EHexEditor& error) {
            EXPECT_EQ(error.what(), message) << line;
        }
        EXPECT_TRUE(fresh.DrawGridLines()) << "the line before stays applied: " << line;
        EXPECT_FALSE(fresh.Core().ShowRuler()) << "the line after is not applied: " << line;
        EXPECT_EQ(fresh.PaintLockCount(), 0) << "the paint lock is released: " << line;
    }
}

TEST_F(EditorExTest, QueryPublicPropertyVetoes) {
    std::vector<std::string> asked;
    int locksDuringLoad = 0;
    editor->OnQueryPublicProperty = [&](const std::string& name, bool& isPublic) {
        asked.push_back(name);
        locksDuringLoad = std::max(locksDuringLoad, editor->PaintLockCount());
        if (name == "Font.Name") {
            isPublic = false;
        }
    };
    const std::string text = editor->GetSettingsText();
    EXPECT_EQ(text.find("\nFont.Name="), std::string::npos);
    EXPECT_NE(text.find("\nPrintFont.Name="), std::string::npos);
    EXPECT_EQ(Lines(text).size(), 64u);
    EXPECT_FALSE(editor->IsPublicProperty("WantTabs")) << "never public";
    editor->SetSettingsText("Font.Name=Serif\nShowRuler=True");
    EXPECT_EQ(editor->Font().family(), "Courier New");
    EXPECT_TRUE(Core().ShowRuler());
    EXPECT_EQ(locksDuringLoad, 1) << "painting is locked while the settings load";
    EXPECT_EQ(editor->PaintLockCount(), 0);
}

TEST_F(EditorExTest, WheelZoom) {
    Load(Counting(16 * 100));
    struct Case {
        std::int32_t bytesPerRow;
        int delta;
        Qt::KeyboardModifiers modifiers;
        std::int32_t expected;
        bool scrolls;
    };
    const std::vector<Case> cases{
        {16, -120, Qt::ControlModifier, 15, false},
        {16, 120, Qt::ControlModifier, 17, false},
        {1, -120, Qt::ControlModifier, 1, true},
        {256, 120, Qt::ControlModifier, 256, true},
        {16, -120, Qt::ControlModifier | Qt::AltModifier, 16, true},
        {16, -120, Qt::NoModifier, 16, true},
    };
    for (const Case& c : cases) {
        Core().SetBytesPerRow(c.bytesPerRow);
        Core().SetTopRow(2);
        Wheel(c.delta, c.modifiers);
        EXPECT_EQ(Core().BytesPerRow(), c.expected) << c.bytesPerRow << " " << c.delta;
        EXPECT_EQ(Core().TopRow() > 2, c.scrolls && c.delta < 0) << c.bytesPerRow << " " << c.delta;
    }
    Core().SetBytesPerRow(16);
    Core().SetUnicodeChars(true);
    const std::vector<Case> unicodeCases{
        {16, -120, Qt::ControlModifier, 14, false},
        {16, 120, Qt::ControlModifier, 18, false},
        {2, -120, Qt::ControlModifier, 2, true},
        {256, 120, Qt::ControlModifier, 256, true},
    };
    for (const Case& c : unicodeCases) {
        Core().SetBytesPerRow(c.bytesPerRow);
        Wheel(c.delta, c.modifiers);
        EXPECT_EQ(Core().BytesPerRow(), c.expected)
            << "unicode " << c.bytesPerRow << " " << c.delta;
    }
    Core().SetUnicodeChars(false);
    Core().SetBytesPerRow(16);
    QFont font = editor->Font();
    font.setPointSize(3);
    editor->SetFont(font);
    Wheel(-120, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor->Font().pointSize(), 2);
    Wheel(-120, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor->Font().pointSize(), 2) << "stops at 2";
    Wheel(120, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor->Font().pointSize(), 3);
    editor->SetZoomOnWheel(false);
    Wheel(120, Qt::ControlModifier);
    EXPECT_EQ(Core().BytesPerRow(), 16);
}

TEST_F(EditorExTest, ExtraShortcutsWithoutAHost) {
    Load(Counting(8));
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Core().SelectionCount(), 8);
    Core().MoveCaretToCell({16, 2});
    Type("F");
    EXPECT_EQ(Core().ByteAt(7), 0xF7);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Core().ByteAt(7), 0x07);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Core().ByteAt(7), 0xF7);
}

TEST_F(EditorExTest, HostActionsTakeTheirShortcutsFirst) {
    Load(Counting(8));
    QMainWindow host;
    auto* hosted = new HexEditorEx(&host);
    host.setCentralWidget(hosted);
    int triggered = 0;
    for (const QKeySequence& keys :
         {QKeySequence("Ctrl+A"), QKeySequence("Ctrl+C"), QKeySequence("Ctrl+V"),
          QKeySequence("Ctrl+Z"), QKeySequence("Ctrl+X")}) {
        auto* action = new QAction(&host);
        action->setShortcut(keys);
        QObject::connect(action, &QAction::triggered, [&] { ++triggered; });
        host.addAction(action);
    }
    host.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    hosted->setFocus();
    LoadBytes(hosted->Core(), {0x01, 0x02, 0x03});
    hosted->Core().MoveCaretToCell({3, 2});
    QTest::keyClicks(hosted, "9");
    for (const char key : {'A', 'C', 'V', 'Z', 'X'}) {
        QTest::keyClick(hosted, key, Qt::ControlModifier);
    }
    EXPECT_EQ(triggered, 5);
    EXPECT_EQ(hosted->Core().SelectionCount(), 0) << "Ctrl+A went to the host";
    EXPECT_EQ(hosted->Core().ByteAt(0), 0x09) << "Ctrl+Z went to the host";
    auto* typing = new QAction(&host);
    typing->setShortcut(QKeySequence("B"));
    host.addAction(typing);
    hosted->Core().MoveCaretToCell({2, 2});
    QTest::keyClicks(hosted, "B");
    EXPECT_EQ(hosted->Core().ByteAt(0), 0xB9) << "plain typing stays with the editor";
}

TEST_F(EditorExTest, BookmarkKeysUseTheDigitRowByPosition) {
    Load(Counting(64));
    Core().MoveCaretToCell({36, 3}); // byte 17, character field
    Key(Qt::Key_Exclam, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Core().GetBookmarks()[1], (Bookmark{17, true})) << "the symbol of Shift+1";
    QKeyEvent press(QEvent::KeyPress, Qt::Key_QuoteDbl, Qt::ControlModifier | Qt::ShiftModifier, 11,
                    0, 0, QString());
    Core().MoveCaretToCell({6, 2});
    QApplication::sendEvent(editor.get(), &press);
    EXPECT_EQ(Core().GetBookmarks()[2], (Bookmark{2, false})) << "the key's position";
    Key(Qt::Key_2, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Core().GetBookmarks()[2].position, -1) << "toggled off";
    Key(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(Core().CurrentCell(), (GridCell{36, 3})) << "Ctrl+digit jumps";
    Key(Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(Core().CurrentCell(), (GridCell{36, 3}));
}

TEST_F(EditorExTest, ContextMenus) {
    Load(Counting(64));
    Core().SetShowRuler(true);
    QMenu offsetMenu;
    QMenu dataMenu;
    offsetMenu.addAction("offset");
    dataMenu.addAction("data");
    editor->SetOffsetPopupMenu(&offsetMenu);
    editor->SetPopupMenu(&dataMenu);
    const auto contextMenu = [&](QContextMenuEvent::Reason reason, const QPoint& point) {
        QContextMenuEvent event(reason, point, Viewport()->mapToGlobal(point));
        QApplication::sendEvent(Viewport(), &event);
        const bool offset = offsetMenu.isVisible();
        const bool data = dataMenu.isVisible();
        offsetMenu.hide();
        dataMenu.hide();
        return std::pair{offset, data};
    };
    EXPECT_EQ(contextMenu(QContextMenuEvent::Mouse, CellCenter(0, 3)), std::pair(true, false))
        << "gutter";
    EXPECT_EQ(contextMenu(QContextMenuEvent::Mouse, CellCenter(8, 0)), std::pair(true, false))
        << "ruler";
    EXPECT_EQ(contextMenu(QContextMenuEvent::Mouse, CellCenter(8, 3)), std::pair(false, true))
        << "data";
    EXPECT_EQ(contextMenu(QContextMenuEvent::Keyboard, CellCenter(0, 3)), std::pair(false, true))
        << "the context-menu key";
}

TEST_F(EditorExTest, SaveWithoutAFile) {
    try {
        editor->Save();
        ADD_FAILURE() << "saved";
    } catch (const EHexEditor& error) {
        EXPECT_STREQ(error.what(), "No Filename specified");
    }
}

} // namespace quillon
