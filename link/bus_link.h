// The bus link: one USB interface per process, one receiver, one reply slot.
// A module of free functions over module state; BindBusLink chooses the
// interface backend and the seams before OpenBusInterface.
#pragma once

#include <cstdint>
#include <string>

#include "link/frame_codec.h"
#include "link/rx_receiver.h"
#include "port/usb_interface.h"
#include "services/services.h"

namespace orv {

constexpr int SEND_ATTEMPTS = 3;
constexpr int ACK_SILENCE_LIMIT = 10;
constexpr uint32_t BUS_BAUD_RATE = 125000;
constexpr uint32_t READ_TIMEOUT_MS = 70;
constexpr uint32_t WRITE_TIMEOUT_MS = 50;
// How long WaitForAck and ReceiveReply read a line that never falls silent.
constexpr uint32_t BUSY_LINE_LIMIT_MS = 1000;

// How the interface search paces its attempts: with the fixed pauses of the
// tool's start-up, or pausing only before an attempt that follows a failed one
// (for a program that opens a known port and should not wait for nothing).
enum class OpenPace { Fixed, AfterFailureOnly };

// Resets the module state and binds it to an interface backend and the seams.
void BindBusLink(UsbInterface& usb, Services& services);

bool OpenBusInterface(OpenPace pace = OpenPace::Fixed);
bool SendRequest(BusRequest request);
bool WaitForAck();
// The same wait bounded by time instead of silent reads: true as soon as an
// ACK_BYTE arrives, false once millis have passed without one.
bool WaitForAckWithin(uint32_t millis);
bool ReceiveReply(BusReply& reply, uint8_t verbose, uint8_t* counter = nullptr);

// The handle of the opened interface (0 before).
FtHandle BusInterfaceHandle();

// For checks of the line itself (orvctl doctor): the opened interface's line
// settings, and bytes dropped, written and read as they are, with no frame,
// receiver or retry in between. FT_INVALID_HANDLE before the open;
// FT_IO_ERROR marks the interface lost, as on every other call.
bool ReadBusLine(CommState& state);
FtStatus PurgeBusInput();
FtStatus WriteBusBytes(const uint8_t* buffer, uint32_t count, uint32_t& written);
FtStatus ReadBusBytes(uint8_t* buffer, uint32_t count, uint32_t& read);

// A read, write or queue call that reports FT_IO_ERROR means the interface is
// gone (unplugged, hung up, connection closed). From then until it is opened
// again nothing is sent or waited for: SendRequest, the acknowledgement waits
// and ReceiveReply give false at once, so that the running operation ends.
bool BusInterfaceLost();
// The bytes received since the interface was opened that were neither an
// acknowledgement nor part of a frame: noise on the line, or another sender.
uint64_t BusStrayBytes();
// The interface search of the last opening once more, after the interface
// was lost. No box when it is not found: the caller says what follows.
bool ReopenBusInterface();

// What the running operation is doing, for the report of a lost interface.
struct BusStep {
    // Finishes "... was disconnected while": "block 4 of 15 was being written".
    std::string doing;
    // What a loss at this step may leave behind on the device; empty for nothing.
    std::string risk;
};
// Operations set their step before each exchange; opening the interface clears it.
void SetBusStep(BusStep step);
// The step that was set when the interface was lost.
const BusStep& BusStepAtLoss();
// What the backend knew of the loss ("the server closed the connection");
// empty when it knew nothing more.
const std::string& BusLossCause();

inline constexpr const char* INTERFACE_LOST_CAPTION = " ORV-NET Disconnected ";
// While the interface is lost, true; the first call after a loss also shows
// the box that tells what was being done and what the device may now hold,
// so that an operation and its callers show one box between them.
bool ReportBusInterfaceLost();

// Inside the link, exposed for tests.
uint32_t EnumerateInterfaces(int attempts);
bool OpenInterfaceDevice(bool* multipleDevices);
uint32_t ReadBytes(uint8_t* buffer, uint8_t count);
uint32_t WriteFrame(const uint8_t* buffer, uint8_t count);
RxState CurrentRxState();

}  // namespace orv
