#pragma once

#include "phone/device_source.h"

#include <QObject>

namespace quillon {

// Watches a hot-plug source's descriptor on the thread that owns this object (the
// user-interface thread) and lets the source hand its ready events to its handler there.
class HotPlugNotifier final : public QObject {
public:
    explicit HotPlugNotifier(HotPlugSource& source, QObject* parent = nullptr);

private:
    HotPlugSource& source_;
};

} // namespace quillon
