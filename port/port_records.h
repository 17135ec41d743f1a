// What every port backend keeps besides the line itself: the interfaces its
// last listing found, the handles it gave out, and why its last call failed.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "port/usb_interface.h"

namespace orv {

// The interfaces of the last CreateDeviceInfoList, by index. Entry has a
// DeviceDetail `detail`.
template <class Entry>
class ListedPorts {
public:
    void Clear() { entries_.clear(); }
    void Add(Entry entry) { entries_.push_back(std::move(entry)); }
    uint32_t Count() const { return uint32_t(entries_.size()); }
    // Nothing for an index the last listing did not give.
    const Entry* At(uint32_t index) const { return index < entries_.size() ? &entries_[index] : nullptr; }

    FtStatus Detail(uint32_t index, DeviceDetail& detail) const
    {
        const Entry* entry = At(index);
        if (!entry)
            return FT_DEVICE_NOT_FOUND;
        detail = entry->detail;
        return FT_OK;
    }

private:
    std::vector<Entry> entries_;
};

// The ports opened and not yet closed, by the handle each was given; handles
// count from 1 and are never given twice, so a closed one stays invalid.
template <class Port>
class OpenPorts {
public:
    FtHandle Add(Port port)
    {
        const FtHandle handle = next_++;
        ports_.emplace(handle, std::move(port));
        return handle;
    }
    Port* Find(FtHandle handle)
    {
        const auto it = ports_.find(handle);
        return it == ports_.end() ? nullptr : &it->second;
    }
    void Remove(FtHandle handle) { ports_.erase(handle); }

    auto begin() const { return ports_.begin(); }
    auto end() const { return ports_.end(); }

private:
    std::map<FtHandle, Port> ports_;
    FtHandle next_ = 1;
};

// Why the last call failed, for LastError, and the log it is told to.
class PortFailures {
public:
    PortFailures() = default;
    PortFailures(const PortFailures&) = delete;
    PortFailures& operator=(const PortFailures&) = delete;

    void Bind(LogSink& log) { log_ = &log; }
    LogSink& Log() const { return *log_; }
    const std::string& Why() const { return why_; }

    // Before a call that starts afresh (a listing, an open).
    void Clear() { why_.clear(); }
    // Keeps why without a log line: the caller words its own.
    void Keep(std::string why) { why_ = std::move(why); }
    // Keeps why and logs line, once while the same line repeats (an open
    // tried again and again).
    void Fail(const std::string& line, std::string why);
    // After a port opened: its next failure is logged even if it repeats
    // one from before.
    void Opened() { logged_.clear(); }

private:
    std::string why_;
    std::string logged_;
    NullLog nullLog_;
    LogSink* log_ = &nullLog_;
};

}  // namespace orv
