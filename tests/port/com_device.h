// A simulated device on the far end of a null-modem pair of COM ports: a
// thread reads what the tool sends, echoes every byte as the bus does, and
// hands each complete frame to the device, whose answer goes back.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "link/frame_codec.h"
#include "link/rx_receiver.h"
#include "port/com_port_names.h"
#include "sim/sim_device.h"

namespace orv::test {

class ComDevice {
public:
    ComDevice(SimDevice& device, const std::string& portName) : device_(device)
    {
        const std::optional<std::string> path = ComDevicePath(portName);
        if (!path)
            return;
        port_ = CreateFileA(path->c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (port_ == INVALID_HANDLE_VALUE)
            return;
        // Reads return what is there, or after 10 ms without anything.
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = MAXDWORD;
        timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
        timeouts.ReadTotalTimeoutConstant = 10;
        SetCommTimeouts(port_, &timeouts);
        thread_ = std::thread([this] { Serve(); });
    }
    ~ComDevice() { Unplug(); }

    bool Ready() const { return port_ != INVALID_HANDLE_VALUE; }

    // Stops answering and closes the device's end of the pair.
    void Unplug()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (port_ != INVALID_HANDLE_VALUE)
            CloseHandle(port_);
        port_ = INVALID_HANDLE_VALUE;
    }

    // The device, while the thread does not touch it.
    template <class Fn>
    void With(Fn fn)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        fn(device_);
    }

private:
    void Serve()
    {
        RxReceiver rx(uint8_t(BodyLengthForRaw(6)));
        while (!stop_) {
            uint8_t chunk[256];
            DWORD got = 0;
            if (!ReadFile(port_, chunk, sizeof chunk, &got, nullptr) || got == 0)
                continue;
            Write(chunk, got);
            for (DWORD i = 0; i < got; ++i)
                if (rx.Step(chunk[i]) == RxEvent::BodyComplete)
                    Answer(rx.Body(), rx.Count());
        }
    }

    void Answer(const uint8_t* body, int count)
    {
        const std::optional<UnpackedMessage> message = UnpackMessage(body, count);
        if (!message)
            return;
        SimReplyWriter out;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            device_.OnFrame(HeardFrame{*message, 0}, out);
        }
        for (const auto& item : out.items)
            Write(item.bytes.data(), item.bytes.size());
    }

    void Write(const uint8_t* bytes, size_t count) const
    {
        DWORD done = 0;
        WriteFile(port_, bytes, DWORD(count), &done, nullptr);
    }

    SimDevice& device_;
    HANDLE port_ = INVALID_HANDLE_VALUE;
    std::mutex mutex_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace orv::test
