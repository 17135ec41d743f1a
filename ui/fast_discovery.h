// "Discover All Devices (Fast)": the full discovery, every address asked, at
// the pace the devices of this bus were measured to take instead of ten silent
// reads per address; the same progress and Cancel as the slow one.
#pragma once

#include <cstdint>
#include <optional>

namespace orv {

class MainDialog;

constexpr int ID_DISCOVER_ALL_FAST = 10022;

// latencyTimerMillis: how long the interface may hold a received byte;
// nothing when unknown.
void DiscoverAllFast(MainDialog& dialog, std::optional<uint32_t> latencyTimerMillis);

}  // namespace orv
