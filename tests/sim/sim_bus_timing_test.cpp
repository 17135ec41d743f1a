// The wire timing of the simulated bus: echo and answers arrive when 125000
// baud 8N2 (88 us a byte) and the devices' turnaround would deliver them.
#include <gtest/gtest.h>

#include "link/frame_codec.h"
#include "services/clock.h"
#include "sim/sim_bus.h"
#include "sim/sim_device.h"

namespace orv {
namespace {

class BusTiming : public ::testing::Test {
protected:
    VirtualClock clock;
    SimBus bus{clock};
    FtHandle handle = 0;
    uint8_t frame[MAX_FRAME] = {};
    uint8_t frameLength = 0;

    void SetUp() override
    {
        BuildCrcTable();
        ASSERT_EQ(bus.Open(0, handle), FT_OK);
        bus.SetTimeouts(handle, 70, 50);
        const uint8_t zero = 0;
        BusRequest request{MODULE_INFO_REQUEST, 7, &zero, 1};
        uint8_t body = 0;
        ASSERT_TRUE(EncodeFrame(request, frame, body));
        frameLength = uint8_t(body + 2);
    }

    void WriteRequest()
    {
        uint32_t written = 0;
        ASSERT_EQ(bus.Write(handle, frame, frameLength, written), FT_OK);
        ASSERT_EQ(written, frameLength);
    }

    uint32_t Waiting()
    {
        uint32_t waiting = 0;
        bus.GetQueueStatus(handle, waiting);
        return waiting;
    }

    // Reads one byte and tells when it arrived.
    uint64_t ArrivalOfNextByte(uint8_t& byte)
    {
        uint32_t read = 0;
        bus.Read(handle, &byte, 1, read);
        EXPECT_EQ(read, 1u);
        return clock.NowMicros();
    }
};

TEST_F(BusTiming, EchoOfATenByteFrameIsReadableAfterItsWireTime)
{
    ASSERT_EQ(frameLength, 10);
    WriteRequest();

    clock.SleepMicros(879);
    EXPECT_EQ(Waiting(), 9u);
    clock.SleepMicros(1);
    EXPECT_EQ(Waiting(), 10u);
    uint8_t echo[10] = {};
    uint32_t read = 0;
    bus.Read(handle, echo, 10, read);
    EXPECT_EQ(read, 10u);
    EXPECT_TRUE(std::equal(echo, echo + 10, frame));
    EXPECT_EQ(clock.NowMicros(), 880u);
}

TEST_F(BusTiming, AnswerStartsAfterTheTurnaroundAndTheReplyAfterItsPause)
{
    SimDevice device(SimDeviceKind::Relay, 7, {1, 2, 3, 4});
    device.SetTurnaroundMicros(3000);
    device.SetReplyPauseMicros(1500);
    bus.Attach(device);
    WriteRequest();
    uint8_t echo[10];
    uint32_t read = 0;
    bus.Read(handle, echo, 10, read);

    uint8_t byte = 0xFF;
    EXPECT_EQ(ArrivalOfNextByte(byte), 880u + 3000 + 88);
    EXPECT_EQ(byte, ACK_BYTE);
    EXPECT_EQ(ArrivalOfNextByte(byte), 880u + 3000 + 88 + 1500 + 88);
    EXPECT_EQ(byte, FRAME_START);
}

TEST_F(BusTiming, SecondDeviceStartsAfterTheFirstAnswerLeftTheWire)
{
    FunctionResponder first([](const HeardFrame&, SimReplyWriter& out) { out.Raw({0x11, 0x22, 0x33}); }, 2000);
    FunctionResponder second([](const HeardFrame&, SimReplyWriter& out) { out.Raw({0x44}); }, 1000);
    bus.Attach(first);
    bus.Attach(second);
    WriteRequest();
    uint8_t echo[10];
    uint32_t read = 0;
    bus.Read(handle, echo, 10, read);

    uint8_t answers[4] = {};
    bus.Read(handle, answers, 4, read);

    EXPECT_EQ(read, 4u);
    EXPECT_EQ(answers[3], 0x44);
    EXPECT_EQ(clock.NowMicros(), 880u + 2000 + 3 * 88 + 1000 + 88);
}

}  // namespace
}  // namespace orv
