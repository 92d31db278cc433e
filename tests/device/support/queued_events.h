#pragma once

#include "phone/device_source.h"

#include <poll.h>

namespace quillon::device_test {

// Hands every event umockdev has queued to the source's handler: the first may take a moment
// to arrive.
inline void DeliverQueuedEvents(HotPlugSource& source) {
    pollfd waiter{source.FileDescriptor(), POLLIN, 0};
    int wait = 2000;
    while (poll(&waiter, 1, wait) == 1) {
        source.ProcessEvents();
        wait = 100;
    }
}

} // namespace quillon::device_test
