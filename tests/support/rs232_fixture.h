// RS232 configurations for the tests: the seams in virtual time, rows made in
// one line, and a simulated RS232 on a simulated bus.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/rs232_build.h"
#include "model/rs232_config.h"
#include "tests/support/sim_bus_rig.h"

namespace orv::test {

inline RS232Row AsciiRow(const std::string& text, uint8_t destination = DEST_UNUSED, uint16_t action = 0)
{
    RS232Row row;
    row.text = text;
    row.destination = destination;
    row.action = action;
    return row;
}

inline RS232Row HexRow(const std::string& text)
{
    RS232Row row;
    row.text = text;
    row.type = StringType::Hex;
    return row;
}

inline RS232Row RelayRow(const std::string& text, uint8_t destination, int relay)
{
    RS232Row row = AsciiRow(text, destination, ACTION_RELAY_ENERGIZE);
    row.spinValues = {relay};
    return row;
}

inline std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    return std::vector<uint8_t>(values.begin(), values.end());
}

class RS232Fixture : public ::testing::Test, public VirtualServices {
protected:
    RS232BuiltImage Build(const RS232Config& config, bool warnEmpty = false)
    {
        auto image = BuildRS232Image(config, std::nullopt, warnEmpty, services);
        EXPECT_TRUE(image.has_value());
        return image.value_or(RS232BuiltImage{});
    }

    // What the panel shows after the config went through an image.
    RS232Config RoundTrip(const RS232Config& config)
    {
        return ParseRS232Image(Build(config).buffer).value_or(RS232Config{});
    }
};

// An ORV-RS232 at address 9 on a simulated bus, and a Relay at 7.
class RS232BusFixture : public RS232Fixture {
protected:
    static constexpr uint8_t RS232_ADDRESS = 9;
    SimBus bus{clock};
    SimDevice rs232{SimDeviceKind::RS232, RS232_ADDRESS, {1, 2, 3, 4}};
    SimDevice relay{SimDeviceKind::Relay, 7, {5, 6, 7, 8}};

    void SetUp() override
    {
        bus.Attach(rs232);
        bus.Attach(relay);
        ASSERT_TRUE(OpenLink(bus));
    }

    size_t Heard(uint16_t command) const
    {
        size_t count = 0;
        for (const auto& frame : bus.Heard())
            count += frame.command == command && frame.destination == RS232_ADDRESS;
        return count;
    }
};

}  // namespace orv::test
