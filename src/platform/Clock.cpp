#include "platform/Clock.h"

#include <chrono>
#include <ctime>
#include <random>

namespace qingheng {
namespace {

class MersenneRandom final : public Random {
public:
    void seed(std::uint64_t value) override { engine_.seed(value); }
    std::int32_t next31() override { return static_cast<std::int32_t>(engine_() & 0x7FFFFFFFu); }

private:
    std::mt19937 engine_{5489u};
};

std::shared_ptr<Clock>& clockSlot() {
    static std::shared_ptr<Clock> clock = std::make_shared<SystemClock>();
    return clock;
}

std::shared_ptr<Random>& randomSlot() {
    static std::shared_ptr<Random> random = std::make_shared<MersenneRandom>();
    return random;
}

}  // namespace

LocalDateTime SystemClock::now() const {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

const Clock& appClock() { return *clockSlot(); }
void setAppClock(std::shared_ptr<Clock> clock) { clockSlot() = std::move(clock); }

Random& appRandom() { return *randomSlot(); }
void setAppRandom(std::shared_ptr<Random> random) { randomSlot() = std::move(random); }

void seedFromClock(Random& random) {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    random.seed(static_cast<std::uint64_t>(ticks) ^ static_cast<std::uint64_t>(std::time(nullptr)));
}

}  // namespace qingheng
