#pragma once

#include "phone/support/simulated_p2k_phone.h"
#include "support/phone_testbed.h"

#include <cerrno>

namespace quillon::device_test {

// The simulated phone answering at the kernel interface: what it does with a transfer becomes
// what usbdevfs does with the URB. A time-out is a URB that never completes (libusb gives up
// and discards it), a vanished phone fails the submission with ENODEV, any other error
// completes the URB with that status.
inline ControlResponder Answering(sim::SimulatedP2KPhone& phone) {
    return [&phone](const ControlRequest& request) {
        const std::uint8_t setup[8] = {request.requestType,
                                       request.request,
                                       static_cast<std::uint8_t>(request.value),
                                       static_cast<std::uint8_t>(request.value >> 8),
                                       static_cast<std::uint8_t>(request.index),
                                       static_cast<std::uint8_t>(request.index >> 8),
                                       static_cast<std::uint8_t>(request.length),
                                       static_cast<std::uint8_t>(request.length >> 8)};
        sim::TransferAnswer answer = phone.Transfer(setup, request.data);
        ControlReply reply;
        switch (answer.outcome) {
        case ExchangeOutcome::Ok:
            reply.data = std::move(answer.data);
            break;
        case ExchangeOutcome::TimedOut:
            reply.silent = true;
            break;
        case ExchangeOutcome::Error:
            if (answer.errorCode == ENODEV) {
                reply.submitError = ENODEV;
            } else {
                reply.urbStatus = -answer.errorCode;
            }
            break;
        }
        return reply;
    };
}

} // namespace quillon::device_test
