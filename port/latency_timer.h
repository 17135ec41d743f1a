// The latency timer of an FTDI tty: how long the chip holds received bytes
// before it passes them on (16 ms by default, 1 ms once lowered).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orv {

constexpr uint32_t FTDI_DEFAULT_LATENCY_MS = 16;

// The driver's latency_timer of the tty node path, read from sysfs; nothing
// for a tty without one (not an FTDI interface, a pseudo-terminal).
std::optional<uint32_t> LatencyTimerMillis(const std::string& ttyPath, const std::string& sysRoot = "/sys");

// How long the port at ttyPath may hold a received byte, from its kind: an
// FTDI tty's latency timer; none for a pseudo-terminal, which passes every
// byte on at once; nothing when it cannot be known (another serial port, a
// path of no tty), so that the caller assumes the FTDI default.
std::optional<uint32_t> PortLatencyMillis(const std::string& ttyPath, const std::string& sysRoot = "/sys");

}  // namespace orv
