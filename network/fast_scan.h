// The fast full discovery: every address from 0 to 254 asked as the full pass
// asks them, but each acknowledgement awaited only as long as the devices on
// this bus were measured to take, not for ten silent reads.
#pragma once

#include <cstdint>
#include <optional>

#include "network/network_view.h"

namespace orv {

// The least wait for an acknowledgement: some ten times the request's own
// time on the wire, room for the scheduling of a busy machine.
constexpr uint32_t FAST_SCAN_MIN_ACK_WAIT_MS = 10;
constexpr uint32_t FAST_SCAN_SAFETY_FACTOR = 2;

// How long an address's acknowledgement is awaited, given the slowest
// acknowledgement measured (nothing when no device answered the broadcast)
// and the interface's latency timer (nothing when it cannot be read). Where
// either is missing, the latency timer is taken to be at least the FTDI
// default.
uint32_t FastScanAckWait(std::optional<uint32_t> slowestAckMillis, std::optional<uint32_t> latencyTimerMillis);

struct FastScanResult {
    int found = 0;  // as DiscoverDevices counts them
    uint32_t slowestAckMillis = 0;
    uint32_t ackWaitMillis = 0;
};

// A broadcast pass finds the devices that answer it; each of their addresses
// is asked once more to time its acknowledgement, from the end of the
// request's echo as the pass waits; then the full discovery runs with the wait
// that follows. The addresses the broadcast found are awaited as long as a
// slow pass waits, so that a device slower than measured is not missed. An
// address that acknowledges is read to silence as in every pass, so devices
// that share it are all collected. A broadcast flooded with answers ends the
// scan with what it heard.
FastScanResult FastDiscoverAll(NetworkContext& context, std::optional<uint32_t> latencyTimerMillis);

}  // namespace orv
