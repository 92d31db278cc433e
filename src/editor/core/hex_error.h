#pragma once

#include <stdexcept>
#include <string>

namespace quillon {

// The editor's own rule violations; carries the message text only.
class EHexEditor : public std::runtime_error {
public:
    explicit EHexEditor(const std::string& message) : std::runtime_error(message) {}
};

// A file that cannot be opened, or must not be overwritten.
class EFOpenError : public std::runtime_error {
public:
    explicit EFOpenError(const std::string& message) : std::runtime_error(message) {}
};

// printf-style formatting for the fixed message texts ("Cannot open %s.\r\n(%s.)").
std::string FormatMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace quillon
