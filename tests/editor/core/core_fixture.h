#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "editor/core/hex_editor_core.h"
#include "editor/core/hex_editor_view.h"
#include "editor/core/hex_memory_stream.h"

namespace quillon {

using ByteVector = std::vector<std::uint8_t>;

// A view that remembers what the core asked of it.
struct RecordingView : HexEditorView {
    void InvalidateCells(const GridRect& cells) override { invalidated.push_back(cells); }
    void InvalidateAll() override { ++invalidateAll; }
    void CaretMoved(GridCell cell) override { caretMoves.push_back(cell); }
    void PostSelectionChanged() override { ++posts; }
    void PushWaitCursor() override { ++waitCursors; }
    void PopCursor() override { --waitCursors; }
    void GridLayoutChanged() override { ++layoutChanges; }

    std::vector<GridRect> invalidated;
    int invalidateAll = 0;
    std::vector<GridCell> caretMoves;
    int posts = 0;
    int waitCursors = 0;
    int layoutChanges = 0;
};

inline void LoadBytes(HexEditorCore& editor, const ByteVector& bytes) {
    HexMemoryStream stream;
    stream.Write(bytes.data(), bytes.size());
    editor.LoadStream(stream);
}

inline ByteVector DocumentBytes(const HexEditorCore& editor) {
    return ByteVector(editor.Data(), editor.Data() + editor.DataLength());
}

inline ByteVector Counting(std::size_t size) {
    ByteVector bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);
    }
    return bytes;
}

// An editor with fixed font metrics (8 x 14 pixels, rows of 16) and a viewport of ten data rows.
class CoreTest : public ::testing::Test {
protected:
    static constexpr std::int32_t kCharWidth = 8;
    static constexpr std::int32_t kTextHeight = 14;

    CoreTest() {
        editor.SetView(&view);
        editor.SetFontMetrics(kCharWidth, kTextHeight);
        editor.SetViewportSize(1000, 10 * editor.RowHeight());
        editor.NewDocument("");
    }

    void Load(const ByteVector& bytes) { LoadBytes(editor, bytes); }
    ByteVector Bytes() const { return DocumentBytes(editor); }

    HexEditorCore editor;
    RecordingView view;
};

// A private folder removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quillon-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

} // namespace quillon
