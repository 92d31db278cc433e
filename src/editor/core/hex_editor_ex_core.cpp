#include "editor/core/hex_editor_ex_core.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "editor/core/hex_error.h"

namespace quillon {

void HexEditorExCore::Save() {
    if (!HasFile()) {
        throw EHexEditor("No Filename specified");
    }
    SaveFile(FileName(), true);
}

void HexEditorExCore::CheckOverwrite() {
    HexEditorCore::CheckOverwrite();
    if (!createBackup_ || !HasUnsavedChanges() || ::access(FileName().c_str(), F_OK) != 0) {
        return;
    }
    const std::string backup = FileName() + backupExtension_;
    if (::access(backup.c_str(), F_OK) == 0 && ::unlink(backup.c_str()) != 0) {
        throw EHexEditor(FormatMessage("Cannot delete previous backup %s. (%s)", backup.c_str(),
                                       std::strerror(errno)));
    }
    if (std::rename(FileName().c_str(), backup.c_str()) != 0) {
        throw EHexEditor(
            FormatMessage("Cannot create backup %s. (%s)", backup.c_str(), std::strerror(errno)));
    }
}

void HexEditorExCore::PutBytes(const void* buffer, std::int32_t index, std::int32_t count) {
    HexEditorCore::PutBytes(buffer, index, count);
    SetIsModified(true);
}

} // namespace quillon
