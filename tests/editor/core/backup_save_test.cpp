#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "core_fixture.h"
#include "editor/core/hex_editor_ex_core.h"
#include "hex_error_matchers.h"

namespace quillon {

namespace {

void WriteFile(const std::string& name, const std::string& content) {
    std::ofstream(name, std::ios::binary) << content;
}

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class BackupSaveTest : public ::testing::Test {
protected:
    BackupSaveTest() : file(folder.File("data.bin")), backup(file + ".bak") {
        WriteFile(file, "old");
        editor.OpenFile(file);
    }
    void ChangeFirstByte(char value) {
        editor.ChangeByte(editor.ByteAt(0), static_cast<std::uint8_t>(value), 0, 2, 2);
    }

    TempFolder folder;
    std::string file;
    std::string backup;
    HexEditorExCore editor;
};

} // namespace

TEST_F(BackupSaveTest, ChangedDocumentKeepsTheOldFileAsBackup) {
    ChangeFirstByte('n');
    editor.Save();
    EXPECT_EQ(ReadFile(file), "nld");
    EXPECT_EQ(ReadFile(backup), "old");
    ChangeFirstByte('m');
    editor.Save();
    EXPECT_EQ(ReadFile(backup), "nld") << "a second save replaces the previous backup";
    EXPECT_EQ(ReadFile(file), "mld");
}

TEST_F(BackupSaveTest, NoBackupWithoutChangesOrUnderAnotherName) {
    editor.Save();
    EXPECT_FALSE(std::filesystem::exists(backup)) << "an unchanged document";
    ChangeFirstByte('n');
    editor.SaveFile(folder.File("other.bin"), true);
    EXPECT_FALSE(std::filesystem::exists(backup)) << "another file name";
    EXPECT_FALSE(std::filesystem::exists(folder.File("other.bin.bak")));
}

TEST_F(BackupSaveTest, BackupOffOrOwnExtension) {
    ChangeFirstByte('n');
    editor.SetCreateBackup(false);
    editor.Save();
    EXPECT_FALSE(std::filesystem::exists(backup));
    ChangeFirstByte('m');
    editor.SetCreateBackup(true);
    editor.SetBackupExtension(".old");
    editor.Save();
    EXPECT_EQ(ReadFile(file + ".old"), "nld");
}

TEST_F(BackupSaveTest, FailuresLeaveTheFileAsItWas) {
    ChangeFirstByte('n');
    std::filesystem::create_directory(backup);
    WriteFile(backup + "/inside", "x");
    try {
        editor.Save();
        ADD_FAILURE() << "saved over an undeletable backup";
    } catch (const EHexEditor& error) {
        EXPECT_EQ(
            std::string(error.what()).rfind("Cannot delete previous backup " + backup + ". (", 0),
            0u)
            << error.what();
    }
    EXPECT_EQ(ReadFile(file), "old");

    editor.SetBackupExtension("/sub");
    try {
        editor.Save();
        ADD_FAILURE() << "saved without its backup";
    } catch (const EHexEditor& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Cannot create backup " + file + "/sub. (", 0),
                  0u)
            << error.what();
    }
    EXPECT_EQ(ReadFile(file), "old");
}

TEST(BackupSaveNoFileTest, SaveNeedsAFileName) {
    HexEditorExCore editor;
    EXPECT_TRUE(RaisesHexError([&] { editor.Save(); }, "No Filename specified"));
}

TEST(BackupSaveNoFileTest, PutBytesMarksTheDocumentModified) {
    HexEditorExCore editor;
    LoadBytes(editor, ByteVector{1, 2, 3});
    const std::uint8_t value = 9;
    editor.PutBytes(&value, 1, 1);
    EXPECT_TRUE(editor.IsModified());
    EXPECT_EQ(editor.ByteAt(1), 9);
}

} // namespace quillon
