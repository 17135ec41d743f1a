// The bus link bound to a simulated bus in virtual time, with one scripted
// device and every interface call recorded.
#pragma once

#include <functional>
#include <vector>

#include "tests/link/recording_usb.h"
#include "tests/support/sim_bus_rig.h"

namespace orv::test {

using Bytes = std::vector<uint8_t>;

class ScriptedDevice final : public SimResponder {
public:
    std::function<void(const HeardFrame&, SimReplyWriter&)> answer;
    void OnFrame(const HeardFrame& frame, SimReplyWriter& out) override
    {
        if (answer)
            answer(frame, out);
    }
};

struct LinkRig : SimBusRig {
    RecordingUsb usb{bus, clock};
    ScriptedDevice device;

    LinkRig()
    {
        bus.Attach(device);
        BindBusLink(usb, services);
    }

    // Opens the interface and forgets what the open logged and called.
    bool Open()
    {
        const bool opened = OpenBusInterface();
        log.lines.clear();
        usb.calls.clear();
        return opened;
    }

    bool Send(uint16_t command, uint8_t destination, const Bytes& payload = {})
    {
        return SendRequest(BusRequest{command, destination, payload.data(), uint8_t(payload.size())});
    }

    // Bytes that arrive one by one, everyMicros apart, starting after firstMicros.
    void Babble(const Bytes& pattern, int count, uint64_t everyMicros, uint64_t firstMicros = 0)
    {
        for (int i = 0; i < count; ++i)
            bus.InjectBytes({pattern[size_t(i) % pattern.size()]}, firstMicros + uint64_t(i) * everyMicros);
    }

    uint64_t Now() { return clock.NowMillis(); }
};

}  // namespace orv::test
