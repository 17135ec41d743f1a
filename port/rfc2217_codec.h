// Telnet with the COM-PORT-OPTION (RFC 2217) as a serial device server speaks
// it: the client's negotiation and line commands, IAC doubling of the data,
// and a receiver fed one byte at a time that separates the bus's bytes from
// the server's negotiation and answers it.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "port/usb_interface.h"

namespace orv {

constexpr uint8_t TELNET_IAC = 255;
constexpr uint8_t TELNET_DONT = 254;
constexpr uint8_t TELNET_DO = 253;
constexpr uint8_t TELNET_WONT = 252;
constexpr uint8_t TELNET_WILL = 251;
constexpr uint8_t TELNET_SB = 250;
constexpr uint8_t TELNET_SE = 240;

constexpr uint8_t TELNET_BINARY = 0;
constexpr uint8_t TELNET_SUPPRESS_GO_AHEAD = 3;
constexpr uint8_t TELNET_COM_PORT_OPTION = 44;

// COM-PORT-OPTION commands of the client; the server answers each with the
// same code plus COM_PORT_SERVER_OFFSET.
constexpr uint8_t COM_PORT_SET_BAUDRATE = 1;
constexpr uint8_t COM_PORT_SET_DATASIZE = 2;
constexpr uint8_t COM_PORT_SET_PARITY = 3;
constexpr uint8_t COM_PORT_SET_STOPSIZE = 4;
constexpr uint8_t COM_PORT_SET_CONTROL = 5;
constexpr uint8_t COM_PORT_PURGE_DATA = 12;
constexpr uint8_t COM_PORT_SERVER_OFFSET = 100;

constexpr uint8_t COM_PORT_CONTROL_NO_FLOW = 1;
constexpr uint8_t COM_PORT_PURGE_RECEIVE = 1;
constexpr uint8_t COM_PORT_PURGE_BOTH = 3;

// The bus's bytes as they go to the server: every IAC doubled.
void AppendTelnetData(const uint8_t* data, uint32_t count, std::vector<uint8_t>& wire);

// IAC SB COM-PORT-OPTION command value IAC SE, the value's IACs doubled.
std::vector<uint8_t> ComPortCommand(uint8_t command, const std::vector<uint8_t>& value);

// The commands that set rate, data bits, parity, stop bits and no flow
// control as state gives them. Empty when the state has no RFC 2217 code.
std::vector<uint8_t> LineCommands(const CommState& state);

// The longest subnegotiation the client knows (a line setting's answer is 6
// bytes); a longer one is dropped, not collected.
constexpr size_t TELNET_SUBNEGOTIATION_LIMIT = 64;

// What the server said to an option the client asked for.
enum class TelnetAnswer { Pending, Granted, Refused };

// What a byte from the server meant besides data and replies.
enum class TelnetEvent { None, SubnegotiationDropped, PurgeConfirmed };

// The line as the server confirmed it.
struct ServerLine {
    std::optional<uint32_t> baudRate;
    std::optional<uint8_t> dataSize;
    std::optional<uint8_t> parity;    // CommState code
    std::optional<uint8_t> stopBits;  // CommState code
    bool Confirms(const CommState& state) const;
    // "9600 baud, 8 data bits, no parity, 1 stop bit", each part the server
    // did not confirm named as such ("no baud rate").
    std::string Text() const;
};

// The line of state in the same words.
std::string LineText(const CommState& state);

class TelnetReceiver {
public:
    // What the client announces on connecting: it will use the
    // COM-PORT-OPTION, and binary transmission both ways (an 8-bit bus knows
    // no line ends). The server's agreement to these is not answered again.
    std::vector<uint8_t> OpeningNegotiation();
    // One byte from the server: a byte of the bus goes to data; what the
    // negotiation needs said back goes to reply. The server's confirmation of
    // a purge drops the data received before it.
    TelnetEvent Feed(uint8_t byte, std::deque<uint8_t>& data, std::vector<uint8_t>& reply);

    // Whether the server lets the client use the COM-PORT-OPTION, and binary
    // transmission from the client and from the server.
    TelnetAnswer ComPort() const { return serverDo_[TELNET_COM_PORT_OPTION]; }
    TelnetAnswer BinaryToServer() const { return serverDo_[TELNET_BINARY]; }
    TelnetAnswer BinaryFromServer() const { return serverWill_[TELNET_BINARY]; }
    bool Heard() const { return heard_; }
    const ServerLine& Line() const { return line_; }
    void ForgetLine() { line_ = ServerLine{}; }

private:
    enum class State { Data, Command, Option, Sub, SubCommand, SubDropped, SubDroppedCommand };
    void Negotiate(uint8_t verb, uint8_t option, std::vector<uint8_t>& reply);
    TelnetEvent SubnegotiationEnded();

    State state_ = State::Data;
    uint8_t verb_ = 0;
    std::vector<uint8_t> sub_;
    bool heard_ = false;
    TelnetAnswer serverDo_[256] = {};
    TelnetAnswer serverWill_[256] = {};
    // Options already agreed, so that an agreement is not answered again.
    bool willSent_[256] = {};
    bool doSent_[256] = {};
    ServerLine line_;
};

}  // namespace orv
