#pragma once

#include <optional>
#include <string>

#include "editor/core/hex_stream.h"

namespace quillon {

// Writes a file as a whole: the bytes go to a private temporary file in the target's folder,
// which Commit() renames over the target (through symbolic links, keeping the old file's
// permissions). Until then the target is untouched; without Commit() the temporary is removed.
// Failures raise EFOpenError "Cannot create file %s.\r\n(%s.)" with the system's text.
class FileReplacement {
public:
    explicit FileReplacement(const std::string& fileName);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    HexStream& Stream() { return *stream_; }
    void Commit();

private:
    [[noreturn]] void Fail(int error) const;

    std::string fileName_;
    std::string target_;
    std::string temporary_;
    std::optional<HexFileStream> stream_;
};

} // namespace quillon
