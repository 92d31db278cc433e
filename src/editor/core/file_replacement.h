#pragma once

#include <optional>
#include <string>
#include <sys/stat.h>

#include "editor/core/hex_stream.h"

namespace quillon {

// Writes a file as a whole: the bytes go to a private temporary file in the target's folder,
// which Commit() renames over the target (through symbolic links, keeping the old file's
// permissions). Until then the target is untouched; without Commit() the temporary is removed.
// Failures raise EFOpenError "Cannot create file %s.\r\n(%s.)" with the system's text.
class FileReplacement {
public:
    // Looks at the target only; its permissions count even if it is moved away before Create.
    explicit FileReplacement(const std::string& fileName);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Makes the temporary file; Stream() writes to it.
    void Create();
    HexStream& Stream() { return *stream_; }
    void Commit();

private:
    [[noreturn]] void Fail(int error) const;

    std::string fileName_;
    std::string target_;
    bool exists_ = false;
    bool writable_ = true;
    struct stat existing_ {};
    std::string temporary_;
    std::optional<HexFileStream> stream_;
};

} // namespace quillon
