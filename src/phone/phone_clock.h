#pragma once

#include <chrono>

namespace quillon {

// Time as the phone link sees it: injected so that tests of poll deadlines and pauses do not
// really wait.
class PhoneClock {
public:
    virtual ~PhoneClock() = default;
    virtual std::chrono::milliseconds Now() = 0; // monotonic
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

// The steady clock and a real sleep.
PhoneClock& SystemPhoneClock();

} // namespace quillon
