// Feeds arbitrary phone answers into every P2K service. Buffers are sized exactly so that the
// address sanitizer sees any write past the room a service was given.
#include "phone/moto_p2k_modem_item.h"
#include "phone/support/simulated_p2k_driver.h"
#include "phone/support/simulated_p2k_phone.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

namespace {

using quillon::MotoP2KModemItem;
using Bytes = std::vector<std::uint8_t>;

void RunService(MotoP2KModemItem& item, FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 7)) {
    case 0: {
        Bytes buffer(input.ConsumeIntegralInRange<std::size_t>(0, 300));
        std::uint16_t size = 0;
        item.ReadSeem(input.ConsumeIntegral<std::uint16_t>(),
                      input.ConsumeIntegral<std::uint16_t>(), 0, 0, buffer, size);
        break;
    }
    case 1: {
        const Bytes data = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 300));
        item.WriteSeem(1, 1, 0, input.ConsumeIntegral<std::uint16_t>(), data);
        break;
    }
    case 2:
        item.GetPhoneModel();
        break;
    case 3:
        item.FileOpen(input.ConsumeRandomLengthString(300), input.ConsumeIntegral<std::uint8_t>());
        break;
    case 4: {
        Bytes buffer(input.ConsumeIntegralInRange<std::size_t>(0, 4200));
        item.FileRead(buffer, input.ConsumeIntegralInRange<std::int32_t>(-2, 4200));
        break;
    }
    case 5: {
        const Bytes data = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 1100));
        item.FileWrite(input.ConsumeIntegralInRange<std::int32_t>(-2, 1100), data);
        break;
    }
    case 6:
        item.FileClose();
        break;
    default: {
        Bytes reply(input.ConsumeIntegralInRange<std::size_t>(0, 5000));
        const Bytes payload =
            input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 4200));
        std::uint16_t length = 0;
        item.SendCommand(input.ConsumeIntegral<std::uint16_t>(), payload, reply, length);
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    quillon::sim::SimulatedP2KPhone phone;
    quillon::sim::SimulatedP2KDriver driver(phone);
    quillon::sim::ManualClock clock;
    quillon::USBDevise devise;
    devise.DevicePath = driver.kDevicePath;
    MotoP2KModemItem item(devise, driver, clock);
    item.Open();

    quillon::sim::PhoneFaults faults;
    faults.sendTimesOut = input.ConsumeBool();
    if (input.ConsumeBool()) {
        faults.declaredLength = input.ConsumeIntegral<std::uint16_t>();
    }
    phone.SetFaults(faults);
    if (input.ConsumeBool()) {
        phone.SetRawStatusAnswer(
            input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 16)));
    }
    if (input.ConsumeBool()) {
        phone.SetRawReadAnswer(
            input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 4200)));
    } else {
        phone.SetNextReplyData(
            input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 5000)));
    }
    while (input.remaining_bytes() > 0) {
        RunService(item, input);
    }
    return 0;
}
