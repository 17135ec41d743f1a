#include "network/fast_scan.h"

#include <algorithm>
#include <set>

#include "link/bus_link.h"
#include "link/commands.h"
#include "network/discovery.h"
#include "port/latency_timer.h"

namespace orv {

namespace {

// The answers to one request, read and dropped until the line falls silent,
// so that the next request does not talk over them; within the bounds of a
// pass's reading of one address.
void ReadToSilence(Clock& clock, LogSink& log, uint8_t address)
{
    const uint64_t start = clock.NowMillis();
    BusReply reply;
    for (int frames = 0;; ++frames) {
        if (frames == MAX_ANSWERS_PER_ADDRESS || clock.NowMillis() - start >= ANSWER_TIME_LIMIT_MS) {
            LogF(log, " Too many Replies from  Address: %d ", address);
            return;
        }
        uint8_t consumed = 0;
        if (!ReceiveReply(reply, 1, &consumed) && consumed == 0)
            return;
    }
}

// Milliseconds from the end of the echo of a MODULE_INFO_REQUEST to address
// until its acknowledgement; nothing when none came.
std::optional<uint32_t> TimeAcknowledgement(Clock& clock, LogSink& log, uint8_t address)
{
    const uint8_t query = 0;
    SendRequest(BusRequest{MODULE_INFO_REQUEST, address, &query, 1});
    const uint64_t start = clock.NowMicros();
    if (!WaitForAck())
        return std::nullopt;
    const uint64_t micros = clock.NowMicros() - start;
    ReadToSilence(clock, log, address);
    return uint32_t((micros + 999) / 1000);
}

}  // namespace

uint32_t FastScanAckWait(std::optional<uint32_t> slowestAckMillis, std::optional<uint32_t> latencyTimerMillis)
{
    uint32_t latency = latencyTimerMillis.value_or(FTDI_DEFAULT_LATENCY_MS);
    if (!slowestAckMillis)
        latency = std::max(latency, FTDI_DEFAULT_LATENCY_MS);
    return std::max(FAST_SCAN_MIN_ACK_WAIT_MS, FAST_SCAN_SAFETY_FACTOR * slowestAckMillis.value_or(0)) + latency;
}

FastScanResult FastDiscoverAll(NetworkContext& context, std::optional<uint32_t> latencyTimerMillis)
{
    LogSink& log = context.services.log;
    FastScanResult result;
    const ScanResult broadcast = ScanBusPass(context, BROADCAST_ADDRESS, true);
    // A flooded broadcast names no addresses worth timing one by one.
    if (broadcast.flooded) {
        context.registry.MarkSharedAddresses();
        context.view.RefreshDeviceList();
        result.found = broadcast.found;
        return result;
    }
    std::set<int> addresses;
    for (size_t i = 0; i < context.registry.Count(); ++i)
        addresses.insert(context.registry.Record(i).address);
    std::optional<uint32_t> slowest;
    for (int address : addresses) {
        if (const auto millis = TimeAcknowledgement(context.services.clock, log, uint8_t(address)))
            slowest = std::max(slowest.value_or(0), *millis);
    }
    if (!latencyTimerMillis)
        LogF(log, " Fast discovery: the latency timer cannot be read, taken as %u ms", FTDI_DEFAULT_LATENCY_MS);
    else if (!slowest)
        LogF(log, " Fast discovery: no acknowledgement to time, the latency timer taken as at least %u ms",
             FTDI_DEFAULT_LATENCY_MS);
    result.slowestAckMillis = slowest.value_or(0);
    result.ackWaitMillis = FastScanAckWait(slowest, latencyTimerMillis);
    LogF(log, " Fast discovery: slowest acknowledgement %u ms, waiting %u ms per address", result.slowestAckMillis,
         result.ackWaitMillis);
    const uint32_t wait = result.ackWaitMillis;
    result.found = DiscoverDevices(context, 0, [wait, addresses](int address) {
        return addresses.count(address) ? WaitForAck() : WaitForAckWithin(wait);
    });
    return result;
}

}  // namespace orv
