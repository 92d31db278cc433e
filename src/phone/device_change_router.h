#pragma once

#include "phone/device_source.h"
#include "phone/moto_at_mode.h"
#include "phone/moto_mmc_mode.h"
#include "phone/moto_p2k_mode.h"

namespace quillon {

// Hands each change the hot-plug source reports to the component of its family. The
// components must outlive the source's handler (clear it with SetHandler(nullptr) first).
void RouteDeviceChanges(HotPlugSource& source, MotoP2KMode& p2k, MotoATMode& at, MotoMMCMode& mmc);

} // namespace quillon
