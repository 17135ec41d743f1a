// The one way to the USB interface: the calls of the vendor's D2XX library
// that the link uses, with their shapes kept. Backends: the Linux ftdi_sio tty
// (tty_interface.h), a serial device server over TCP (tcp_interface.h,
// rfc2217_interface.h) and the simulated bus (sim/sim_bus.h); port_address.h
// makes the one a --port value names.
#pragma once

#include <cstdint>
#include <string>

#include "services/log.h"

namespace orv {

using FtStatus = uint32_t;
constexpr FtStatus FT_OK = 0;
constexpr FtStatus FT_INVALID_HANDLE = 1;
constexpr FtStatus FT_DEVICE_NOT_FOUND = 2;
constexpr FtStatus FT_DEVICE_NOT_OPENED = 3;
constexpr FtStatus FT_IO_ERROR = 4;
constexpr FtStatus FT_OTHER_ERROR = 18;

// Opaque handle of an opened interface; 0 is the null handle.
using FtHandle = uintptr_t;

// The communication-state record (the Win32 DCB layout as D2XX uses it).
struct CommState {
    uint32_t length = sizeof(CommState);
    uint32_t baudRate = 0;
    uint32_t flags = 0;
    uint16_t reserved = 0;
    uint16_t xonLimit = 0;
    uint16_t xoffLimit = 0;
    uint8_t byteSize = 8;
    uint8_t parity = 0;    // 0 none
    uint8_t stopBits = 0;  // 0 one, 1 one and a half, 2 two
    char xonChar = 0x11;
    char xoffChar = 0x13;
    char errorChar = 0;
    char eofChar = 0;
    char eventChar = 0;
    uint16_t reserved1 = 0;
};

// Bits of CommState::flags, from bit 0.
constexpr uint32_t COMM_BINARY = 1u << 0;
constexpr uint32_t COMM_PARITY_CHECK = 1u << 1;
constexpr uint32_t COMM_OUTX_CTS_FLOW = 1u << 2;
constexpr uint32_t COMM_OUTX_DSR_FLOW = 1u << 3;
constexpr uint32_t COMM_DTR_CONTROL_MASK = 3u << 4;
constexpr uint32_t COMM_DSR_SENSITIVITY = 1u << 6;
constexpr uint32_t COMM_TX_CONTINUE_ON_XOFF = 1u << 7;
constexpr uint32_t COMM_OUTX = 1u << 8;
constexpr uint32_t COMM_INX = 1u << 9;
constexpr uint32_t COMM_ERROR_CHAR = 1u << 10;
constexpr uint32_t COMM_NULL_STRIP = 1u << 11;
constexpr uint32_t COMM_RTS_CONTROL_MASK = 3u << 12;
constexpr uint32_t COMM_ABORT_ON_ERROR = 1u << 14;
// What the link clears when it opens the interface (bits 8, 9, 10, 12, 13, 14).
constexpr uint32_t COMM_CLEARED_ON_OPEN = 0x7700;

struct DeviceDetail {
    uint32_t flags = 0;
    uint32_t type = 0;
    uint32_t id = 0;  // USB vendor << 16 | product
    uint32_t locationId = 0;
    std::string serialNumber;  // at most 15 characters
    std::string description;   // at most 63 characters
};

class UsbInterface {
public:
    virtual ~UsbInterface() = default;

    // FT_CreateDeviceInfoList: lists the attached interfaces.
    virtual FtStatus CreateDeviceInfoList(uint32_t& count) = 0;
    // FT_GetDeviceInfoDetail for one listed index.
    virtual FtStatus GetDeviceInfoDetail(uint32_t index, DeviceDetail& detail) = 0;
    virtual FtStatus Open(uint32_t index, FtHandle& handle) = 0;
    virtual FtStatus Close(FtHandle handle) = 0;
    // FT_W32_GetCommState / FT_W32_SetCommState: true for success.
    virtual bool GetCommState(FtHandle handle, CommState& state) = 0;
    virtual bool SetCommState(FtHandle handle, const CommState& state) = 0;
    virtual FtStatus SetTimeouts(FtHandle handle, uint32_t readMillis, uint32_t writeMillis) = 0;
    virtual FtStatus ClrRts(FtHandle handle) = 0;
    virtual FtStatus Write(FtHandle handle, const uint8_t* buffer, uint32_t count, uint32_t& written) = 0;
    // Returns when count bytes have arrived or the read time-out has passed.
    virtual FtStatus Read(FtHandle handle, uint8_t* buffer, uint32_t count, uint32_t& read) = 0;
    // FT_GetQueueStatus: bytes waiting to be read now.
    virtual FtStatus GetQueueStatus(FtHandle handle, uint32_t& waiting) = 0;
    // FT_Purge of the receive side: drops what waits to be read.
    virtual FtStatus PurgeReceive(FtHandle handle) = 0;

    // Where the backend writes what it notices on the line besides its
    // status codes (what it dropped, errors the line reported).
    virtual void BindLog(LogSink&) {}
    // Why the last failed open or the loss of the line happened, in words for
    // the user; empty when the status code says all there is.
    virtual std::string LastError() const { return {}; }
};

}  // namespace orv
