#include "port/rfc2217_interface.h"

namespace orv {

bool Rfc2217Interface::Negotiate()
{
    telnet_ = TelnetReceiver{};
    reply_.clear();
    if (!SendAll(telnet_.OpeningNegotiation()))
        return false;
    return ReceiveUntil([this] { return FlushReplies() && telnet_.ComPortAgreed(); }, RFC2217_ANSWER_TIMEOUT_MS) &&
           SendAll(ComPortCommand(COM_PORT_PURGE_DATA, {COM_PORT_PURGE_BOTH}));
}

bool Rfc2217Interface::FlushReplies()
{
    std::vector<uint8_t> wire;
    wire.swap(reply_);
    return wire.empty() || SendAll(wire);
}

void Rfc2217Interface::EncodeData(const uint8_t* data, uint32_t count, std::vector<uint8_t>& wire)
{
    // Answers to the server's negotiation go out with the next data.
    wire.swap(reply_);
    reply_.clear();
    AppendTelnetData(data, count, wire);
}

void Rfc2217Interface::DecodeByte(uint8_t byte, std::deque<uint8_t>& data)
{
    telnet_.Feed(byte, data, reply_);
}

bool Rfc2217Interface::ApplyLine(const CommState& state)
{
    const std::vector<uint8_t> commands = LineCommands(state);
    if (commands.empty())
        return false;
    telnet_.ForgetLine();
    std::vector<uint8_t> wire;
    EncodeData(nullptr, 0, wire);
    wire.insert(wire.end(), commands.begin(), commands.end());
    return SendAll(wire) &&
           ReceiveUntil([this, &state] { return FlushReplies() && telnet_.Line().Confirms(state); }, RFC2217_ANSWER_TIMEOUT_MS);
}

void Rfc2217Interface::PurgeServerReceive()
{
    std::vector<uint8_t> wire;
    EncodeData(nullptr, 0, wire);
    const std::vector<uint8_t> purge = ComPortCommand(COM_PORT_PURGE_DATA, {COM_PORT_PURGE_RECEIVE});
    wire.insert(wire.end(), purge.begin(), purge.end());
    SendAll(wire);
}

}  // namespace orv
