#pragma once
// Dice that tests set: a generator that returns the values it was given, and a scope that
// installs it as the program's generator.
#include <cstdint>
#include <deque>
#include <memory>
#include <random>

#include "platform/Clock.h"

namespace qingheng::testing {

// Returns the scripted values in order; the last one repeats.
class ScriptedRandom final : public Random {
public:
    explicit ScriptedRandom(std::deque<std::int32_t> values) : values_(std::move(values)) {}
    void seed(std::uint64_t) override {}
    std::int32_t next31() override {
        const std::int32_t v = values_.front();
        if (values_.size() > 1) values_.pop_front();
        return v;
    }

private:
    std::deque<std::int32_t> values_;
};

// Installs a scripted generator for the life of the object, then an ordinary one again.
class ScopedRandom {
public:
    explicit ScopedRandom(std::deque<std::int32_t> values) {
        setAppRandom(std::make_shared<ScriptedRandom>(std::move(values)));
    }
    ~ScopedRandom() { setAppRandom(std::make_shared<EngineRandom>()); }
    ScopedRandom(const ScopedRandom&) = delete;
    ScopedRandom& operator=(const ScopedRandom&) = delete;

private:
    class EngineRandom final : public Random {
    public:
        void seed(std::uint64_t value) override { engine_.seed(value); }
        std::int32_t next31() override { return static_cast<std::int32_t>(engine_() & 0x7FFFFFFF); }

    private:
        std::mt19937 engine_;
    };
};

}  // namespace qingheng::testing
