// The block transfer on a simulated bus in virtual time, with a timeline of
// what the tool did: every request it put on the bus ("R3" read block 3,
// "W6" write block 6) and every pause it made ("P450"), in order. The bus
// itself runs on the inner clock, so its wire and read times stay off the
// timeline.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/block_transfer.h"
#include "config/rs232_transfer.h"
#include "link/commands.h"
#include "model/image_crc.h"
#include "tests/support/sim_bus_rig.h"

namespace orv::test {

class TimelineClock final : public Clock {
public:
    TimelineClock(Clock& inner, std::vector<std::string>& timeline) : inner_(inner), timeline_(timeline) {}
    uint64_t NowMicros() override { return inner_.NowMicros(); }
    void SleepMicros(uint64_t micros) override
    {
        if (micros > 0) {
            timeline_.push_back("P" + std::to_string(micros / 1000));
            pauseStarts.push_back(inner_.NowMicros());
        }
        inner_.SleepMicros(micros);
    }

    // When each pause of the timeline began, on the bus's clock.
    std::vector<uint64_t> pauseStarts;

private:
    Clock& inner_;
    std::vector<std::string>& timeline_;
};

// "R0 P50 R1 P50": a timeline pattern repeated for blocks first..last, with
// {b} standing for the block number.
inline std::vector<std::string> PerBlock(const std::vector<std::string>& pattern, int first, int last)
{
    std::vector<std::string> steps;
    for (int b = first; b <= last; ++b)
        for (std::string step : pattern) {
            if (const size_t at = step.find("{b}"); at != std::string::npos)
                step.replace(at, 3, std::to_string(b));
            steps.push_back(step);
        }
    return steps;
}

inline std::vector<std::string> Joined(std::vector<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// An image of size bytes with a pattern in it and its CRC at the end.
inline std::vector<uint8_t> PatternImage(size_t size, uint8_t seed)
{
    std::vector<uint8_t> image(size);
    for (size_t i = 0; i + 2 < size; ++i)
        image[i] = uint8_t(seed + i * 7);
    StoreImageCrc(image.data(), image.size());
    return image;
}

// The RS232 values of a transfer (128 read requests into 4064 bytes under a
// progress dialog, a write without abort button), with the image length
// taken simply from the image's first byte.
inline ConfigKindProfile SerialGatewayProfile()
{
    ConfigKindProfile kind = RS232TransferProfile();
    kind.imageLength = [](const uint8_t* buffer, LogSink&) -> std::optional<size_t> {
        if (buffer[0] == 0)
            return std::nullopt;
        return buffer[0];
    };
    return kind;
}

// An image for SerialGatewayProfile: its length in its first byte.
inline std::vector<uint8_t> GatewayImage(uint8_t length)
{
    std::vector<uint8_t> image = PatternImage(length, 0x40);
    image[0] = length;
    StoreImageCrc(image.data(), image.size());
    return image;
}

// The rig's own clock is the bus's; the operations and the link see it
// through the timeline clock, made after the rig that refers to it.
class TransferRig : public ::testing::Test, public SimBusRig {
protected:
    static constexpr uint8_t INPUT8_ADDRESS = 0x21;
    static constexpr uint8_t RS232_ADDRESS = 0x22;

    TransferRig() : SimBusRig(timelineClock) {}

    std::vector<std::string> timeline;
    TimelineClock timelineClock{clock, timeline};
    FunctionResponder listener{[this](const HeardFrame& frame, SimReplyWriter&) {
        if (frame.command == CONFIG_BLOCK_READ)
            timeline.push_back("R" + std::to_string(BlockNumberFrom(frame.payload.data())));
        else if (frame.command == CONFIG_BLOCK_WRITE)
            timeline.push_back("W" + std::to_string(BlockNumberFrom(frame.payload.data())));
    }};
    SimDevice input8{SimDeviceKind::Input8, INPUT8_ADDRESS, {1, 2, 3, 4}};
    SimDevice rs232{SimDeviceKind::RS232, RS232_ADDRESS, {5, 6, 7, 8}};

    void SetUp() override
    {
        bus.Attach(listener);
        bus.Attach(input8);
        bus.Attach(rs232);
        ASSERT_TRUE(OpenLink());
        timeline.clear();
    }

    std::vector<std::string> Requests() const
    {
        std::vector<std::string> requests;
        for (const auto& step : timeline)
            if (step[0] != 'P')
                requests.push_back(step);
        return requests;
    }
};

}  // namespace orv::test
