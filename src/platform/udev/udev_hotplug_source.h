#pragma once

#include "phone/device_source.h"

#include <array>
#include <string>
#include <vector>

struct udev;
struct udev_device;
struct udev_monitor;

namespace quillon {

// Arrivals and removals of phones from a udev monitor. One physical arrival makes several
// events (the USB device, each interface, the tty or disk); the source compares each family
// with what it last saw, so each device node arrives once and is removed once. Phones present
// when the source is made count as seen.
class UdevHotPlugSource final : public HotPlugSource {
public:
    UdevHotPlugSource();
    UdevHotPlugSource(const UdevHotPlugSource&) = delete;
    UdevHotPlugSource& operator=(const UdevHotPlugSource&) = delete;
    ~UdevHotPlugSource() override;

    void SetHandler(Handler handler) override;
    int FileDescriptor() const override;
    void ProcessEvents() override;

private:
    struct Seen {
        std::uint32_t devInst;
        std::string devicePath;
        std::vector<std::string> syspaths;
    };

    struct Change {
        DeviseFamily family;
        DeviceChangeKind kind;
    };
    using Changes = std::vector<Change>;

    void HandleEvent(udev_device* event, Changes& changes);
    void ForgetRemoved(DeviseFamily family, const std::string& removedPath, Changes& changes);
    void CompareWithPresent(DeviseFamily family, Changes& changes);

    udev* context_;
    udev_monitor* monitor_;
    Handler handler_;
    std::array<std::vector<Seen>, 3> seen_;
};

} // namespace quillon
