#pragma once

#include "phone/usb_devise.h"

#include <functional>
#include <string_view>

namespace quillon {

// Snapshot enumeration of the present devices of one family (the Linux backend uses
// udev_enumerate). Returns only devices of kMotorolaVendorId that match the family, in
// enumeration order; the components apply TakesDevise on top. A failed enumeration is an
// empty list, never an exception.
class DeviceSource {
public:
    virtual ~DeviceSource() = default;
    virtual USBDevises GetUSBDevises(DeviseFamily family) = 0;
};

enum class DeviceChangeKind : std::uint8_t { None = 0, Arrival = 1, Removal = 2 };

// Maps a hot-plug action to a change: "add" is an arrival, "remove" a removal, anything else
// ("change", "bind", ...) is None and must leave every list untouched.
DeviceChangeKind GetDeviceChange(std::string_view action);

// Arrivals and removals of matching devices, one per device node even when the system reports
// several events for one physical arrival. The Linux backend owns a udev monitor; the
// application watches FileDescriptor() for readability on the user-interface thread and then
// calls ProcessEvents(), which reads what is ready without blocking and calls the handler on
// that same thread. Test doubles have no descriptor and call the handler themselves.
class HotPlugSource {
public:
    using Handler = std::function<void(DeviseFamily family, DeviceChangeKind kind)>;

    virtual ~HotPlugSource() = default;
    virtual void SetHandler(Handler handler) = 0;
    // The descriptor to watch, -1 when there is none.
    virtual int FileDescriptor() const = 0;
    virtual void ProcessEvents() = 0;
};

} // namespace quillon
