#include "platform/hotplug_qt/hotplug_notifier.h"

#include <QSocketNotifier>

namespace quillon {

HotPlugNotifier::HotPlugNotifier(HotPlugSource& source, QObject* parent)
    : QObject(parent), source_(source) {
    const int fd = source_.FileDescriptor();
    if (fd < 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] { source_.ProcessEvents(); });
}

} // namespace quillon
