// The demo bus: five devices at distinct addresses that discovery finds, and
// configurable devices whose images arrive intact.
#include <gtest/gtest.h>

#include <set>

#include "model/image_crc.h"
#include "model/rs232_image.h"
#include "sim/demo_bus.h"
#include "sim/demo_images.h"
#include "sim/sim_device.h"
#include "tests/sim/link_fixture.h"

namespace orv::test {
namespace {

class DemoBusTest : public ::testing::Test, public VirtualServices {
protected:
    DemoBus demo{clock};

    void SetUp() override { ASSERT_TRUE(OpenLink(demo.Bus())); }
};

TEST_F(DemoBusTest, BroadcastFindsEveryDeviceOnce)
{
    BusRequest request{MODULE_INFO_REQUEST, BROADCAST_ADDRESS, nullptr, 1};
    const uint8_t zero = 0;
    request.payload = &zero;
    SendRequest(request);
    ASSERT_TRUE(WaitForAck());
    const std::vector<BusReply> replies = CollectReplies(clock);

    ASSERT_EQ(replies.size(), demo.Devices().size());
    std::set<uint8_t> addresses;
    std::set<SerialNumber> serials;
    int unconfigured = 0;
    for (const BusReply& reply : replies) {
        ASSERT_TRUE(IsModuleInfoReply(reply));
        const ModuleInfo info = DecodeModuleInfo(reply.payload);
        addresses.insert(reply.source);
        serials.insert(info.serial);
        unconfigured += info.configured == 0;
    }
    EXPECT_EQ(addresses, (std::set<uint8_t>{3, 5, 7, 9, 12}));
    EXPECT_EQ(serials.size(), replies.size());
    EXPECT_EQ(unconfigured, 1);
}

TEST_F(DemoBusTest, SampleImagesAreIntact)
{
    const std::vector<uint8_t> input8 = DemoInput8Image();
    const std::vector<uint8_t> rs232 = DemoRS232Image();

    ASSERT_EQ(input8.size(), 453u);
    EXPECT_TRUE(ImageIntact(input8.data(), input8.size()));
    EXPECT_EQ(input8[0], 1);
    EXPECT_NE(input8[2], 0);
    ASSERT_TRUE(RS232ImageLength(rs232).has_value());
    EXPECT_EQ(*RS232ImageLength(rs232), rs232.size());
    EXPECT_TRUE(ImageIntact(rs232.data(), rs232.size()));
    const auto config = ParseRS232Image(rs232);
    ASSERT_TRUE(config.has_value());
    EXPECT_EQ(config->baudRate, 9600u);
    ASSERT_EQ(config->rows.size(), 3u);
    EXPECT_EQ(config->rows[0].destination, 9);
    EXPECT_EQ(config->rows[0].action, ACTION_RELAY_ENERGIZE);
    EXPECT_EQ(config->rows[1].destination, 7);
    EXPECT_EQ(config->rows[1].type, StringType::Hex);
    EXPECT_EQ(config->rows[2].destination, DEST_BROADCAST);
    EXPECT_EQ(config->rows[2].command, "STATUS");
}

TEST_F(DemoBusTest, Input8ImageReadBlockByBlockChecksOut)
{
    std::vector<uint8_t> image(453, 0);
    for (uint16_t b = 0; b < 15; ++b) {
        const auto payload = BlockNumberPayload(b);
        SendRequest({CONFIG_BLOCK_READ, 3, payload.data(), 2});
        clock.Sleep(50);
        ASSERT_TRUE(WaitForAck());
        BusReply reply;
        ASSERT_TRUE(ReceiveReply(reply, 0));
        ASSERT_TRUE(IsConfigBlockData(reply));
        const size_t offset = size_t(b) * CONFIG_BLOCK_BYTES;
        std::copy_n(reply.payload + 2, std::min<size_t>(CONFIG_BLOCK_BYTES, image.size() - offset),
                    image.begin() + long(offset));
    }

    EXPECT_TRUE(ImageIntact(image.data(), image.size()));
    EXPECT_EQ(image, DemoInput8Image());
}

}  // namespace
}  // namespace orv::test
