// The USB interface reached through a serial device server that speaks
// RFC 2217 (Telnet COM-PORT-OPTION): the line is set on the server, whose
// confirmation is what GetCommState reports, and the server's receive buffer
// is purged with the interface's. The open asks for binary transmission both
// ways, since the bus's bytes are no text, and refuses a server that will not
// grant it or the option.
#pragma once

#include "port/rfc2217_codec.h"
#include "port/tcp_interface.h"

namespace orv {

// How long the server is given to agree to the options and to confirm the line.
constexpr uint32_t RFC2217_ANSWER_TIMEOUT_MS = 2000;
// How long a purge waits for the server's confirmation.
constexpr uint32_t RFC2217_PURGE_TIMEOUT_MS = 500;

class Rfc2217Interface final : public TcpInterface {
public:
    using TcpInterface::TcpInterface;

protected:
    std::string Scheme() const override { return "rfc2217"; }
    bool Negotiate() override;
    void EncodeData(const uint8_t* data, uint32_t count, std::vector<uint8_t>& wire) override;
    void DecodeByte(uint8_t byte, std::deque<uint8_t>& data) override;
    bool ApplyLine(const CommState& state) override;
    bool PurgeServerReceive() override;

private:
    // Sends the answers the server's negotiation is waiting for; false when
    // the connection failed.
    bool FlushReplies();

    TelnetReceiver telnet_;
    std::vector<uint8_t> reply_;  // negotiation answers not yet sent
    uint32_t purgesConfirmed_ = 0;
    // The server's first bytes, as many as the client's opening offer: the
    // same bytes are an echo.
    std::vector<uint8_t> heardFirst_;
    size_t heardFirstLimit_ = 0;
};

}  // namespace orv
