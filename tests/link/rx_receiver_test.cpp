#include <gtest/gtest.h>

#include <vector>

#include "link/rx_receiver.h"

namespace orv {
namespace {

using Bytes = std::vector<uint8_t>;

// FRAME_START, count body bytes counting up from first, FRAME_END.
Bytes Frame(int count, uint8_t first = 0x00)
{
    Bytes bytes{FRAME_START};
    for (int i = 0; i < count; ++i)
        bytes.push_back(uint8_t((first + i) & 0x7F));
    bytes.push_back(FRAME_END);
    return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

struct Outcome {
    int acks = 0;
    std::vector<int> bodies;  // count of each completed body
    RxState state = RxState::Idle;
};

Outcome Feed(RxReceiver& rx, const Bytes& bytes)
{
    Outcome out;
    for (uint8_t b : bytes) {
        switch (rx.Step(b)) {
        case RxEvent::Ack: ++out.acks; break;
        case RxEvent::BodyComplete: out.bodies.push_back(rx.Count()); break;
        case RxEvent::None: break;
        }
    }
    out.state = rx.State();
    return out;
}

TEST(RxReceiver, ByteStreams)
{
    struct Case {
        const char* name;
        Bytes bytes;
        int acks;
        std::vector<int> bodies;
        RxState state;
    };
    const Case cases[] = {
        {"0x00 outside a frame is an acknowledgement", {0x00}, 1, {}, RxState::Idle},
        {"0x00 inside a frame is data", Frame(10, 0x00), 0, {10}, RxState::Idle},
        {"frame then acknowledgement", Join({Frame(10, 0x01), {0x00}}), 1, {10}, RxState::Idle},
        {"stray bytes while idle", {0x55, 0x7F, 0x8E, 0x90, 0xFF, 0x01}, 0, {}, RxState::Idle},
        {"unfinished frame", {0x87, 0x01, 0x02}, 0, {}, RxState::InFrame},
        {"body of 9 dropped", Frame(9, 0x01), 0, {}, RxState::Idle},
        {"body of 10 kept", Frame(10, 0x01), 0, {10}, RxState::Idle},
        {"body of 80 kept", Frame(80, 0x01), 0, {80}, RxState::Idle},
        {"body of 81 dropped", Frame(81, 0x01), 0, {}, RxState::Idle},
        {"body of 266 dropped, the count does not wrap", Frame(266, 0x01), 0, {}, RxState::Idle},
        {"empty and short bodies dropped", Join({Frame(0), Frame(7, 0x01), Frame(8, 0x01)}), 0, {}, RxState::Idle},
        {"frames one after the other", Join({Frame(12, 0x01), Frame(46, 0x02), {0x00}}), 1, {12, 46}, RxState::Idle},
        {"a second start marker cuts the frame and the bus is ignored",
         Join({{0x87, 0x01, 0x02, 0x87}, Frame(10, 0x01), {0x00}}), 0, {}, RxState::Discard},
        {"any other top-bit byte inside a frame", Join({{0x87, 0x01, 0xFF, 0x00}, Frame(10, 0x01)}), 0, {},
         RxState::Discard},
    };
    for (const auto& c : cases) {
        RxReceiver rx;
        const Outcome out = Feed(rx, c.bytes);
        EXPECT_EQ(out.acks, c.acks) << c.name;
        EXPECT_EQ(rx.AckSeen(), c.acks > 0) << c.name;
        EXPECT_EQ(out.bodies, c.bodies) << c.name;
        EXPECT_EQ(out.state, c.state) << c.name;
    }
}

TEST(RxReceiver, KeepsTheBodyBetweenTheMarkers)
{
    RxReceiver rx;
    const Bytes frame = Frame(80, 0x30);
    Feed(rx, frame);
    ASSERT_EQ(rx.Count(), 80);
    EXPECT_EQ(Bytes(rx.Body(), rx.Body() + 80), Bytes(frame.begin() + 1, frame.end() - 1));
    // A start marker begins a new count.
    Feed(rx, Frame(10, 0x11));
    EXPECT_EQ(rx.Count(), 10);
    EXPECT_EQ(rx.Body()[0], 0x11);
}

TEST(RxReceiver, OnlyResetLeavesDiscard)
{
    RxReceiver rx;
    Feed(rx, {0x87, 0x01, 0x87});
    ASSERT_EQ(rx.State(), RxState::Discard);
    EXPECT_EQ(Feed(rx, Join({{0x8E, 0x00}, Frame(10, 0x01)})).state, RxState::Discard);
    rx.Reset();
    const Outcome out = Feed(rx, Join({Frame(10, 0x01), {0x00}}));
    EXPECT_EQ(out.bodies, std::vector<int>{10});
    EXPECT_EQ(out.acks, 1);
}

TEST(RxReceiver, AReaderOfCapturesTakesTheShortRequestsToo)
{
    RxReceiver rx(uint8_t(BodyLengthForRaw(6)));
    const Outcome out = Feed(rx, Join({Frame(6, 0x01), Frame(7, 0x01), Frame(8, 0x01), Frame(81, 0x01)}));
    EXPECT_EQ(out.bodies, (std::vector<int>{7, 8}));
    EXPECT_EQ(out.state, RxState::Idle);
}

TEST(RxReceiver, AckSeenStaysUntilCleared)
{
    RxReceiver rx;
    Feed(rx, {0x00, 0x55});
    EXPECT_TRUE(rx.AckSeen());
    rx.ClearAck();
    EXPECT_FALSE(rx.AckSeen());
}

}  // namespace
}  // namespace orv
