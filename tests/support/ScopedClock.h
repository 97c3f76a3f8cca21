#pragma once
// A fixed "now" that tests set: installed as the program's clock for the life of the object,
// then the system clock again.
#include <memory>

#include "platform/Clock.h"

namespace qingheng::testing {

class ScopedClock {
public:
    explicit ScopedClock(LocalDateTime now) { setAppClock(std::make_shared<FixedClock>(now)); }
    ~ScopedClock() { setAppClock(std::make_shared<SystemClock>()); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

}  // namespace qingheng::testing
