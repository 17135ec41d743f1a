#include <gtest/gtest.h>

#include <vector>

#include "link/commands.h"

namespace orv {
namespace {

using Bytes = std::vector<uint8_t>;

template <size_t N>
Bytes ToBytes(const std::array<uint8_t, N>& a)
{
    return Bytes(a.begin(), a.end());
}

TEST(CommandPayloads, RequestLayouts)
{
    EXPECT_EQ(ToBytes(SetAddressPayload({0x12, 0x34, 0x56, 0x78}, 7)), (Bytes{0x12, 0x34, 0x56, 0x78, 0x07}));
    EXPECT_EQ(ToBytes(BlockNumberPayload(14)), (Bytes{0x0E, 0x00}));
    EXPECT_EQ(ToBytes(BlockNumberPayload(0x0201)), (Bytes{0x01, 0x02}));
}

TEST(CommandPayloads, ModuleInfoLayout)
{
    const Bytes payload{0xA1, 0xB2, 0xC3, 0xD4, 'O', 'R', 'V', '-', 'I', 'n', 'p', 'u', 't', '8', 0, 0,
                        0x12, 0x34, 0x05, 0x01, 0x01, 0x00};
    ASSERT_EQ(payload.size(), size_t(MODULE_INFO_LENGTH));
    const ModuleInfo info = DecodeModuleInfo(payload.data());
    EXPECT_EQ(info.serial, (SerialNumber{0xA1, 0xB2, 0xC3, 0xD4}));
    EXPECT_EQ(info.name, "ORV-Input8");
    EXPECT_EQ(info.reserved16, 0x1234);
    EXPECT_EQ(info.firmwareMinor, 5);
    EXPECT_EQ(info.firmwareMajor, 1);
    EXPECT_EQ(info.configured, 1);
    EXPECT_EQ(ToBytes(EncodeModuleInfo(info)), payload);
}

TEST(CommandPayloads, RepliesTravelInFramesOfTheirSize)
{
    struct Case {
        uint16_t command;
        int payload;
        int frame;
    };
    const Case cases[] = {{MODULE_INFO, MODULE_INFO_LENGTH, 34}, {CONFIG_BLOCK_DATA, CONFIG_BLOCK_LENGTH, 48}};
    for (const auto& c : cases) {
        const Bytes payload(size_t(c.payload), 0x5A);
        uint8_t frame[MAX_FRAME];
        uint8_t body = 0;
        ASSERT_TRUE(EncodeMessage(HOST_ADDRESS, 9, c.command, payload.data(), uint8_t(c.payload), frame, body));
        EXPECT_EQ(body + 2, c.frame) << CommandName(c.command);
    }
}

TEST(CommandPayloads, OnlyCommandAndExactLengthMakeAReply)
{
    struct Case {
        uint32_t command;
        uint8_t length;
        bool moduleInfo;
        bool blockData;
    };
    const Case cases[] = {
        {MODULE_INFO, 22, true, false},       {MODULE_INFO, 21, false, false},
        {MODULE_INFO, 23, false, false},      {CONFIG_BLOCK_DATA, 34, false, true},
        {CONFIG_BLOCK_DATA, 33, false, false}, {CONFIG_BLOCK_DATA, 35, false, false},
        {CONFIG_BLOCK_DATA, 22, false, false}, {MODULE_INFO, 34, false, false},
        {MODULE_INFO + 256, 22, false, false},
    };
    for (const auto& c : cases) {
        BusReply reply;
        reply.command = c.command;
        reply.length = c.length;
        EXPECT_EQ(IsModuleInfoReply(reply), c.moduleInfo) << c.command << "/" << int(c.length);
        EXPECT_EQ(IsConfigBlockData(reply), c.blockData) << c.command << "/" << int(c.length);
    }
}

}  // namespace
}  // namespace orv
