#include "port/rfc2217_codec.h"

namespace orv {

namespace {

bool OptionWeUse(uint8_t option)
{
    return option == TELNET_BINARY || option == TELNET_SUPPRESS_GO_AHEAD || option == TELNET_COM_PORT_OPTION;
}

// RFC 2217 codes: parity 1 none, 2 odd, 3 even, 4 mark, 5 space; stop size
// 1 one, 2 two, 3 one and a half.
constexpr uint8_t STOP_CODES[] = {1, 3, 2};

uint32_t BigEndian(const std::vector<uint8_t>& bytes, size_t from)
{
    uint32_t value = 0;
    for (size_t i = from; i < from + 4 && i < bytes.size(); ++i)
        value = value << 8 | bytes[i];
    return value;
}

}  // namespace

void AppendTelnetData(const uint8_t* data, uint32_t count, std::vector<uint8_t>& wire)
{
    for (uint32_t i = 0; i < count; ++i) {
        if (data[i] == TELNET_IAC)
            wire.push_back(TELNET_IAC);
        wire.push_back(data[i]);
    }
}

std::vector<uint8_t> TelnetReceiver::OpeningNegotiation()
{
    willSent_[TELNET_COM_PORT_OPTION] = true;
    willSent_[TELNET_BINARY] = true;
    doSent_[TELNET_BINARY] = true;
    return {TELNET_IAC, TELNET_WILL, TELNET_COM_PORT_OPTION, TELNET_IAC, TELNET_WILL, TELNET_BINARY,
            TELNET_IAC, TELNET_DO,   TELNET_BINARY};
}

std::vector<uint8_t> ComPortCommand(uint8_t command, const std::vector<uint8_t>& value)
{
    std::vector<uint8_t> wire = {TELNET_IAC, TELNET_SB, TELNET_COM_PORT_OPTION, command};
    AppendTelnetData(value.data(), uint32_t(value.size()), wire);
    wire.push_back(TELNET_IAC);
    wire.push_back(TELNET_SE);
    return wire;
}

std::vector<uint8_t> LineCommands(const CommState& state)
{
    if (state.parity > 4 || state.stopBits > 2 || state.byteSize < 5 || state.byteSize > 8 || state.baudRate == 0)
        return {};
    const uint32_t baud = state.baudRate;
    std::vector<uint8_t> wire;
    for (const auto& command :
         {ComPortCommand(COM_PORT_SET_BAUDRATE,
                         {uint8_t(baud >> 24), uint8_t(baud >> 16), uint8_t(baud >> 8), uint8_t(baud)}),
          ComPortCommand(COM_PORT_SET_DATASIZE, {state.byteSize}),
          ComPortCommand(COM_PORT_SET_PARITY, {uint8_t(state.parity + 1)}),
          ComPortCommand(COM_PORT_SET_STOPSIZE, {STOP_CODES[state.stopBits]}),
          ComPortCommand(COM_PORT_SET_CONTROL, {COM_PORT_CONTROL_NO_FLOW})})
        wire.insert(wire.end(), command.begin(), command.end());
    return wire;
}

namespace {

std::string PartsText(const std::optional<uint32_t>& baud, const std::optional<uint8_t>& dataSize,
                      const std::optional<uint8_t>& parity, const std::optional<uint8_t>& stopBits)
{
    static const char* const PARITIES[] = {"no parity", "odd parity", "even parity", "mark parity", "space parity"};
    static const char* const STOPS[] = {"1 stop bit", "1.5 stop bits", "2 stop bits"};
    return (baud ? std::to_string(*baud) + " baud" : std::string("no baud rate")) + ", " +
           (dataSize ? std::to_string(*dataSize) + " data bits" : std::string("no data size")) + ", " +
           (parity && *parity < 5 ? PARITIES[*parity] : "no parity setting") + ", " +
           (stopBits && *stopBits < 3 ? STOPS[*stopBits] : "no stop size");
}

}  // namespace

std::string ServerLine::Text() const
{
    return PartsText(baudRate, dataSize, parity, stopBits);
}

std::string LineText(const CommState& state)
{
    return PartsText(state.baudRate, state.byteSize, state.parity, state.stopBits);
}

bool ServerLine::Confirms(const CommState& state) const
{
    return baudRate == state.baudRate && dataSize == state.byteSize && parity == state.parity &&
           stopBits == state.stopBits;
}

TelnetEvent TelnetReceiver::Feed(uint8_t byte, std::deque<uint8_t>& data, std::vector<uint8_t>& reply)
{
    heard_ = true;
    switch (state_) {
    case State::Data:
        if (byte == TELNET_IAC)
            state_ = State::Command;
        else
            data.push_back(byte);
        break;
    case State::Command:
        state_ = State::Data;
        if (byte == TELNET_IAC) {
            data.push_back(byte);
        } else if (byte >= TELNET_WILL) {
            verb_ = byte;
            state_ = State::Option;
        } else if (byte == TELNET_SB) {
            sub_.clear();
            state_ = State::Sub;
        }
        break;
    case State::Option:
        state_ = State::Data;
        Negotiate(verb_, byte, reply);
        break;
    case State::Sub:
        if (byte == TELNET_IAC) {
            state_ = State::SubCommand;
        } else if (sub_.size() < TELNET_SUBNEGOTIATION_LIMIT) {
            sub_.push_back(byte);
        } else {
            sub_.clear();
            state_ = State::SubDropped;
            return TelnetEvent::SubnegotiationDropped;
        }
        break;
    case State::SubCommand:
        if (byte == TELNET_IAC) {
            state_ = State::Sub;
            if (sub_.size() < TELNET_SUBNEGOTIATION_LIMIT) {
                sub_.push_back(byte);
            } else {
                sub_.clear();
                state_ = State::SubDropped;
                return TelnetEvent::SubnegotiationDropped;
            }
        } else {
            state_ = State::Data;
            if (byte == TELNET_SE) {
                const TelnetEvent event = SubnegotiationEnded();
                if (event == TelnetEvent::PurgeConfirmed)
                    data.clear();
                return event;
            }
        }
        break;
    // The rest of an overlong subnegotiation, up to its end.
    case State::SubDropped:
        if (byte == TELNET_IAC)
            state_ = State::SubDroppedCommand;
        break;
    case State::SubDroppedCommand:
        state_ = byte == TELNET_SE ? State::Data : State::SubDropped;
        break;
    }
    return TelnetEvent::None;
}

void TelnetReceiver::Negotiate(uint8_t verb, uint8_t option, std::vector<uint8_t>& reply)
{
    auto say = [&reply, option](uint8_t answer) { reply.insert(reply.end(), {TELNET_IAC, answer, option}); };
    switch (verb) {
    case TELNET_DO:
        serverDo_[option] = TelnetAnswer::Granted;
        if (!OptionWeUse(option))
            say(TELNET_WONT);
        else if (!willSent_[option])
            say(TELNET_WILL);
        willSent_[option] = OptionWeUse(option);
        return;
    case TELNET_WILL:
        serverWill_[option] = TelnetAnswer::Granted;
        if (!OptionWeUse(option))
            say(TELNET_DONT);
        else if (!doSent_[option])
            say(TELNET_DO);
        doSent_[option] = OptionWeUse(option);
        return;
    case TELNET_DONT:
        serverDo_[option] = TelnetAnswer::Refused;
        willSent_[option] = false;
        return;
    case TELNET_WONT:
        serverWill_[option] = TelnetAnswer::Refused;
        doSent_[option] = false;
        return;
    }
}

TelnetEvent TelnetReceiver::SubnegotiationEnded()
{
    if (sub_.size() < 3 || sub_[0] != TELNET_COM_PORT_OPTION)
        return TelnetEvent::None;
    const uint8_t value = sub_[2];
    switch (sub_[1]) {
    case COM_PORT_SET_BAUDRATE + COM_PORT_SERVER_OFFSET:
        if (sub_.size() >= 6)
            line_.baudRate = BigEndian(sub_, 2);
        break;
    case COM_PORT_SET_DATASIZE + COM_PORT_SERVER_OFFSET:
        line_.dataSize = value;
        break;
    case COM_PORT_SET_PARITY + COM_PORT_SERVER_OFFSET:
        if (value >= 1)
            line_.parity = uint8_t(value - 1);
        break;
    case COM_PORT_SET_STOPSIZE + COM_PORT_SERVER_OFFSET:
        for (uint8_t code = 0; code < 3; ++code)
            if (STOP_CODES[code] == value)
                line_.stopBits = code;
        break;
    case COM_PORT_PURGE_DATA + COM_PORT_SERVER_OFFSET:
        if (value == COM_PORT_PURGE_RECEIVE || value == COM_PORT_PURGE_BOTH)
            return TelnetEvent::PurgeConfirmed;
        break;
    }
    return TelnetEvent::None;
}

}  // namespace orv
