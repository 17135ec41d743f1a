// A simulated bus served on a pseudo-terminal in real time: the programs open
// its slave side as they open an FTDI tty, and on the master side a thread
// passes every byte to the simulated bus and writes back what the bus gives
// (the echo, the devices' acknowledgements and frames) when it is due. The
// tests, the network tests' serial servers and the benchmark all use it; a
// test may pull the interface at a chosen frame.
#pragma once

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "link/rx_receiver.h"
#include "sim/sim_bus.h"

namespace orv {

class PtyBus {
public:
    // bus must run on a real clock.
    explicit PtyBus(SimBus& bus);
    ~PtyBus();
    PtyBus(const PtyBus&) = delete;
    PtyBus& operator=(const PtyBus&) = delete;

    bool Ready() const { return holder_ >= 0; }
    const std::string& SlavePath() const { return slavePath_; }

    // The interface is pulled (the line hangs up) when the bus hears the
    // write of this configuration block, before any device answers it.
    void HangUpAtBlockWrite(uint16_t block);
    // The same when the bus hears the request to read this block.
    void HangUpAtBlockRead(uint16_t block);

    // Runs fn on the bus while the thread leaves it alone.
    template <class Fn>
    void With(Fn fn)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        fn(bus_);
    }

private:
    void Serve();
    // Passes written bytes to the bus; false once the line is hung up.
    bool Hear(const uint8_t* bytes, size_t count);
    void HangUp();
    void WriteMaster(const uint8_t* bytes, size_t count) const;

    SimBus& bus_;
    int master_ = -1;
    int holder_ = -1;
    std::string slavePath_;
    FtHandle handle_ = 0;
    RxReceiver heard_;
    // The request (command and block) at which the line hangs up.
    std::optional<std::pair<uint8_t, uint16_t>> hangUpAt_;
    std::mutex mutex_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace orv
