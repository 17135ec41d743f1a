// A UsbInterface in front of another that records each call with the clock
// time, and can make writes come up short.
#pragma once

#include <string>
#include <vector>

#include "port/usb_interface.h"
#include "services/clock.h"
#include "services/log.h"

namespace orv::test {

struct UsbCall {
    uint64_t atMillis;
    std::string what;  // "List", "Open 0", "ClrRts", "Write 10", "Read 1", ...
};

class RecordingUsb final : public UsbInterface {
public:
    RecordingUsb(UsbInterface& inner, Clock& clock) : inner_(inner), clock_(clock) {}

    std::vector<UsbCall> calls;
    // The next writes that report one byte fewer than asked.
    int shortWrites = 0;
    // What LastError reports, as a backend tells why its line failed.
    std::string lastError;

    std::vector<std::string> Calls(bool withReads = true) const
    {
        std::vector<std::string> names;
        for (const auto& c : calls)
            if (withReads || c.what.rfind("Read", 0) != 0)
                names.push_back(c.what);
        return names;
    }
    std::vector<uint64_t> TimesOf(const std::string& what) const
    {
        std::vector<uint64_t> times;
        for (const auto& c : calls)
            if (c.what == what)
                times.push_back(c.atMillis);
        return times;
    }

    std::string LastError() const override { return lastError; }

    FtStatus CreateDeviceInfoList(uint32_t& count) override
    {
        Note("List");
        return inner_.CreateDeviceInfoList(count);
    }
    FtStatus GetDeviceInfoDetail(uint32_t index, DeviceDetail& detail) override
    {
        Note(StrF("Detail %u", index));
        return inner_.GetDeviceInfoDetail(index, detail);
    }
    FtStatus Open(uint32_t index, FtHandle& handle) override
    {
        Note(StrF("Open %u", index));
        return inner_.Open(index, handle);
    }
    FtStatus Close(FtHandle handle) override
    {
        Note("Close");
        return inner_.Close(handle);
    }
    bool GetCommState(FtHandle handle, CommState& state) override
    {
        Note("GetCommState");
        return inner_.GetCommState(handle, state);
    }
    bool SetCommState(FtHandle handle, const CommState& state) override
    {
        Note("SetCommState");
        return inner_.SetCommState(handle, state);
    }
    FtStatus SetTimeouts(FtHandle handle, uint32_t readMillis, uint32_t writeMillis) override
    {
        Note(StrF("SetTimeouts %u %u", readMillis, writeMillis));
        return inner_.SetTimeouts(handle, readMillis, writeMillis);
    }
    FtStatus ClrRts(FtHandle handle) override
    {
        Note("ClrRts");
        return inner_.ClrRts(handle);
    }
    FtStatus Write(FtHandle handle, const uint8_t* buffer, uint32_t count, uint32_t& written) override
    {
        Note(StrF("Write %u", count));
        const FtStatus status = inner_.Write(handle, buffer, count, written);
        if (shortWrites > 0 && written > 0) {
            --shortWrites;
            --written;
        }
        return status;
    }
    FtStatus Read(FtHandle handle, uint8_t* buffer, uint32_t count, uint32_t& read) override
    {
        Note(StrF("Read %u", count));
        return inner_.Read(handle, buffer, count, read);
    }
    FtStatus GetQueueStatus(FtHandle handle, uint32_t& waiting) override
    {
        Note("GetQueueStatus");
        return inner_.GetQueueStatus(handle, waiting);
    }
    FtStatus PurgeReceive(FtHandle handle) override
    {
        Note("PurgeReceive");
        return inner_.PurgeReceive(handle);
    }

private:
    void Note(std::string what) { calls.push_back({clock_.NowMillis(), std::move(what)}); }

    UsbInterface& inner_;
    Clock& clock_;
};

}  // namespace orv::test
