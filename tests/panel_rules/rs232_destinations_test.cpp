#include <gtest/gtest.h>

#include "panel_rules/rs232_destinations.h"
#include "tests/support/rs232_fixture.h"

namespace orv::test {
namespace {

using RS232DestinationsTest = RS232Fixture;

TEST_F(RS232DestinationsTest, DestinationsOfferTheFirst48DevicesThatTakeAnAction)
{
    DeviceRegistry registry(log);
    const auto labels = [&] {
        std::vector<std::string> texts;
        for (const auto& entry : RS232DestinationEntries(registry))
            texts.push_back(entry.label + "=" + std::to_string(entry.address));
        return texts;
    };
    const auto add = [&](const std::string& name, uint8_t address) {
        DeviceRecord record;
        record.name = name;
        record.address = address;
        record.typeCode = TypeFromName(name);
        record.serialNumber = {address, 0, 0, 0};
        registry.Append(record);
    };
    add("ORV-Relay", 7);
    EXPECT_EQ(labels(), (std::vector<std::string>{"Unused=255", "Broadcast=100"}));
    add("ORV-RS232", 9);
    add("ORV-Input8", 3);
    EXPECT_EQ(labels(), (std::vector<std::string>{"Unused=255", "Broadcast=100", "ORV-Relay @ 7=7"}));

    for (int a = 10; a < 70; ++a)
        add("ORV-LED4PD", uint8_t(a));
    const auto entries = RS232DestinationEntries(registry);
    ASSERT_EQ(entries.size(), 2 + RS232_DESTINATION_DEVICES);
    EXPECT_EQ(entries.back().address, 10 + 46);
}

}  // namespace
}  // namespace orv::test
