// The bus link: one USB interface per process, one receiver, one reply slot.
// A module of free functions over module state; BindBusLink chooses the
// interface backend and the seams before OpenBusInterface.
#pragma once

#include <cstdint>

#include "link/frame_codec.h"
#include "link/rx_receiver.h"
#include "services/services.h"
#include "link/usb_interface.h"

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

// The handle of the opened interface (0 before), for a check of the line
// that goes around the link.
FtHandle BusInterfaceHandle();

// Inside the link, exposed for tests.
uint32_t EnumerateInterfaces(int attempts);
bool OpenInterfaceDevice(bool* multipleDevices);
uint32_t ReadBytes(uint8_t* buffer, uint8_t count);
uint32_t WriteFrame(const uint8_t* buffer, uint8_t count);
RxState CurrentRxState();

}  // namespace orv
