// The configurations the demo bus's Input8 and RS232 devices hold, as images
// in the device form (CRC high byte first at the end).
#pragma once

#include <cstdint>
#include <vector>

namespace orv {

// 453 bytes: a named Input8 configuration whose rows act on the demo bus's
// RS232 at 5, LED4PD at 7 and Relay at 9.
std::vector<uint8_t> DemoInput8Image();
// A named RS232 configuration at 9600 bit/s whose rows act on the demo bus's
// Relay at 9 and LED4PD at 7, and send a command to every device.
std::vector<uint8_t> DemoRS232Image();

}  // namespace orv
