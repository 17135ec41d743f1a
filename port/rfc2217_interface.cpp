#include "port/rfc2217_interface.h"

namespace orv {

bool Rfc2217Interface::Negotiate()
{
    telnet_ = TelnetReceiver{};
    reply_.clear();
    const std::vector<uint8_t> opening = telnet_.OpeningNegotiation();
    heardFirst_.clear();
    heardFirstLimit_ = opening.size();
    const auto settled = [this] {
        return telnet_.ComPort() != TelnetAnswer::Pending && telnet_.BinaryToServer() != TelnetAnswer::Pending &&
               telnet_.BinaryFromServer() != TelnetAnswer::Pending;
    };
    const auto granted = [this] {
        return telnet_.ComPort() == TelnetAnswer::Granted && telnet_.BinaryToServer() == TelnetAnswer::Granted &&
               telnet_.BinaryFromServer() == TelnetAnswer::Granted;
    };
    if (SendAll(opening))
        ReceiveUntil([&] { return FlushReplies() && (settled() || heardFirst_ == opening); }, RFC2217_ANSWER_TIMEOUT_MS);
    if (Lost()) {
        Refuse(LastError());
        return false;
    }
    if (!telnet_.Heard()) {
        Refuse(StrF("the server accepted the connection but said nothing to the RFC 2217 negotiation within %.0f s "
                    "(a raw port is tcp://)",
                    RFC2217_ANSWER_TIMEOUT_MS / 1000.0));
        return false;
    }
    // An echo answers each offer with the same offer, and grants nothing.
    if (heardFirst_ == opening) {
        Refuse("the server sends back what it is sent: an echo, not an RFC 2217 server (a raw port is tcp://)");
        return false;
    }
    if (telnet_.ComPort() != TelnetAnswer::Granted) {
        Refuse("the server does not grant the COM-PORT option (RFC 2217) that sets the bus's line");
        return false;
    }
    if (!granted()) {
        Refuse("the server does not grant binary transmission both ways, which the bus's bytes need");
        return false;
    }
    if (!SendAll(ComPortCommand(COM_PORT_PURGE_DATA, {COM_PORT_PURGE_BOTH}))) {
        Refuse(LastError());
        return false;
    }
    return true;
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
    if (heardFirst_.size() < heardFirstLimit_)
        heardFirst_.push_back(byte);
    switch (telnet_.Feed(byte, data, reply_)) {
    case TelnetEvent::SubnegotiationDropped:
        LogF(Log(), " %s: a Telnet subnegotiation longer than %zu bytes, dropped ", Url().c_str(),
             TELNET_SUBNEGOTIATION_LIMIT);
        break;
    case TelnetEvent::PurgeConfirmed:
        ++purgesConfirmed_;
        break;
    case TelnetEvent::None:
        break;
    }
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
    if (SendAll(wire) &&
        ReceiveUntil([this, &state] { return FlushReplies() && telnet_.Line().Confirms(state); }, RFC2217_ANSWER_TIMEOUT_MS))
        return true;
    // A line other than the bus's garbles every frame: say what the server took instead.
    if (!Lost())
        Refuse("the server confirmed " + telnet_.Line().Text() + ", not the bus's " + LineText(state));
    return false;
}

bool Rfc2217Interface::PurgeServerReceive()
{
    std::vector<uint8_t> wire;
    EncodeData(nullptr, 0, wire);
    const std::vector<uint8_t> purge = ComPortCommand(COM_PORT_PURGE_DATA, {COM_PORT_PURGE_RECEIVE});
    wire.insert(wire.end(), purge.begin(), purge.end());
    if (!SendAll(wire))
        return false;
    // What the server sent before it purged ends at its confirmation; a
    // server that does not confirm leaves only what has arrived to drop.
    const uint32_t before = purgesConfirmed_;
    ReceiveUntil([this, before] { return FlushReplies() && purgesConfirmed_ != before; }, RFC2217_PURGE_TIMEOUT_MS);
    return !Lost();
}

}  // namespace orv
