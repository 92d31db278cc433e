#include "phone/moto_mode.h"

namespace quillon {

const std::string& CorvelAboutText() {
    static const std::string text =
        "Corvel phone components 1.0: P2K, AT modem and mass-storage modes of Motorola phones. "
        "Free to use, copy and change; provided as is, without warranty of any kind.";
    return text;
}

} // namespace quillon
