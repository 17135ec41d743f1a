// Input the user gave while the windows were disabled for bus work can reach
// the program after the work is over: the X server stamps it when it is given,
// and it may still be on its way while the work's end drains what arrived.
// Input stamped before the end of the last bus work is dropped wherever it
// arrives.
#pragma once

#include <cstdint>

namespace orv {

// The X server's time now, in its milliseconds; nothing on displays without one.
bool DisplayTimeNow(uint32_t& now);

// From now on, mouse buttons, wheel steps and keys stamped before end are dropped.
void DropInputStampedBefore(uint32_t end);

}  // namespace orv
