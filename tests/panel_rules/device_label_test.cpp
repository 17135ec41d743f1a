#include <gtest/gtest.h>

#include "panel_rules/device_label.h"

namespace orv::test {
namespace {

// Two RS232s that answered at one address, an Input8 there too, and an RS232 alone at 6.
class PanelDeviceLabelTest : public ::testing::Test {
protected:
    NullLog log;
    DeviceRegistry registry{log};

    void SetUp() override
    {
        Add("Hall", {1, 1, 1, 1}, 5, TYPE_RS232);
        Add("Stairs", {2, 2, 2, 2}, 5, TYPE_RS232);
        Add("Switches", {3, 3, 3, 3}, 5, TYPE_INPUT8);
        Add("Door", {4, 4, 4, 4}, 6, TYPE_RS232);
    }

    void Add(const std::string& name, SerialNumber serial, uint8_t address, DeviceTypeCode kind)
    {
        DeviceRecord record;
        record.name = name;
        record.serialNumber = serial;
        record.address = address;
        record.typeCode = kind;
        registry.Append(record);
    }

    std::string Label(uint8_t address) const { return PanelDeviceLabel(registry, address, TYPE_RS232, "ORV-RS232"); }
};

TEST_F(PanelDeviceLabelTest, TheSelectedDeviceNamesThePanel)
{
    struct Case {
        uint8_t selected;
        uint8_t address;
        const char* label;
    };
    const Case cases[] = {
        {0, 5, "Hall @ 5"},
        {1, 5, "Stairs @ 5"},  // the second record at the address, not the first one found
        {2, 5, "ORV-RS232 @ 5"},  // another kind selected: the two RS232s there are not told apart
        {3, 6, "Door @ 6"},
        {0, 6, "Door @ 6"},  // the only RS232 at the panel's address
        {0, 7, "ORV-RS232 @ 7"},  // none there
    };
    for (const Case& c : cases) {
        registry.Select(c.selected);
        EXPECT_EQ(Label(c.address), c.label) << int(c.selected) << " " << int(c.address);
    }
}

TEST_F(PanelDeviceLabelTest, ADeviceThatLeftTheSelectedRowIsNotNamed)
{
    registry.Select(1);
    registry.RemoveDevice(0);  // "Switches" now at the selected row
    EXPECT_EQ(Label(5), "Stairs @ 5");  // the only RS232 left there
    registry.RemoveDevice(0);
    EXPECT_EQ(Label(5), "ORV-RS232 @ 5");
}

}  // namespace
}  // namespace orv::test
