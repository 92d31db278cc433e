#include "editor/core/hex_error.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace quillon {

std::string FormatMessage(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::vector<char> text(static_cast<size_t>(length > 0 ? length : 0) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    return std::string(text.data(), static_cast<size_t>(length > 0 ? length : 0));
}

} // namespace quillon
