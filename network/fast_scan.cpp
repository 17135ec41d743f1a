#include "network/fast_scan.h"

#include <algorithm>
#include <optional>
#include <set>

#include "link/bus_link.h"
#include "link/commands.h"
#include "network/discovery.h"

namespace orv {

namespace {

// The answers to one request, read and dropped until the line falls silent,
// so that the next request does not talk over them.
void ReadToSilence()
{
    BusReply reply;
    uint8_t consumed = 0;
    while (ReceiveReply(reply, 1, &consumed) || consumed != 0)
        consumed = 0;
}

// Milliseconds from the first byte of a MODULE_INFO_REQUEST to address until
// its acknowledgement; nothing when none came.
std::optional<uint32_t> TimeAcknowledgement(Clock& clock, uint8_t address)
{
    const uint64_t start = clock.NowMicros();
    const uint8_t query = 0;
    SendRequest(BusRequest{MODULE_INFO_REQUEST, address, &query, 1});
    if (!WaitForAck())
        return std::nullopt;
    const uint64_t micros = clock.NowMicros() - start;
    ReadToSilence();
    return uint32_t((micros + 999) / 1000);
}

}  // namespace

uint32_t FastScanAckWait(uint32_t slowestAckMillis, uint32_t latencyTimerMillis)
{
    return std::max(FAST_SCAN_MIN_ACK_WAIT_MS, FAST_SCAN_SAFETY_FACTOR * slowestAckMillis) + latencyTimerMillis;
}

FastScanResult FastDiscoverAll(NetworkContext& context, uint32_t latencyTimerMillis)
{
    FastScanResult result;
    ScanBus(context, BROADCAST_ADDRESS, true);
    std::set<uint8_t> addresses;
    for (size_t i = 0; i < context.registry.Count(); ++i)
        addresses.insert(context.registry.Record(i).address);
    for (uint8_t address : addresses) {
        if (const auto millis = TimeAcknowledgement(context.services.clock, address))
            result.slowestAckMillis = std::max(result.slowestAckMillis, *millis);
    }
    result.ackWaitMillis = FastScanAckWait(result.slowestAckMillis, latencyTimerMillis);
    LogF(context.services.log, " Fast discovery: slowest acknowledgement %u ms, waiting %u ms per address",
         result.slowestAckMillis, result.ackWaitMillis);
    const uint32_t wait = result.ackWaitMillis;
    result.found = DiscoverDevices(context, 0, [wait] { return WaitForAckWithin(wait); });
    return result;
}

}  // namespace orv
