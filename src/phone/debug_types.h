#pragma once

#include <cstdint>

namespace quillon {

// The type of a phone-link report, the only channel through which the phone link tells what
// went wrong.
enum class DebugType : std::uint8_t { dtInformation = 0, dtError = 1 };

} // namespace quillon
