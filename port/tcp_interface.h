// The USB interface reached over the network: a serial device server (such as
// ser2net) that passes the bus's bytes over one TCP connection. The raw kind
// carries bytes as they are, for a server already set to the bus's line; a
// protocol over the connection (RFC 2217) derives from it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "port/socket_fd.h"
#include "port/usb_interface.h"

namespace orv {

constexpr uint32_t NETWORK_CONNECT_TIMEOUT_MS = 3000;

class TcpInterface : public UsbInterface {
public:
    TcpInterface(std::string host, uint16_t port);
    ~TcpInterface() override;
    TcpInterface(const TcpInterface&) = delete;
    TcpInterface& operator=(const TcpInterface&) = delete;

    // One interface: the server.
    FtStatus CreateDeviceInfoList(uint32_t& count) override;
    FtStatus GetDeviceInfoDetail(uint32_t index, DeviceDetail& detail) override;
    FtStatus Open(uint32_t index, FtHandle& handle) override;
    FtStatus Close(FtHandle handle) override;
    // The line is the server's: what was set is reported back.
    bool GetCommState(FtHandle handle, CommState& state) override;
    bool SetCommState(FtHandle handle, const CommState& state) override;
    FtStatus SetTimeouts(FtHandle handle, uint32_t readMillis, uint32_t writeMillis) override;
    FtStatus ClrRts(FtHandle handle) override;
    FtStatus Write(FtHandle handle, const uint8_t* buffer, uint32_t count, uint32_t& written) override;
    FtStatus Read(FtHandle handle, uint8_t* buffer, uint32_t count, uint32_t& read) override;
    FtStatus GetQueueStatus(FtHandle handle, uint32_t& waiting) override;
    FtStatus PurgeReceive(FtHandle handle) override;

protected:
    // What a protocol over the connection adds. Raw: nothing.
    virtual std::string Scheme() const { return "tcp"; }
    // Right after the connection is made; false refuses the open.
    virtual bool Negotiate() { return true; }
    // Bytes of the bus as they go to the server.
    virtual void EncodeData(const uint8_t* data, uint32_t count, std::vector<uint8_t>& wire);
    // One byte from the server: the bus's bytes go to data.
    virtual void DecodeByte(uint8_t byte, std::deque<uint8_t>& data) { data.push_back(byte); }
    virtual bool ApplyLine(const CommState&) { return true; }
    virtual void PurgeServerReceive() {}

    // For the protocol: sends everything (false when the connection failed),
    // and receives from the server until done() or millis have passed.
    bool SendAll(const std::vector<uint8_t>& wire);
    bool ReceiveUntil(const std::function<bool()>& done, uint32_t millis);

private:
    bool Valid(FtHandle handle) const { return fd_ != NO_SOCKET && handle == HANDLE; }
    // Receives what the server has sent, waiting at most millis for the first
    // byte (0: not at all). False when the connection is lost.
    bool Receive(uint32_t millis);
    void Disconnect();

    static constexpr FtHandle HANDLE = 1;
    std::string host_;
    uint16_t port_;
    SocketFd fd_ = NO_SOCKET;
    bool lost_ = false;
    std::deque<uint8_t> data_;  // bytes of the bus received, not yet read
    CommState line_{};
    uint32_t readMillis_ = 0;  // 0: no time-out
    uint32_t writeMillis_ = 0;
};

}  // namespace orv
