#include "platform/udev/udev_hotplug_source.h"

#include "platform/udev/udev_phone_match.h"

#include <algorithm>
#include <libudev.h>
#include <string_view>

namespace quillon {

namespace {

constexpr std::array kFamilies{DeviseFamily::P2K, DeviseFamily::ATModem, DeviseFamily::MassStorage};

std::size_t IndexOf(DeviseFamily family) {
    return static_cast<std::size_t>(family);
}

// True when `path` is `removed` or lies below it in the sysfs tree.
bool IsAtOrBelow(std::string_view path, std::string_view removed) {
    return path.starts_with(removed) &&
           (path.size() == removed.size() || path[removed.size()] == '/');
}

udev_monitor* NewMonitor(udev* context) {
    udev_monitor* monitor =
        context != nullptr ? udev_monitor_new_from_netlink(context, "udev") : nullptr;
    if (monitor == nullptr) {
        return nullptr;
    }
    for (const DeviseFamily family : kFamilies) {
        udev_monitor_filter_add_match_subsystem_devtype(monitor, udev_phone::SubsystemOf(family),
                                                        nullptr);
    }
    if (udev_monitor_enable_receiving(monitor) < 0) {
        udev_monitor_unref(monitor);
        return nullptr;
    }
    return monitor;
}

} // namespace

UdevHotPlugSource::UdevHotPlugSource() : context_(udev_new()), monitor_(NewMonitor(context_)) {
    for (const DeviseFamily family : kFamilies) {
        for (udev_phone::Found& found : udev_phone::Enumerate(context_, family)) {
            seen_[IndexOf(family)].push_back(
                {found.devise.DevInst, found.devise.DevicePath, std::move(found.syspaths)});
        }
    }
}

UdevHotPlugSource::~UdevHotPlugSource() {
    if (monitor_ != nullptr) {
        udev_monitor_unref(monitor_);
    }
    if (context_ != nullptr) {
        udev_unref(context_);
    }
}

void UdevHotPlugSource::SetHandler(Handler handler) {
    handler_ = std::move(handler);
}

int UdevHotPlugSource::FileDescriptor() const {
    return monitor_ != nullptr ? udev_monitor_get_fd(monitor_) : -1;
}

// The monitor's socket does not block: this reads what is queued and returns. The handler is
// called only once the state is up to date, because it may run a phone task that lets events
// in and so calls this again.
void UdevHotPlugSource::ProcessEvents() {
    if (monitor_ == nullptr) {
        return;
    }
    Changes changes;
    while (udev_device* event = udev_monitor_receive_device(monitor_)) {
        HandleEvent(event, changes);
        udev_device_unref(event);
    }
    const Handler handler = handler_;
    for (const Change& change : changes) {
        if (handler) {
            handler(change.family, change.kind);
        }
    }
}

// A removed device may linger in sysfs for a moment, so a removal is judged by its path alone;
// any other event is judged by what is present now.
void UdevHotPlugSource::HandleEvent(udev_device* event, Changes& changes) {
    const char* action = udev_device_get_action(event);
    const char* subsystem = udev_device_get_subsystem(event);
    const bool removal = action != nullptr && std::string_view(action) == "remove";
    for (const DeviseFamily family : kFamilies) {
        if (removal) {
            ForgetRemoved(family, udev_device_get_syspath(event), changes);
        } else if (subsystem != nullptr &&
                   std::string_view(subsystem) == udev_phone::SubsystemOf(family)) {
            CompareWithPresent(family, changes);
        }
    }
}

void UdevHotPlugSource::ForgetRemoved(DeviseFamily family, const std::string& removedPath,
                                      Changes& changes) {
    std::vector<Seen>& seen = seen_[IndexOf(family)];
    for (auto it = seen.begin(); it != seen.end();) {
        const bool gone =
            std::any_of(it->syspaths.begin(), it->syspaths.end(),
                        [&](const std::string& path) { return IsAtOrBelow(path, removedPath); });
        if (gone) {
            it = seen.erase(it);
            changes.push_back({family, DeviceChangeKind::Removal});
        } else {
            ++it;
        }
    }
}

void UdevHotPlugSource::CompareWithPresent(DeviseFamily family, Changes& changes) {
    std::vector<udev_phone::Found> present = udev_phone::Enumerate(context_, family);
    std::vector<Seen>& seen = seen_[IndexOf(family)];
    const auto matches = [](const Seen& entry, const udev_phone::Found& found) {
        return entry.devInst == found.devise.DevInst && entry.devicePath == found.devise.DevicePath;
    };
    for (auto it = seen.begin(); it != seen.end();) {
        const bool stillThere =
            std::any_of(present.begin(), present.end(),
                        [&](const udev_phone::Found& found) { return matches(*it, found); });
        if (stillThere) {
            ++it;
        } else {
            it = seen.erase(it);
            changes.push_back({family, DeviceChangeKind::Removal});
        }
    }
    for (udev_phone::Found& found : present) {
        const bool known = std::any_of(seen.begin(), seen.end(),
                                       [&](const Seen& entry) { return matches(entry, found); });
        if (!known) {
            seen.push_back(
                {found.devise.DevInst, found.devise.DevicePath, std::move(found.syspaths)});
            changes.push_back({family, DeviceChangeKind::Arrival});
        }
    }
}

} // namespace quillon
