#include "tests/support/pty_bus.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "link/commands.h"
#include "link/frame_codec.h"

namespace orv {

namespace {
// How often the thread looks for bytes that have become due.
constexpr int POLL_MILLIS = 1;
}  // namespace

PtyBus::PtyBus(SimBus& bus) : bus_(bus), heard_(uint8_t(BodyLengthForRaw(6)))
{
    // Neither side is inherited by a serial server the test starts: a copy of
    // the master there would keep the line up after HangUp.
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        return;
    slavePath_ = ptsname(master_);
    // Held open so that the line does not hang up between two programs.
    holder_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (holder_ < 0)
        return;
    termios tio{};
    tcgetattr(holder_, &tio);
    cfmakeraw(&tio);
    tcsetattr(holder_, TCSANOW, &tio);
    bus_.Open(0, handle_);
    // Reads return what is due at once: the thread never waits inside the bus.
    bus_.SetTimeouts(handle_, 0, 0);
    thread_ = std::thread([this] { Serve(); });
}

PtyBus::~PtyBus()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (holder_ >= 0)
        close(holder_);
    if (master_ >= 0)
        close(master_);
}

void PtyBus::HangUpAtBlockWrite(uint16_t block)
{
    std::lock_guard<std::mutex> lock(mutex_);
    hangUpAt_ = {CONFIG_BLOCK_WRITE, block};
}

void PtyBus::HangUpAtBlockRead(uint16_t block)
{
    std::lock_guard<std::mutex> lock(mutex_);
    hangUpAt_ = {CONFIG_BLOCK_READ, block};
}

void PtyBus::Serve()
{
    std::vector<uint8_t> chunk(4096);
    while (!stop_) {
        pollfd p{master_, POLLIN, 0};
        const bool readable = poll(&p, 1, POLL_MILLIS) > 0 && (p.revents & POLLIN);
        std::lock_guard<std::mutex> lock(mutex_);
        if (readable) {
            const ssize_t got = read(master_, chunk.data(), chunk.size());
            if (got > 0 && !Hear(chunk.data(), size_t(got)))
                return;
        }
        uint32_t due = 0;
        bus_.GetQueueStatus(handle_, due);
        if (due == 0)
            continue;
        due = std::min<uint32_t>(due, uint32_t(chunk.size()));
        uint32_t got = 0;
        bus_.Read(handle_, chunk.data(), due, got);
        WriteMaster(chunk.data(), got);
    }
}

bool PtyBus::Hear(const uint8_t* bytes, size_t count)
{
    for (size_t i = 0; i < count && hangUpAt_; ++i) {
        if (heard_.Step(bytes[i]) != RxEvent::BodyComplete)
            continue;
        const std::optional<UnpackedMessage> frame = UnpackMessage(heard_.Body(), heard_.Count());
        if (frame && frame->command == hangUpAt_->first && BlockNumberFrom(frame->payload.data()) == hangUpAt_->second) {
            HangUp();
            return false;
        }
    }
    uint32_t written = 0;
    bus_.Write(handle_, bytes, uint32_t(count), written);
    return true;
}

// The master closes: the program's next read or write on the slave reports
// the hang-up.
void PtyBus::HangUp()
{
    close(master_);
    master_ = -1;
}

void PtyBus::WriteMaster(const uint8_t* bytes, size_t count) const
{
    while (count > 0) {
        const ssize_t done = write(master_, bytes, count);
        if (done <= 0)
            return;
        bytes += done;
        count -= size_t(done);
    }
}

}  // namespace orv
