#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "network/device_registry.h"
#include "tests/network/network_fixture.h"

namespace orv::test {
namespace {

BusReply ModuleInfoReply(uint8_t source, const ModuleInfo& info)
{
    BusReply reply;
    reply.command = MODULE_INFO;
    reply.source = source;
    reply.length = MODULE_INFO_LENGTH;
    const auto payload = EncodeModuleInfo(info);
    std::copy(payload.begin(), payload.end(), reply.payload);
    return reply;
}

TEST(RecordFromReply, FieldsFromPayloadAndSource)
{
    ModuleInfo info;
    info.serial = {0x78, 0x56, 0x34, 0x12};
    info.name = "ORV-LED4PD";
    info.reserved16 = 0xBEEF;
    info.firmwareMinor = 0x20;
    info.firmwareMajor = 1;
    info.configured = 3;
    info.reservedFlag = 1;
    const DeviceRecord record = RecordFromReply(ModuleInfoReply(42, info));

    EXPECT_EQ(record.name, "ORV-LED4PD");
    EXPECT_EQ(record.serialNumber, info.serial);
    EXPECT_EQ(record.address, 42);
    EXPECT_EQ(record.typeCode, TYPE_LED4PD);
    EXPECT_TRUE(record.configured);
    EXPECT_FALSE(record.sharedAddress);
    EXPECT_EQ(SerialText(record.serialNumber), "12 34 56 78");
    EXPECT_EQ(FirmwareText(record), "1.20");
    EXPECT_EQ(DeviceRowText(record), "ORV-LED4PD (12 34 56 78)");

    info.configured = 0;
    EXPECT_FALSE(RecordFromReply(ModuleInfoReply(42, info)).configured);
}

TEST(RecordFromReply, NamesCutToElevenCharactersThenKind)
{
    const struct {
        const char* sent;  // the 12-byte field holds at most 12 characters without its zero
        const char* kept;
        DeviceTypeCode kind;
    } cases[] = {
        {"ORV-Input8", "ORV-Input8", TYPE_INPUT8},
        {"ORV-RS232", "ORV-RS232", TYPE_RS232},
        {"ORV-Relay", "ORV-Relay", TYPE_RELAY},
        {"ABCDEFGHIJKL", "ABCDEFGHIJK", TYPE_UNRECOGNISED},
        {"xxORV-Relay", "xxORV-Relay", TYPE_RELAY},
        {"xxxORV-Relay", "xxxORV-Rela", TYPE_UNRECOGNISED},  // the fragment is cut off
        {"", "", TYPE_UNRECOGNISED},
    };
    for (const auto& c : cases) {
        ModuleInfo info;
        info.name = c.sent;
        const DeviceRecord record = RecordFromReply(ModuleInfoReply(1, info));
        EXPECT_EQ(record.name, c.kept) << c.sent;
        EXPECT_EQ(record.typeCode, c.kind) << c.sent;
    }
}

TEST(ShownTexts, SerialAndFirmware)
{
    const struct {
        SerialNumber serial;
        const char* text;
    } serials[] = {
        {{0x78, 0x56, 0x34, 0x12}, "12 34 56 78"},
        {{0x34, 0xAB, 0x12, 0x00}, "00 12 AB 34"},
        {{0x00, 0x00, 0x00, 0x00}, "00 00 00 00"},
        {{0xFF, 0x0F, 0xF0, 0x01}, "01 F0 0F FF"},
    };
    for (const auto& c : serials)
        EXPECT_EQ(SerialText(c.serial), c.text);

    DeviceRecord record;
    const struct {
        uint8_t major, minor;
        const char* text;
    } versions[] = {{1, 0x20, "1.20"}, {0, 0, "0.0"}, {0x1A, 0x0B, "1A.B"}, {255, 255, "FF.FF"}};
    for (const auto& c : versions) {
        record.firmwareMajor = c.major;
        record.firmwareMinor = c.minor;
        EXPECT_EQ(FirmwareText(record), c.text);
    }
}

class RegistryTest : public ::testing::Test {
protected:
    CollectingLog log;
    DeviceRegistry registry{log};
};

TEST_F(RegistryTest, TypeAtAddressPassesOverUnrecognisedRecords)
{
    registry.Append(Record(5, Serial(1), "Mystery"));
    registry.Append(Record(5, Serial(2), "ORV-Relay"));
    registry.Append(Record(5, Serial(3), "ORV-RS232"));
    registry.Append(Record(6, Serial(4), "Mystery"));
    registry.Append(Record(7, Serial(5), "ORV-Input8"));

    EXPECT_EQ(registry.TypeAtAddress(5), TYPE_RELAY);  // the first recognised one decides
    EXPECT_EQ(registry.TypeAtAddress(6), TYPE_NONE);
    EXPECT_EQ(registry.TypeAtAddress(7), TYPE_INPUT8);
    EXPECT_EQ(registry.TypeAtAddress(8), TYPE_NONE);
    EXPECT_EQ(registry.GetDeviceAddresses(), (std::vector<uint8_t>{5, 5, 5, 6, 7}));
}

TEST_F(RegistryTest, HoldsAtMost255Records)
{
    for (int i = 0; i < 255; ++i)
        ASSERT_TRUE(registry.Append(Record(uint8_t(i), Serial(uint8_t(i)))));
    EXPECT_TRUE(log.lines.empty());

    EXPECT_FALSE(registry.Append(Record(9, Serial(9), "ORV-Input8")));
    EXPECT_EQ(registry.Count(), 255u);
    EXPECT_EQ(log.lines, (std::vector<std::string>{" Device List Full (255 Devices): ORV-Input8 at Address: 9 Not Added "}));

    registry.RemoveDevice(0);
    EXPECT_TRUE(registry.Append(Record(9, Serial(9))));
}

TEST_F(RegistryTest, RemoveAndClear)
{
    EXPECT_FALSE(registry.ClearDevices());  // nothing to clear: the list control is left alone

    registry.Append(Record(1, Serial(1)));
    registry.Append(Record(2, Serial(2)));
    registry.Append(Record(3, Serial(3)));
    registry.RemoveDevice(1);
    EXPECT_EQ(registry.GetDeviceAddresses(), (std::vector<uint8_t>{1, 3}));
    registry.RemoveDevice(2);
    EXPECT_EQ(registry.Count(), 2u);

    EXPECT_TRUE(registry.ClearDevices());
    EXPECT_EQ(registry.Count(), 0u);
}

TEST_F(RegistryTest, MarksEveryMemberOfAnAddressGroup)
{
    for (uint8_t address : {5, 7, 3, 7, 5, 7})
        registry.Append(Record(address, Serial(address)));
    EXPECT_EQ(registry.MarkSharedAddresses(), (std::vector<size_t>{0, 1, 3, 4, 5}));
    for (size_t i = 0; i < registry.Count(); ++i)
        EXPECT_EQ(registry.Record(i).sharedAddress, i != 2) << i;
}

TEST_F(RegistryTest, SelectionIsCheckedAgainstTheSerialNumber)
{
    EXPECT_EQ(registry.selectedIndex(), NO_SELECTION);
    EXPECT_EQ(registry.selectedAddress(), NO_SELECTION);
    EXPECT_EQ(registry.SelectedRecord(), nullptr);

    registry.Append(Record(3, Serial(0xA3)));
    registry.Append(Record(7, Serial(0xA7)));
    registry.Append(Record(7, Serial(0xB7)));
    registry.SelectAddress(7);  // a list row maps to the first record at its address
    EXPECT_EQ(registry.selectedIndex(), 1);
    EXPECT_EQ(registry.selectedAddress(), 7);
    ASSERT_NE(registry.SelectedRecord(), nullptr);
    EXPECT_EQ(registry.SelectedRecord()->serialNumber, Serial(0xA7));

    // Refilled in the same order, the device now at another address: still the one selected.
    registry.ClearDevices();
    EXPECT_EQ(registry.selectedIndex(), 1);
    EXPECT_EQ(registry.SelectedRecord(), nullptr);
    registry.Append(Record(3, Serial(0xA3)));
    registry.Append(Record(9, Serial(0xA7)));
    ASSERT_NE(registry.SelectedRecord(), nullptr);
    EXPECT_EQ(registry.SelectedRecord()->address, 9);
    EXPECT_EQ(registry.selectedAddress(), 7);

    // Another device at that index, or none at all.
    registry.RemoveDevice(0);
    EXPECT_EQ(registry.SelectedRecord(), nullptr);
    registry.Select(1);
    EXPECT_EQ(registry.SelectedRecord(), nullptr);
    registry.Select(0);
    EXPECT_EQ(registry.SelectedRecord()->serialNumber, Serial(0xA7));

    registry.SelectAddress(200);  // no record there
    EXPECT_EQ(registry.selectedIndex(), 0);
}

TEST_F(RegistryTest, RequireSelectedDeviceAsksForANewSelection)
{
    ScriptedPrompts prompts;
    VirtualClock clock;
    Services services{clock, log, prompts};

    registry.Append(Record(4, Serial(1)));
    registry.Append(Record(5, Serial(2)));
    registry.Select(1);
    EXPECT_EQ(RequireSelectedDevice(services, registry), &registry.Record(1));
    EXPECT_TRUE(prompts.boxes.empty());

    registry.ClearDevices();
    registry.Append(Record(4, Serial(1)));
    registry.Append(Record(6, Serial(3)));
    EXPECT_EQ(RequireSelectedDevice(services, registry), nullptr);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, " Select Device ");
    EXPECT_EQ(prompts.boxes[0].text,
              "The device list has changed since the device was selected.\n\nPlease select the device again.");
    EXPECT_EQ(prompts.boxes[0].buttons, Buttons::Ok);
}

}  // namespace
}  // namespace orv::test
