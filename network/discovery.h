// Discovery: asking the bus addresses for their module information and
// filling the registry with one record per valid answer.
#pragma once

#include <cstdint>
#include <functional>

#include "link/bus_link.h"
#include "network/network_view.h"

namespace orv {

// How a pass waits for the acknowledgement of the request to one address.
using AckWait = std::function<bool(int address)>;
inline bool WaitForAckAt(int)
{
    return WaitForAck();
}

// The answers to one request are read until the line falls silent, but no
// further than this many frames or this long: a device that repeats itself
// without pause must not hold a scan there.
constexpr int MAX_ANSWERS_PER_ADDRESS = 255;
constexpr uint64_t ANSWER_TIME_LIMIT_MS = 1000;

// One pass under a cancellable progress dialog. Start 0 asks the addresses 0
// to 254; start 255 (BROADCAST_ADDRESS) sends the single request that every
// device answers. Empties the registry first; with record set every valid
// answer is appended. Returns the number of valid answers (at most 255).
uint8_t ScanBus(NetworkContext& context, int start, bool record, const AckWait& waitForAck = WaitForAckAt);

// The same pass, telling also whether it ended early because the bus brought
// more answers than a full bus of devices gives (a peer that keeps answering).
struct ScanResult {
    uint8_t found = 0;
    bool flooded = false;
};
ScanResult ScanBusPass(NetworkContext& context, int start, bool record, const AckWait& waitForAck = WaitForAckAt);

// Runs passes until the result stands: a start-0 pass again after duplicate
// addresses were resolved, a broadcast up to three times while nobody answers.
// A pass that ended flooded stands as it is. Shows the devices found, or the
// "No ORV-Device Found" box. Returns the count of the last pass.
int DiscoverDevices(NetworkContext& context, int start, const AckWait& waitForAck = WaitForAckAt);

}  // namespace orv
