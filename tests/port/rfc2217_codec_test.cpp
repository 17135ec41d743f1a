// The Telnet side of RFC 2217 byte for byte: IAC doubling, the client's
// negotiation and line commands, and the receiver fed one byte at a time.
#include <gtest/gtest.h>

#include "port/rfc2217_codec.h"

namespace orv {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(TelnetData, EveryIacIsDoubledAndNothingElseChanges)
{
    const struct {
        Bytes data;
        Bytes wire;
    } cases[] = {
        {{}, {}},
        {{0x87, 0x00, 0x8E}, {0x87, 0x00, 0x8E}},
        {{0xFF}, {0xFF, 0xFF}},
        {{0x01, 0xFF, 0xFF, 0x02}, {0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x02}},
        {{0xFE, 0xFA, 0xF0}, {0xFE, 0xFA, 0xF0}},
    };
    for (const auto& c : cases) {
        Bytes wire;
        AppendTelnetData(c.data.data(), uint32_t(c.data.size()), wire);
        EXPECT_EQ(wire, c.wire) << ::testing::PrintToString(c.data);
    }
}

TEST(ComPortCommands, TheLineOfTheBusAsTheServerReadsIt)
{
    CommState state;
    state.baudRate = 125000;
    state.byteSize = 8;
    state.parity = 0;
    state.stopBits = 2;
    const Bytes expected = {
        0xFF, 0xFA, 44, 1, 0x00, 0x01, 0xE8, 0x48, 0xFF, 0xF0,  // SET-BAUDRATE 125000
        0xFF, 0xFA, 44, 2, 8, 0xFF, 0xF0,                       // SET-DATASIZE 8
        0xFF, 0xFA, 44, 3, 1, 0xFF, 0xF0,                       // SET-PARITY none
        0xFF, 0xFA, 44, 4, 2, 0xFF, 0xF0,                       // SET-STOPSIZE 2
        0xFF, 0xFA, 44, 5, 1, 0xFF, 0xF0,                       // SET-CONTROL no flow control
    };
    EXPECT_EQ(LineCommands(state), expected);

    // A value byte 0xFF is doubled inside the subnegotiation as well.
    EXPECT_EQ(ComPortCommand(COM_PORT_SET_BAUDRATE, {0x00, 0x00, 0x00, 0xFF}),
              (Bytes{0xFF, 0xFA, 44, 1, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xF0}));
    EXPECT_EQ(ComPortCommand(COM_PORT_PURGE_DATA, {COM_PORT_PURGE_BOTH}), (Bytes{0xFF, 0xFA, 44, 12, 3, 0xFF, 0xF0}));

    state.stopBits = 1;  // one and a half
    EXPECT_EQ(LineCommands(state)[28], 3);
    state.parity = 5;
    EXPECT_TRUE(LineCommands(state).empty());
}

struct Fed {
    Bytes data;
    Bytes reply;
    std::vector<TelnetEvent> events;
};

Fed Feed(TelnetReceiver& receiver, const Bytes& bytes)
{
    std::deque<uint8_t> data;
    Fed fed;
    for (uint8_t b : bytes)
        if (const TelnetEvent event = receiver.Feed(b, data, fed.reply); event != TelnetEvent::None)
            fed.events.push_back(event);
    fed.data.assign(data.begin(), data.end());
    return fed;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(TelnetReceiver, SeparatesTheBusBytesFromTheNegotiationAndAnswersIt)
{
    const struct {
        const char* what;
        Bytes in;
        Bytes data;
        Bytes reply;
    } cases[] = {
        {"plain data", {0x87, 0x00, 0x8E}, {0x87, 0x00, 0x8E}, {}},
        {"a doubled IAC is one data byte", {0x01, 0xFF, 0xFF, 0x02}, {0x01, 0xFF, 0x02}, {}},
        {"an option the client does not use is refused",
         {0xFF, 0xFB, 1, 0xFF, 0xFD, 24},
         {},
         {0xFF, 0xFE, 1, 0xFF, 0xFC, 24}},
        {"the agreement to what the client announced is not answered again",
         {0xFF, 0xFD, 44, 0xFF, 0xFD, 0, 0xFF, 0xFB, 0},
         {},
         {}},
        {"an option the client uses, offered by the server, is taken once",
         {0xFF, 0xFB, 3, 0xFF, 0xFB, 3},
         {},
         {0xFF, 0xFD, 3}},
        {"a subnegotiation is no data, its doubled IAC neither",
         {0x05, 0xFF, 0xFA, 44, 101, 0x00, 0x01, 0xE8, 0xFF, 0xFF, 0xFF, 0xF0, 0x06},
         {0x05, 0x06},
         {}},
        {"other commands (NOP, GA) carry nothing", {0x01, 0xFF, 0xF1, 0xFF, 0xF9, 0x02}, {0x01, 0x02}, {}},
    };
    for (const auto& c : cases) {
        TelnetReceiver receiver;
        receiver.OpeningNegotiation();
        const Fed fed = Feed(receiver, c.in);
        EXPECT_EQ(fed.data, c.data) << c.what;
        EXPECT_EQ(fed.reply, c.reply) << c.what;
    }
}

TEST(TelnetReceiver, LearnsTheAgreementAndTheLineTheServerConfirms)
{
    TelnetReceiver receiver;
    EXPECT_EQ(receiver.OpeningNegotiation(), (Bytes{0xFF, 0xFB, 44, 0xFF, 0xFB, 0, 0xFF, 0xFD, 0}));
    EXPECT_EQ(receiver.ComPort(), TelnetAnswer::Pending);
    Feed(receiver, {0xFF, 0xFD, 44, 0xFF, 0xFD, 0});
    EXPECT_EQ(receiver.ComPort(), TelnetAnswer::Granted);
    EXPECT_EQ(receiver.BinaryToServer(), TelnetAnswer::Granted);
    EXPECT_EQ(receiver.BinaryFromServer(), TelnetAnswer::Pending);
    Feed(receiver, {0xFF, 0xFC, 0});
    EXPECT_EQ(receiver.BinaryFromServer(), TelnetAnswer::Refused);

    CommState bus;
    bus.baudRate = 125000;
    bus.byteSize = 8;
    bus.stopBits = 2;
    Feed(receiver, {0xFF, 0xFA, 44, 101, 0x00, 0x01, 0xE8, 0x48, 0xFF, 0xF0, 0xFF, 0xFA, 44, 102, 8, 0xFF, 0xF0,
                    0xFF, 0xFA, 44, 103, 1, 0xFF, 0xF0});
    EXPECT_FALSE(receiver.Line().Confirms(bus)) << "the stop bits are not confirmed yet";
    Feed(receiver, {0xFF, 0xFA, 44, 104, 2, 0xFF, 0xF0});
    EXPECT_TRUE(receiver.Line().Confirms(bus));

    // A server that keeps its own rate confirms that one instead.
    Feed(receiver, {0xFF, 0xFA, 44, 101, 0x00, 0x00, 0x25, 0x80, 0xFF, 0xF0});
    EXPECT_EQ(receiver.Line().baudRate, 9600u);
    EXPECT_FALSE(receiver.Line().Confirms(bus));

    Feed(receiver, {0xFF, 0xFE, 44});
    EXPECT_EQ(receiver.ComPort(), TelnetAnswer::Refused);
}

// A subnegotiation that never ends is not collected: it is dropped once past
// the longest the client knows, and what follows its end is data again.
TEST(TelnetReceiver, DropsAnOverlongSubnegotiation)
{
    for (const uint8_t filler : {uint8_t('A'), TELNET_IAC}) {
        // An IAC inside a subnegotiation is doubled.
        const Bytes one = filler == TELNET_IAC ? Bytes{TELNET_IAC, TELNET_IAC} : Bytes{filler};
        Bytes body;
        for (int i = 0; i < 100000; ++i)
            body.insert(body.end(), one.begin(), one.end());
        TelnetReceiver receiver;
        const Fed fed = Feed(receiver, Join({{0x01, TELNET_IAC, TELNET_SB, 44}, body, {TELNET_IAC, TELNET_SE, 0x02}}));
        EXPECT_EQ(fed.data, (Bytes{0x01, 0x02})) << int(filler);
        EXPECT_EQ(fed.events, std::vector<TelnetEvent>{TelnetEvent::SubnegotiationDropped}) << int(filler);
    }
    // The longest the client knows still counts.
    TelnetReceiver receiver;
    Bytes longest = {TELNET_IAC, TELNET_SB};
    longest.insert(longest.end(), TELNET_SUBNEGOTIATION_LIMIT, 0x30);
    longest.insert(longest.end(), {TELNET_IAC, TELNET_SE});
    EXPECT_TRUE(Feed(receiver, longest).events.empty());
}

// The server's confirmation of a purge ends what it sent before the purge.
TEST(TelnetReceiver, APurgeConfirmationDropsTheDataBeforeIt)
{
    TelnetReceiver receiver;
    const Fed fed = Feed(receiver, {0x01, 0x02, TELNET_IAC, TELNET_SB, 44, 112, 1, TELNET_IAC, TELNET_SE, 0x03});
    EXPECT_EQ(fed.data, Bytes{0x03});
    EXPECT_EQ(fed.events, std::vector<TelnetEvent>{TelnetEvent::PurgeConfirmed});
}

}  // namespace
}  // namespace orv
