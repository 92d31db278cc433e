#include "phone/phone_clock.h"

#include <thread>

namespace quillon {

namespace {

class SteadyPhoneClock final : public PhoneClock {
public:
    std::chrono::milliseconds Now() override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
    void Sleep(std::chrono::milliseconds duration) override {
        std::this_thread::sleep_for(duration);
    }
};

} // namespace

PhoneClock& SystemPhoneClock() {
    static SteadyPhoneClock clock;
    return clock;
}

} // namespace quillon
