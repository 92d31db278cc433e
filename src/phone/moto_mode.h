#pragma once

#include "phone/device_source.h"
#include "phone/usb_devise.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quillon {

// The about text of every phone-mode component.
const std::string& CorvelAboutText();

// True when a device the source found belongs in the family's list.
inline bool IsListable(const USBDevise& devise, DeviseFamily family) {
    return IsMotorolaDevise(devise) && TakesDevise(devise, DescriptionFilter(family));
}

// The present phones of one mode, matched to fresh enumerations by DevInst. Items that stay
// keep their place, their open handle and their state.
template <class Item> class MotoModemList {
public:
    using ItemFactory = std::function<std::unique_ptr<Item>(const USBDevise&)>;

    // Lists the phones present now.
    MotoModemList(DeviceSource& source, DeviseFamily family, ItemFactory factory)
        : source_(source), family_(family), factory_(std::move(factory)) {
        Refresh();
    }
    MotoModemList(const MotoModemList&) = delete;
    MotoModemList& operator=(const MotoModemList&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }

    // Null when the index is out of range.
    Item* GetItem(int index) const {
        if (index < 0 || index >= Count()) {
            return nullptr;
        }
        return items_[static_cast<std::size_t>(index)].get();
    }

    Item* FindByDevInst(std::uint32_t devInst) const {
        const auto found = std::find_if(items_.begin(), items_.end(), [&](const auto& item) {
            return item->ModemInfo().DevInst == devInst;
        });
        return found == items_.end() ? nullptr : found->get();
    }

    // The new item, or null when the device is listed already or the item cannot be made.
    Item* AddDevise(const USBDevise& devise) {
        if (FindByDevInst(devise.DevInst) != nullptr) {
            return nullptr;
        }
        try {
            items_.push_back(factory_(devise));
            return items_.back().get();
        } catch (...) {
            return nullptr;
        }
    }

    void Refresh() {
        USBDevises fresh = source_.GetUSBDevises(family_);
        std::erase_if(fresh, [&](const USBDevise& devise) { return !IsListable(devise, family_); });
        RemoveAbsent(fresh);
        for (const USBDevise& devise : fresh) {
            AddDevise(devise);
        }
    }

private:
    // Gone items are destroyed (closing themselves) only once the list is whole again, so a
    // report handler that looks at the list sees it consistent.
    void RemoveAbsent(const USBDevises& fresh) {
        std::vector<std::unique_ptr<Item>> kept;
        std::vector<std::unique_ptr<Item>> gone;
        for (auto& item : items_) {
            const bool present =
                std::any_of(fresh.begin(), fresh.end(), [&](const USBDevise& devise) {
                    return devise.DevInst == item->ModemInfo().DevInst;
                });
            (present ? kept : gone).push_back(std::move(item));
        }
        items_ = std::move(kept);
    }

    DeviceSource& source_;
    DeviseFamily family_;
    ItemFactory factory_;
    std::vector<std::unique_ptr<Item>> items_;
};

// What the three phone-mode components share: the list, the about text, the events and the
// device-change handler.
template <class Item> class MotoMode {
public:
    using List = MotoModemList<Item>;
    using DebugEvent = typename Item::DebugEvent;
    using NotifyEvent = std::function<void(MotoMode& Sender)>;

    MotoMode(const MotoMode&) = delete;
    MotoMode& operator=(const MotoMode&) = delete;

    const std::string& About() const { return CorvelAboutText(); }
    // The about text is fixed; writing it changes nothing.
    void SetAbout(const std::string&) {}
    List& DeviseList() { return list_; }

    NotifyEvent OnArrival;
    NotifyEvent OnRemove;

    const DebugEvent& OnDebug() const { return onDebug_; }
    // Hands the handler to every listed item; an empty handler clears every item's hook.
    void SetOnDebug(DebugEvent handler) {
        onDebug_ = std::move(handler);
        for (int i = 0; i < list_.Count(); ++i) {
            list_.GetItem(i)->SetOnDebugEvent(onDebug_);
        }
    }

    // One arrival or removal of a device of this family: refresh, hook new items, tell the
    // host. Nothing escapes, not even from the host's handlers.
    void DeviceChange(DeviceChangeKind kind) {
        if (kind == DeviceChangeKind::None) {
            return;
        }
        try {
            list_.Refresh();
            SetOnDebug(onDebug_);
            const NotifyEvent& event = kind == DeviceChangeKind::Arrival ? OnArrival : OnRemove;
            if (event) {
                event(*this);
            }
        } catch (...) {
        }
    }

protected:
    MotoMode(DeviceSource& source, DeviseFamily family, typename List::ItemFactory factory)
        : list_(source, family, std::move(factory)) {}
    ~MotoMode() = default;

private:
    DebugEvent onDebug_;
    List list_;
};

} // namespace quillon
