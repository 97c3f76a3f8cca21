#pragma once
// The clock and the random generator sit behind small interfaces so that tests can set
// "now" and the dice.
#include <cstdint>
#include <memory>

namespace qingheng {

struct LocalDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
};

// The computer's local time.
class SystemClock final : public Clock {
public:
    LocalDateTime now() const override;
};

// A clock that always shows the moment it was given.
class FixedClock final : public Clock {
public:
    explicit FixedClock(LocalDateTime t) : t_(t) {}
    LocalDateTime now() const override { return t_; }
    void set(LocalDateTime t) { t_ = t; }

private:
    LocalDateTime t_;
};

// The clock the program uses; tests may replace it.
const Clock& appClock();
void setAppClock(std::shared_ptr<Clock> clock);

// Uniform non-negative 31-bit integers.
class Random {
public:
    virtual ~Random() = default;
    virtual void seed(std::uint64_t value) = 0;
    virtual std::int32_t next31() = 0;
};

// The program's generator; seedFromClock seeds it from the current time.
Random& appRandom();
void seedFromClock(Random& random);
void setAppRandom(std::shared_ptr<Random> random);

}  // namespace qingheng
