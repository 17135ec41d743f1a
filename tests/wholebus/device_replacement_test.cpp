// Which device may take the place of a missing one, without a bus: a backup
// and a registry made by hand.
#include <gtest/gtest.h>

#include "services/log.h"
#include "wholebus/device_replacement.h"

namespace orv::test {
namespace {

DeviceRecord Record(uint8_t address, uint8_t tag, const std::string& name, bool configured)
{
    DeviceRecord record;
    record.name = name;
    record.address = address;
    record.serialNumber = {tag, 0, 0, 0x21};
    record.typeCode = TypeFromName(name);
    record.configured = configured;
    return record;
}

TEST(DeviceReplacementTest, OnlyASpareOfTheKindTakesAFreeAddress)
{
    // The backup: a configured Input8 at 3 (gone), a Relay at 9, a configured Input8 at 4 (still there).
    std::vector<BackupDevice> backup = {{Record(3, 1, "ORV-Input8", true), "input8-21000001.bin", {}},
                                        {Record(9, 2, "ORV-Relay", true), std::nullopt, {}},
                                        {Record(4, 3, "ORV-Input8", true), "input8-21000003.bin", {}}};
    NullLog log;
    DeviceRegistry registry(log);
    registry.Append(Record(9, 2, "ORV-Relay", true));
    registry.Append(Record(4, 3, "ORV-Input8", true));
    registry.Append(Record(12, 4, "ORV-Input8", false));  // the spare
    registry.Append(Record(13, 5, "ORV-RS232", false));
    const std::vector<DeviceComparison> devices = MatchWithBus(backup, registry);

    EXPECT_EQ(ReplacementCandidates(devices), (std::vector<std::pair<size_t, size_t>>{{0, 3}}));
    const SerialNumber gone{1, 0, 0, 0x21};
    const SerialNumber spare{4, 0, 0, 0x21};
    EXPECT_EQ(ReplacementRefusal(gone, spare, devices, registry), std::nullopt);
    struct Case {
        SerialNumber old;
        SerialNumber replacement;
        std::string refusal;
    };
    const std::vector<Case> cases = {
        {{2, 0, 0, 0x21}, spare, "the backup holds no configuration of the device 21 00 00 02"},
        {{3, 0, 0, 0x21}, spare, "ORV-Input8 (21 00 00 03) at address 4 still answers on the bus"},
        {gone, {7, 0, 0, 0x21}, "no device 21 00 00 07 answers on the bus"},
        {gone, {5, 0, 0, 0x21}, "ORV-RS232 (21 00 00 05) at address 13 is not of the kind of ORV-Input8"},
        {gone, {3, 0, 0, 0x21}, "the backup holds a configuration of ORV-Input8 (21 00 00 03) at address 4 itself"},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> refusal = ReplacementRefusal(c.old, c.replacement, devices, registry);
        ASSERT_TRUE(refusal.has_value()) << c.refusal;
        EXPECT_EQ(refusal->find(c.refusal), 0u) << *refusal;
    }
    registry.Append(Record(3, 6, "ORV-LED4PD", true));
    EXPECT_EQ(*ReplacementRefusal(gone, spare, MatchWithBus(backup, registry), registry),
              "address 3, which ORV-Input8 (21 00 00 01) had, is taken by ORV-LED4PD (21 00 00 06) at address 3; give "
              "that device another address first");
}

}  // namespace
}  // namespace orv::test
