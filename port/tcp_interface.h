// The USB interface reached over the network: a serial device server (such as
// ser2net) that passes the bus's bytes over one TCP connection. The raw kind
// carries bytes as they are, for a server already set to the bus's line; a
// protocol over the connection (RFC 2217) derives from it.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "port/name_resolver.h"
#include "port/port_records.h"
#include "port/socket_fd.h"
#include "port/usb_interface.h"

namespace orv {

// Resolving the name and connecting to one of its addresses, together.
constexpr uint32_t NETWORK_CONNECT_TIMEOUT_MS = 3000;
// The bus echoes every byte: a server that sends nothing back this long
// after a write does not pass the bus's bytes.
constexpr uint32_t NETWORK_ECHO_LIMIT_MS = 500;
// Received bytes held for reading at most: the replies of a whole bus.
constexpr size_t NETWORK_RECEIVE_LIMIT = 64 * 1024;
// A server may deliver what it held back at once, but over time no faster
// than this many times what the line carries.
constexpr uint32_t NETWORK_RATE_MARGIN = 4;

class TcpInterface : public UsbInterface {
public:
    TcpInterface(std::string host, uint16_t port, NameResolver resolve = ResolveName);
    ~TcpInterface() override;
    TcpInterface(const TcpInterface&) = delete;
    TcpInterface& operator=(const TcpInterface&) = delete;

    // One interface: the server.
    FtStatus CreateDeviceInfoList(uint32_t& count) override;
    FtStatus GetDeviceInfoDetail(uint32_t index, DeviceDetail& detail) override;
    // FT_DEVICE_NOT_FOUND when trying again will not help: the name does not
    // resolve, the server refuses the connection or the protocol.
    FtStatus Open(uint32_t index, FtHandle& handle) override;
    FtStatus Close(FtHandle handle) override;
    // The line is the server's: what was set is reported back.
    bool GetCommState(FtHandle handle, CommState& state) override;
    bool SetCommState(FtHandle handle, const CommState& state) override;
    FtStatus SetTimeouts(FtHandle handle, uint32_t readMillis, uint32_t writeMillis) override;
    FtStatus ClrRts(FtHandle handle) override;
    // Writes everything or reports the line lost: a frame cut short has
    // reached the server and cannot be taken back.
    FtStatus Write(FtHandle handle, const uint8_t* buffer, uint32_t count, uint32_t& written) override;
    FtStatus Read(FtHandle handle, uint8_t* buffer, uint32_t count, uint32_t& read) override;
    FtStatus GetQueueStatus(FtHandle handle, uint32_t& waiting) override;
    // The server's receive buffer first, then what has arrived here.
    FtStatus PurgeReceive(FtHandle handle) override;

    void BindLog(LogSink& log) override { failures_.Bind(log); }
    std::string LastError() const override { return failures_.Why(); }

    // scheme://host:port, as the user gave it.
    std::string Url() const;

protected:
    // What a protocol over the connection adds. Raw: nothing.
    virtual std::string Scheme() const { return "tcp"; }
    // Right after the connection is made; false refuses the open, with
    // Refuse's words.
    virtual bool Negotiate() { return true; }
    // Bytes of the bus as they go to the server.
    virtual void EncodeData(const uint8_t* data, uint32_t count, std::vector<uint8_t>& wire);
    // One byte from the server: the bus's bytes go to data.
    virtual void DecodeByte(uint8_t byte, std::deque<uint8_t>& data) { data.push_back(byte); }
    virtual bool ApplyLine(const CommState&) { return true; }
    // Asks the server to drop what it holds for the client; false when the
    // connection failed.
    virtual bool PurgeServerReceive() { return true; }

    // For the protocol: sends everything (false when the connection failed),
    // and receives from the server until done() or millis have passed.
    bool SendAll(const std::vector<uint8_t>& wire);
    bool ReceiveUntil(const std::function<bool()>& done, uint32_t millis);
    // Why the open fails, for LastError and the log.
    void Refuse(const std::string& why);
    LogSink& Log() { return failures_.Log(); }
    bool Lost() const { return lost_; }

private:
    using Steady = std::chrono::steady_clock;

    bool Valid(FtHandle handle) const { return fd_ != NO_SOCKET && handle == HANDLE; }
    // Resolves and connects within one bound; false with the reason kept for LastError.
    bool Connect(FtStatus& failure);
    // Receives what the server has sent, waiting at most millis for the first
    // byte (0: not at all) and reading no longer than that either. False when
    // the connection is lost.
    bool Receive(uint32_t millis);
    // Counts bytes from the server against what the line can carry; false
    // for a server that sends faster.
    bool WithinLineRate(size_t bytes);
    // The line is gone from here on, for the reason given.
    void Lose(const std::string& why);
    void Disconnect();

    static constexpr FtHandle HANDLE = 1;
    std::string host_;
    uint16_t port_;
    NameResolver resolve_;
    SocketFd fd_ = NO_SOCKET;
    bool lost_ = false;
    PortFailures failures_;
    std::deque<uint8_t> data_;  // bytes of the bus received, not yet read
    CommState line_{};
    uint32_t readMillis_ = 0;  // 0: no time-out
    uint32_t writeMillis_ = 0;
    // Bytes the server may still send at once before it outruns the line.
    double allowance_ = double(NETWORK_RECEIVE_LIMIT);
    Steady::time_point counted_ = Steady::now();
    // A write not yet followed by any byte from the server.
    bool echoAwaited_ = false;
    // The last write, and whether one has come back as its echo since the
    // open: a server that then falls silent lost the line behind it, it was
    // not set up wrong (a peer that only sends bytes of its own never echoes).
    std::vector<uint8_t> lastWrite_;
    bool echoHeard_ = false;
    Steady::time_point echoDue_;
};

}  // namespace orv
