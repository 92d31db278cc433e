#pragma once

#include "phone/debug_types.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace quillon {

using Bytes = std::vector<std::uint8_t>;

// One report a phone item raised.
struct Report {
    std::string text;
    DebugType type;
    bool subError;

    friend bool operator==(const Report&, const Report&) = default;
    friend void PrintTo(const Report& report, std::ostream* out) {
        *out << '"' << report.text << "\" " << (report.type == DebugType::dtError ? "E" : "I")
             << (report.subError ? " sub" : "");
    }
};

inline Report Info(std::string text) {
    return {std::move(text), DebugType::dtInformation, false};
}
inline Report Error(std::string text) {
    return {std::move(text), DebugType::dtError, false};
}

// Reports of a step inside another operation.
inline Report SubInfo(std::string text) {
    return {std::move(text), DebugType::dtInformation, true};
}
inline Report SubError(std::string text) {
    return {std::move(text), DebugType::dtError, true};
}

// A debug handler for any item type that appends to `reports`.
template <class Item> typename Item::DebugEvent CollectInto(std::vector<Report>& reports) {
    return [&reports](Item*, const std::string& text, DebugType type, bool subError) {
        reports.push_back({text, type, subError});
    };
}

} // namespace quillon
