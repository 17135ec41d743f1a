// Every pause of the program goes through a Clock: real in the programs,
// virtual in tests and in orvctl --sim, where sleeping only moves time on.
#pragma once

#include <cstdint>

namespace orv {

class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic time since an arbitrary start.
    virtual uint64_t NowMicros() = 0;
    virtual void SleepMicros(uint64_t micros) = 0;

    void Sleep(uint32_t millis) { SleepMicros(uint64_t(millis) * 1000); }
    uint64_t NowMillis() { return NowMicros() / 1000; }
};

class SteadyClock final : public Clock {
public:
    uint64_t NowMicros() override;
    void SleepMicros(uint64_t micros) override;
};

// Time that passes only when someone sleeps: a 0.7 s time-out costs nothing.
class VirtualClock final : public Clock {
public:
    uint64_t NowMicros() override { return now_; }
    void SleepMicros(uint64_t micros) override { now_ += micros; }

private:
    uint64_t now_ = 0;
};

}  // namespace orv
