#include "services/clock.h"

#include <chrono>
#include <thread>

namespace orv {

uint64_t SteadyClock::NowMicros()
{
    using namespace std::chrono;
    return uint64_t(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

void SteadyClock::SleepMicros(uint64_t micros)
{
    std::this_thread::sleep_for(std::chrono::microseconds(micros));
}

}  // namespace orv
