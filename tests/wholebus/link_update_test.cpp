// The rows that point to a moved device, found and pointed to its new address,
// in both kinds of image; everything else stays byte for byte.
#include <gtest/gtest.h>

#include <algorithm>

#include "config/rs232_build.h"
#include "model/image_crc.h"
#include "model/input8_image.h"
#include "tests/support/sim_bus_rig.h"
#include "wholebus/link_update.h"

namespace orv::test {
namespace {

class LinkUpdateTest : public ::testing::Test, public VirtualServices {
protected:
    std::vector<uint8_t> RS232FileForm()
    {
        RS232Config config;
        config.name = "Gate";
        for (int destination : {9, 7, 9, int(DEST_BROADCAST)}) {
            RS232Row row;
            row.text = "S";
            row.destination = uint8_t(destination);
            config.rows.push_back(row);
        }
        const auto built = BuildRS232Image(config, std::nullopt, false, services);
        return std::vector<uint8_t>(built->buffer.begin(), built->buffer.end());
    }
};

TEST_F(LinkUpdateTest, OnlyTheDestinationsOfTheRowsThatPointThereChange)
{
    Input8Config input8;
    input8.rows[1] = InputRow{0, ChangeType::Open, 9, ACTION_RELAY_ENERGIZE, {'1'}};
    input8.rows[30] = InputRow{0, ChangeType::Open, 9, ACTION_RELAY_DEENERGIZE, {'2'}};
    input8.rows[4] = InputRow{9, ChangeType::Open, 7, ACTION_SET_1_LED_LEVEL, {1, 9}};
    const std::vector<uint8_t> input8Image = EncodeInput8Image(input8, ImageForm::File);
    const std::vector<uint8_t> rs232Image = RS232FileForm();

    struct Case {
        ConfigKind kind;
        std::vector<uint8_t> image;
        std::vector<size_t> rows;
        std::vector<size_t> changedBytes;
    };
    const size_t rs232Rows = RS232_HEADER_SIZE;
    const std::vector<Case> cases = {
        {ConfigKind::Input8, input8Image, {1, 30}, {INPUT8_ROWS_OFFSET + 13, INPUT8_ROWS_OFFSET + 30 * 13}},
        {ConfigKind::RS232, rs232Image, {0, 2}, {rs232Rows, rs232Rows + 26}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RowsPointingTo(c.kind, c.image, 9), c.rows);
        const std::vector<uint8_t> moved = RetargetRows(c.kind, c.image, 9, 40);
        EXPECT_EQ(RowsPointingTo(c.kind, moved, 9), std::vector<size_t>{});
        EXPECT_EQ(RowsPointingTo(c.kind, moved, 40), c.rows);
        size_t changed = 0;
        for (size_t i = 0; i < c.image.size(); ++i) {
            if (std::find(c.changedBytes.begin(), c.changedBytes.end(), i) != c.changedBytes.end())
                EXPECT_EQ(moved[i], 40);
            else if (moved[i] != c.image[i])
                ++changed;
        }
        // An RS232 file keeps a CRC that checks, low byte first: its two bytes change with it.
        EXPECT_EQ(changed, c.kind == ConfigKind::RS232 ? 2u : 0u);
    }
    const std::vector<uint8_t> moved = RetargetRows(ConfigKind::RS232, rs232Image, 9, 40);
    const size_t length = *RS232ImageLength(moved);
    EXPECT_EQ(ImageCrc(moved.data(), length - 2), moved[length - 2] | moved[length - 1] << 8);
    EXPECT_EQ(LinkRowText(ConfigKind::Input8, 1), "Row 2");
    EXPECT_EQ(LinkRowText(ConfigKind::RS232, 2), "RS232 row 3");
}

}  // namespace
}  // namespace orv::test
