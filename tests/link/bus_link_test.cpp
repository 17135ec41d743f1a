#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "link/commands.h"
#include "tests/link/link_rig.h"

namespace orv::test {
namespace {

// A MODULE_INFO payload told apart by its first serial byte; its name field
// is padded with zero bytes.
Bytes InfoPayload(uint8_t tag)
{
    ModuleInfo info;
    info.serial = {tag, 0x22, 0x33, 0x44};
    info.name = "ORV-Relay";
    info.firmwareMajor = 1;
    const auto payload = EncodeModuleInfo(info);
    return Bytes(payload.begin(), payload.end());
}

void InfoFrame(SimReplyWriter& out, uint8_t tag, uint8_t destination = HOST_ADDRESS, bool damageCrc = false)
{
    const Bytes payload = InfoPayload(tag);
    out.Frame(destination, 9, MODULE_INFO, payload.data(), uint8_t(payload.size()), damageCrc);
}

Bytes InfoFrameBytes(uint8_t tag, uint8_t destination = HOST_ADDRESS)
{
    SimReplyWriter out;
    InfoFrame(out, tag, destination);
    return out.items[0].bytes;
}

Bytes PayloadOf(const BusReply& reply)
{
    return Bytes(reply.payload, reply.payload + reply.length);
}

TEST(BusLinkReceiver, WhatArrivesAfterARequest)
{
    using Script = std::function<void(SimReplyWriter&)>;
    struct Case {
        const char* name;
        Script script;
        bool ack;
        int replyTag;  // 0: no reply
        RxState state;
    };
    const Bytes shortBody{0x87, 0x00, 0x09, 0x05, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x8E};
    Bytes longBody(81, 0x01);
    longBody.insert(longBody.begin(), FRAME_START);
    longBody.push_back(FRAME_END);
    // An 18-byte body without its last collector: a stale 0x00 beyond it in
    // the receiver's buffer would complete the message.
    const Bytes cutBody{0x87, 0x00, 0x03, 0x05, 0x00, 0x04, 0x11, 0x11, 0x11, 0x11,
                        0x11, 0x11, 0x11, 0x11, 0x17, 0x32, 0x00, 0x00, 0x8E};
    const Case cases[] = {
        {"acknowledgement", [](SimReplyWriter& o) { o.Ack(); }, true, 0, RxState::Idle},
        {"frame, then acknowledgement: the frame is kept",
         [](SimReplyWriter& o) { InfoFrame(o, 1); o.Ack(); }, true, 1, RxState::Idle},
        {"frame alone: its 0x00 bytes are no acknowledgement", [](SimReplyWriter& o) { InfoFrame(o, 1); }, false, 1,
         RxState::Idle},
        {"two frames: the later one replaces the first",
         [](SimReplyWriter& o) { InfoFrame(o, 1); InfoFrame(o, 2); o.Ack(); }, true, 2, RxState::Idle},
        {"frame for another device", [](SimReplyWriter& o) { InfoFrame(o, 1, 5); o.Ack(); }, true, 0, RxState::Idle},
        {"frame with a bad CRC", [](SimReplyWriter& o) { InfoFrame(o, 1, HOST_ADDRESS, true); o.Ack(); }, true, 0,
         RxState::Idle},
        {"stray bytes", [](SimReplyWriter& o) { o.Raw({0x55, 0x8E, 0x7F, 0x90}); o.Ack(); }, true, 0, RxState::Idle},
        {"body of 9 bytes", [&](SimReplyWriter& o) { o.Raw(shortBody); o.Ack(); }, true, 0, RxState::Idle},
        {"body of 81 bytes", [&](SimReplyWriter& o) { o.Raw(longBody); o.Ack(); }, true, 0, RxState::Idle},
        {"body of 17 bytes", [&](SimReplyWriter& o) { o.Raw(cutBody); o.Ack(); }, true, 0, RxState::Idle},
        {"frame cut by a second start marker: the bus is ignored",
         [](SimReplyWriter& o) { o.Raw({0x87, 0x01, 0x02}); InfoFrame(o, 1); o.Ack(); }, false, 0,
         RxState::Discard},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig;
        ASSERT_TRUE(rig.Open());
        rig.device.answer = [&](const HeardFrame&, SimReplyWriter& out) { c.script(out); };
        ASSERT_TRUE(rig.Send(MODULE_INFO_REQUEST, 9, {0x00}));
        EXPECT_EQ(WaitForAck(), c.ack);
        EXPECT_EQ(CurrentRxState(), c.state);

        rig.log.lines.clear();
        uint8_t counter = 0xAA;
        BusReply reply;
        EXPECT_EQ(ReceiveReply(reply, 1, &counter), c.replyTag != 0);
        EXPECT_EQ(counter, 0);  // a kept reply is delivered without reading
        EXPECT_EQ(rig.log.lines, std::vector<std::string>{" ORV_RECV read 0 bytes"});
        if (c.replyTag) {
            EXPECT_EQ(reply.command, uint32_t(MODULE_INFO));
            EXPECT_EQ(reply.source, 9);
            EXPECT_EQ(PayloadOf(reply), InfoPayload(uint8_t(c.replyTag)));
            EXPECT_FALSE(ReceiveReply(reply, 0));  // delivered once
        }
    }
}

TEST(BusLinkReceiver, ReceiveReplyReadsOneReplyAfterTheOther)
{
    LinkRig rig;
    ScriptedDevice second;
    rig.bus.Attach(second);
    ASSERT_TRUE(rig.Open());
    rig.device.answer = [](const HeardFrame&, SimReplyWriter& out) { out.Ack(); InfoFrame(out, 1); };
    second.answer = [](const HeardFrame&, SimReplyWriter& out) { out.Ack(); InfoFrame(out, 2); };
    ASSERT_TRUE(rig.Send(MODULE_INFO_REQUEST, BROADCAST_ADDRESS, {0x00}));
    ASSERT_TRUE(WaitForAck());
    rig.clock.Sleep(300);
    rig.log.lines.clear();

    struct Step {
        bool got;
        int tag;
        uint8_t counter;
    };
    const Step steps[] = {{true, 1, 34}, {true, 2, 35}, {false, 0, 0}};  // the second ACK_BYTE is read too
    for (const auto& step : steps) {
        uint8_t counter = 0xAA;
        BusReply reply;
        EXPECT_EQ(ReceiveReply(reply, 1, &counter), step.got);
        EXPECT_EQ(counter, step.counter);
        if (step.got) {
            EXPECT_EQ(PayloadOf(reply), InfoPayload(uint8_t(step.tag)));
        }
    }
    const std::vector<std::string> expected{
        " Decoding Read Message ", " Read Message Size: 28", " ORV_RECV read 34 bytes",
        " Decoding Read Message ", " Read Message Size: 28", " ORV_RECV read 35 bytes",
        " ORV_RECV read 0 bytes",
    };
    EXPECT_EQ(rig.log.lines, expected);
}

TEST(BusLinkReceiver, SilenceEndsTheWaits)
{
    LinkRig rig;
    ASSERT_TRUE(rig.Open());
    ASSERT_TRUE(rig.Send(RUN_BOOT, 5));
    uint64_t start = rig.Now();
    EXPECT_FALSE(WaitForAck());
    EXPECT_EQ(rig.Now() - start, uint64_t(ACK_SILENCE_LIMIT) * READ_TIMEOUT_MS);

    start = rig.Now();
    uint8_t counter = 0xAA;
    BusReply reply;
    EXPECT_FALSE(ReceiveReply(reply, 0, &counter));  // quiet: no log line, counter untouched
    EXPECT_EQ(counter, 0xAA);
    EXPECT_EQ(rig.Now() - start, uint64_t(READ_TIMEOUT_MS));
    EXPECT_TRUE(rig.log.lines.empty());

    rig.device.answer = [](const HeardFrame&, SimReplyWriter& out) { out.Ack(); };
    ASSERT_TRUE(rig.Send(RUN_BOOT, 5));
    start = rig.Now();
    EXPECT_TRUE(WaitForAck());
    EXPECT_LT(rig.Now() - start, 5u);
}

TEST(BusLinkReceiver, ACutFrameSilencesTheBusUntilTheNextSend)
{
    LinkRig rig;
    ASSERT_TRUE(rig.Open());
    int request = 0;
    rig.device.answer = [&](const HeardFrame&, SimReplyWriter& out) {
        if (++request == 1)
            out.Raw({0x87, 0x01, 0x87});
        InfoFrame(out, uint8_t(request));
        out.Ack();
    };
    ASSERT_TRUE(rig.Send(MODULE_INFO_REQUEST, 9, {0x00}));
    EXPECT_FALSE(WaitForAck());
    EXPECT_EQ(CurrentRxState(), RxState::Discard);

    ASSERT_TRUE(rig.Send(MODULE_INFO_REQUEST, 9, {0x00}));
    EXPECT_EQ(CurrentRxState(), RxState::Idle);
    EXPECT_TRUE(WaitForAck());
    BusReply reply;
    ASSERT_TRUE(ReceiveReply(reply, 0));
    EXPECT_EQ(PayloadOf(reply), InfoPayload(2));
}

TEST(BusLinkSend, PayloadOver64WritesNothing)
{
    LinkRig rig;
    ASSERT_TRUE(rig.Open());
    rig.bus.InjectBytes({0x87, 0xFF});
    EXPECT_FALSE(WaitForAck());
    ASSERT_EQ(CurrentRxState(), RxState::Discard);
    rig.usb.calls.clear();

    const Bytes payload(65, 0x01);
    EXPECT_FALSE(rig.Send(CONFIG_BLOCK_WRITE, 3, payload));
    EXPECT_TRUE(rig.usb.calls.empty());
    EXPECT_TRUE(rig.bus.Heard().empty());
    EXPECT_EQ(CurrentRxState(), RxState::Idle);
}

// A write that finds the line gone is not tried again, its echo not read;
// from then on nothing reaches the interface until it is opened again.
TEST(BusLinkLostInterface, TheFirstIoErrorEndsAllTraffic)
{
    LinkRig rig;
    ASSERT_TRUE(rig.Open());
    ASSERT_TRUE(rig.Send(MODULE_INFO_REQUEST, 9, {0x00}));
    rig.usb.calls.clear();
    rig.bus.LoseLineAtWrite(1);
    rig.usb.lastError = "write: Input/output error";

    EXPECT_FALSE(rig.Send(MODULE_INFO_REQUEST, 9, {0x00}));
    EXPECT_TRUE(BusInterfaceLost());
    EXPECT_EQ(rig.usb.Calls(), (std::vector<std::string>{"GetQueueStatus", "ClrRts", "Write 10"}));
    // The backend's words for the loss go into the log line and stay for the report.
    EXPECT_TRUE(rig.log.Contains(" ORV-NET Disconnected while  (write: Input/output error) "));
    EXPECT_EQ(BusLossCause(), "write: Input/output error");
    ASSERT_TRUE(ReportBusInterfaceLost());
    ASSERT_EQ(rig.prompts.boxes.size(), 1u);
    EXPECT_NE(rig.prompts.boxes[0].text.find("was disconnected while  (write: Input/output error). "),
              std::string::npos)
        << rig.prompts.boxes[0].text;

    rig.usb.calls.clear();
    const uint64_t start = rig.Now();
    EXPECT_FALSE(rig.Send(MODULE_INFO_REQUEST, 9, {0x00}));
    EXPECT_FALSE(WaitForAck());
    EXPECT_FALSE(WaitForAckWithin(500));
    BusReply reply;
    EXPECT_FALSE(ReceiveReply(reply, 0));
    EXPECT_TRUE(rig.usb.calls.empty());
    EXPECT_EQ(rig.Now(), start);

    EXPECT_TRUE(ReopenBusInterface());
    EXPECT_FALSE(BusInterfaceLost());
    EXPECT_TRUE(rig.Send(MODULE_INFO_REQUEST, 9, {0x00}));
}

TEST(BusLinkSend, WriteFrameClearsRtsAndReadsBackTheEcho)
{
    LinkRig rig;
    ASSERT_TRUE(rig.Open());
    const Bytes frame{0x87, 0x7F, 0x00, 0x04, 0x00, 0x00, 0x17, 0x63, 0x21, 0x8E};
    EXPECT_EQ(WriteFrame(frame.data(), uint8_t(frame.size())), frame.size());
    EXPECT_EQ(rig.usb.Calls(), (std::vector<std::string>{"ClrRts", "Write 10", "Read 10"}));
    uint8_t byte = 0;
    EXPECT_EQ(ReadBytes(&byte, 1), 0u);  // the echo is gone
    ASSERT_EQ(rig.bus.Heard().size(), 1u);
    EXPECT_TRUE(rig.bus.Heard()[0].crcOk);
    EXPECT_EQ(rig.bus.Heard()[0].command, MODULE_INFO_REQUEST);
}

TEST(BusLinkSend, ShortWritesAreTriedThreeTimes)
{
    struct Case {
        int shortWrites;
        bool sent;
        int writes;
    };
    const Case cases[] = {{0, true, 1}, {2, true, 3}, {3, false, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shortWrites);
        LinkRig rig;
        ASSERT_TRUE(rig.Open());
        rig.usb.shortWrites = c.shortWrites;
        EXPECT_EQ(rig.Send(RUN_BOOT, 5), c.sent);
        std::vector<std::string> expected{"GetQueueStatus"};
        for (int i = 0; i < c.writes; ++i)
            expected.insert(expected.end(), {"ClrRts", "Write 9", "Read 9"});
        EXPECT_EQ(rig.usb.Calls(), expected);
        EXPECT_EQ(CurrentRxState(), RxState::Idle);
        EXPECT_TRUE(rig.log.lines.empty());
    }
}

// Before a send the link drops what is waiting and any unread reply: a late
// answer to an earlier request must not pass for this request's echo,
// acknowledgement or reply.
TEST(BusLinkStaleInput, WaitingBytesAreDiscardedBeforeASend)
{
    struct Case {
        const char* name;
        Bytes stale;
    };
    const Case cases[] = {
        {"a late reply frame", InfoFrameBytes(1)},
        {"a stray 0x00", {0x00}},
        // Without the purge the echo read-back would leave 00 6D 56 20 8E of
        // the RUN_BOOT frame behind, and its 0x00 would pass for an acknowledgement.
        {"the tail of a frame", {0x11, 0x22, 0x33, 0x44, 0x8E}},
        {"noise and an unfinished frame", {0x55, 0x00, 0x87, 0x00, 0x09}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig;
        ASSERT_TRUE(rig.Open());
        rig.bus.InjectBytes(c.stale);
        rig.clock.Sleep(20);

        ASSERT_TRUE(rig.Send(RUN_BOOT, 5));  // nobody answers
        EXPECT_EQ(rig.log.lines,
                  std::vector<std::string>{StrF(" Discarded %zu stale bytes before send", c.stale.size())});
        EXPECT_FALSE(WaitForAck());
        BusReply reply;
        EXPECT_FALSE(ReceiveReply(reply, 0));
    }
}

TEST(BusLinkStaleInput, AnUnreadReplyDoesNotSurviveASend)
{
    LinkRig rig;
    ASSERT_TRUE(rig.Open());
    rig.device.answer = [](const HeardFrame& heard, SimReplyWriter& out) {
        if (heard.command == MODULE_INFO_REQUEST) {
            InfoFrame(out, 1);
            out.Ack();
        }
    };
    ASSERT_TRUE(rig.Send(MODULE_INFO_REQUEST, 9, {0x00}));
    ASSERT_TRUE(WaitForAck());  // the reply is kept, and never read

    const Bytes block{0x03, 0x00};
    ASSERT_TRUE(rig.Send(CONFIG_BLOCK_READ, 9, block));
    EXPECT_FALSE(WaitForAck());
    BusReply reply;
    EXPECT_FALSE(ReceiveReply(reply, 0));
}

TEST(BusLinkStaleInput, ALateAnswerIsNotTakenForTheNextReply)
{
    LinkRig rig;
    ASSERT_TRUE(rig.Open());
    int request = 0;
    rig.device.answer = [&](const HeardFrame&, SimReplyWriter& out) {
        out.Ack();
        if (++request == 1)
            out.Pause(500000);  // the first answer comes too late for its caller
        InfoFrame(out, uint8_t(request));
    };
    ASSERT_TRUE(rig.Send(MODULE_INFO_REQUEST, 9, {0x00}));
    ASSERT_TRUE(WaitForAck());
    rig.clock.Sleep(50);
    BusReply reply;
    ASSERT_FALSE(ReceiveReply(reply, 0));
    rig.clock.Sleep(1000);

    ASSERT_TRUE(rig.Send(MODULE_INFO_REQUEST, 9, {0x00}));
    EXPECT_TRUE(rig.log.Contains(" Discarded 34 stale bytes before send"));
    ASSERT_TRUE(WaitForAck());
    rig.clock.Sleep(50);
    ASSERT_TRUE(ReceiveReply(reply, 0));
    EXPECT_EQ(PayloadOf(reply), InfoPayload(2));
}

// A line that never falls silent ends the waits after BUSY_LINE_LIMIT_MS.
TEST(BusLinkBusyLine, WaitsEndOnALineThatNeverFallsSilent)
{
    struct Case {
        const char* name;
        std::function<void(LinkRig&)> feed;
        uint64_t latestEnd;  // milliseconds after the wait began
        bool verboseReceive;  // a verbose ReceiveReply on the same line finds no reply either
    };
    const Case cases[] = {
        {"noise while idle", [](LinkRig& r) { r.Babble({0x55}, 5000, 1000); }, 1010, true},
        {"zeros while the receiver discards",
         [](LinkRig& r) {
             r.bus.InjectBytes({0x87, 0xFF});
             r.Babble({0x00}, 5000, 1000, 1000);
         },
         1010, true},
        {"a frame that never ends",
         [](LinkRig& r) {
             r.bus.InjectBytes({0x87});
             r.Babble({0x11, 0x00}, 5000, 1000, 1000);
         },
         1010, true},
        {"frames for another device",
         [](LinkRig& r) {
             const Bytes frame = InfoFrameBytes(1, 5);
             for (int i = 0; i < 500; ++i)
                 r.bus.InjectBytes(frame, uint64_t(i) * 10000);
         },
         1010, false},
        {"a byte every 300 ms", [](LinkRig& r) { r.Babble({0x55}, 20, 300000, 300000); }, 1300, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig;
        ASSERT_TRUE(rig.Open());
        ASSERT_TRUE(rig.Send(RUN_BOOT, 5));  // nobody answers
        c.feed(rig);

        uint64_t start = rig.Now();
        EXPECT_FALSE(WaitForAck());
        EXPECT_GE(rig.Now() - start, uint64_t(BUSY_LINE_LIMIT_MS));
        EXPECT_LE(rig.Now() - start, c.latestEnd);
        if (!c.verboseReceive)
            continue;

        start = rig.Now();
        uint8_t counter = 0;
        BusReply reply;
        EXPECT_FALSE(ReceiveReply(reply, 1, &counter));
        EXPECT_GE(rig.Now() - start, uint64_t(BUSY_LINE_LIMIT_MS));
        EXPECT_LE(rig.Now() - start, c.latestEnd);
        EXPECT_EQ(counter, 255);  // bytes were read: the counter must not wrap to 0
    }
}

TEST(BusLinkBusyLine, ABabblingDeviceEndsReceiveReply)
{
    LinkRig rig;
    ASSERT_TRUE(rig.Open());
    rig.device.answer = [](const HeardFrame&, SimReplyWriter& out) {
        out.Ack();
        for (int i = 0; i < 3000; ++i) {
            out.Pause(1000 - SimBus::BYTE_MICROS);
            out.Raw({0x2A});
        }
    };
    ASSERT_TRUE(rig.Send(CONFIG_BLOCK_READ, 9, {0x03, 0x00}));
    ASSERT_TRUE(WaitForAck());

    const uint64_t start = rig.Now();
    rig.log.lines.clear();
    uint8_t counter = 0;
    BusReply reply;
    EXPECT_FALSE(ReceiveReply(reply, 1, &counter));
    const uint64_t elapsed = rig.Now() - start;
    EXPECT_GE(elapsed, uint64_t(BUSY_LINE_LIMIT_MS));
    EXPECT_LE(elapsed, uint64_t(BUSY_LINE_LIMIT_MS) + 10);
    EXPECT_EQ(counter, 255);
    ASSERT_EQ(rig.log.lines.size(), 1u);
    int consumed = 0;
    ASSERT_EQ(std::sscanf(rig.log.lines[0].c_str(), " ORV_RECV read %d bytes", &consumed), 1);
    EXPECT_NEAR(consumed, 1000, 5);  // a byte a millisecond
}

}  // namespace
}  // namespace orv::test
