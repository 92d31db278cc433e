#pragma once

#include "phone/debug_types.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace quillon {

// The report hook every phone item has: OnDebugEvent, set by the owning component, and DoDebug,
// which calls it when it is assigned.
template <class Item> class PhoneItemReports {
public:
    using DebugEvent = std::function<void(Item* AItem, const std::string& ADebugText,
                                          DebugType ADebugType, bool ASubError)>;

    const DebugEvent& OnDebugEvent() const { return onDebugEvent_; }
    void SetOnDebugEvent(DebugEvent handler) { onDebugEvent_ = std::move(handler); }

    void DoDebug(std::string_view text, DebugType type, bool subError) {
        if (onDebugEvent_) {
            onDebugEvent_(static_cast<Item*>(this), std::string(text), type, subError);
        }
    }

    // Reports `done` or, as an error, `failed`, and hands the outcome on.
    bool ReportOutcome(bool ok, std::string_view done, std::string_view failed,
                       bool subError = false) {
        DoDebug(ok ? done : failed, ok ? DebugType::dtInformation : DebugType::dtError, subError);
        return ok;
    }

protected:
    PhoneItemReports() = default;
    ~PhoneItemReports() = default;

private:
    DebugEvent onDebugEvent_;
};

// Closes an item's open device and lets it go. False when there is none (nothing is called)
// or when it refuses to close (it is kept, as the item then still holds it).
template <class Device> bool CloseDevice(std::unique_ptr<Device>& device) {
    if (!device || device->Close() != 0) {
        return false;
    }
    device.reset();
    return true;
}

} // namespace quillon
