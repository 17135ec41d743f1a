// The Input8 configuration the whole-bus tests back up, compare and restore.
#pragma once

#include <cstdint>

#include "model/catalogue.h"
#include "model/input8_config.h"

namespace orv::test {

// Named "Hall"; its fourth row energises the relay at relayAddress, so that
// configurations differ by their link.
inline Input8Config Hall(uint8_t relayAddress)
{
    Input8Config config;
    config.name = "Hall";
    config.rows[3] = InputRow{0, ChangeType::Close, relayAddress, ACTION_RELAY_ENERGIZE, {'1'}};
    return config;
}

}  // namespace orv::test
