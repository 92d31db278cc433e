#pragma once

#include <string>

#include "editor/core/hex_editor_core.h"

namespace quillon {

// The core of the published editor: saving under the document's own name, with a backup copy
// of the old file taken before it is written over.
class HexEditorExCore : public HexEditorCore {
public:
    bool CreateBackup() const { return createBackup_; }
    void SetCreateBackup(bool createBackup) { createBackup_ = createBackup; }
    // Appended to the file name to form the backup's name.
    const std::string& BackupExtension() const { return backupExtension_; }
    void SetBackupExtension(const std::string& extension) { backupExtension_ = extension; }

    // Saves under FileName; "No Filename specified" when the document has no file.
    void Save();
    // The read-only check, then the backup: an older backup is deleted and the file renamed.
    void CheckOverwrite() override;
    // Marks the document modified.
    void PutBytes(const void* buffer, std::int32_t index, std::int32_t count) override;

private:
    bool createBackup_ = true;
    std::string backupExtension_ = ".bak";
};

} // namespace quillon
