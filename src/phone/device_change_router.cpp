#include "phone/device_change_router.h"

namespace quillon {

void RouteDeviceChanges(HotPlugSource& source, MotoP2KMode& p2k, MotoATMode& at, MotoMMCMode& mmc) {
    source.SetHandler([&p2k, &at, &mmc](DeviseFamily family, DeviceChangeKind kind) {
        switch (family) {
        case DeviseFamily::P2K:
            p2k.DeviceChange(kind);
            break;
        case DeviseFamily::ATModem:
            at.DeviceChange(kind);
            break;
        case DeviseFamily::MassStorage:
            mmc.DeviceChange(kind);
            break;
        }
    });
}

} // namespace quillon
