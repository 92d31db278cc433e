#pragma once

#include "phone/modem_port.h"

namespace quillon {

// Opens a phone's modem port (/dev/ttyACMn) through termios in raw mode. Writes never block:
// the descriptor is non-blocking and each write waits with poll for at most its bound.
class TermiosModemPortDriver final : public ModemPortDriver {
public:
    std::unique_ptr<ModemPort> Open(const std::string& devicePath, int& error) override;
};

} // namespace quillon
