// Every injected fault of a simulated device as the link sees it.
#include <gtest/gtest.h>

#include "sim/sim_device.h"
#include "tests/sim/link_fixture.h"

namespace orv::test {
namespace {

constexpr uint8_t ADDRESS = 3;

struct FaultCase {
    const char* name;
    SimDeviceFaults faults;
    uint16_t command;  // MODULE_INFO_REQUEST or CONFIG_BLOCK_READ
    uint16_t block;    // for CONFIG_BLOCK_READ
    bool acked;
    bool replied;
    uint32_t replyCommand;
    uint8_t replyLength;
};

void PrintTo(const FaultCase& c, std::ostream* os)
{
    *os << c.name;
}

SimDeviceFaults NoAck(uint16_t command, std::optional<uint16_t> block = {}, std::optional<uint16_t> from = {})
{
    SimDeviceFaults f;
    f.noAckCommand = command;
    f.noAckBlock = block;
    f.noAckFromBlock = from;
    return f;
}

// Faults set by set; the reply faults only for the given block, when one is given.
SimDeviceFaults With(void (*set)(SimDeviceFaults&), std::optional<uint16_t> block = {})
{
    SimDeviceFaults f;
    set(f);
    f.replyFaultBlock = block;
    return f;
}

const FaultCase CASES[] = {
    {"Healthy", {}, MODULE_INFO_REQUEST, 0, true, true, MODULE_INFO, 22},
    {"Silent", With([](SimDeviceFaults& f) { f.silent = true; }), MODULE_INFO_REQUEST, 0, false, false, 0, 0},
    {"NoAckForCommand", NoAck(MODULE_INFO_REQUEST), MODULE_INFO_REQUEST, 0, false, false, 0, 0},
    {"NoAckForOtherCommand", NoAck(CONFIG_BLOCK_WRITE), MODULE_INFO_REQUEST, 0, true, true, MODULE_INFO, 22},
    {"NoAckForThatBlock", NoAck(CONFIG_BLOCK_READ, 6), CONFIG_BLOCK_READ, 6, false, false, 0, 0},
    {"NoAckForAnotherBlock", NoAck(CONFIG_BLOCK_READ, 6), CONFIG_BLOCK_READ, 7, true, true, CONFIG_BLOCK_DATA, 34},
    {"NoAckFromBlockOn", NoAck(CONFIG_BLOCK_READ, {}, 10), CONFIG_BLOCK_READ, 12, false, false, 0, 0},
    {"AckBeforeThatBlock", NoAck(CONFIG_BLOCK_READ, {}, 10), CONFIG_BLOCK_READ, 9, true, true, CONFIG_BLOCK_DATA, 34},
    {"AckWithoutReply", With([](SimDeviceFaults& f) { f.omitReply = true; }), MODULE_INFO_REQUEST, 0, true,
     false, 0, 0},
    {"AckWithoutReplyForThatBlock", With([](SimDeviceFaults& f) { f.omitReply = true; }, 3),
     CONFIG_BLOCK_READ, 3, true, false, 0, 0},
    {"DamagedCrc", With([](SimDeviceFaults& f) { f.damageCrc = true; }), CONFIG_BLOCK_READ, 0, true, false, 0,
     0},
    {"WrongCommand", With([](SimDeviceFaults& f) { f.replyCommand = CONFIG_BLOCK_DATA; }), MODULE_INFO_REQUEST,
     0, true, true, CONFIG_BLOCK_DATA, 22},
    {"ModuleInfoOf21Bytes", With([](SimDeviceFaults& f) { f.replyLength = 21; }), MODULE_INFO_REQUEST, 0, true,
     true, MODULE_INFO, 21},
    {"ModuleInfoOf23Bytes", With([](SimDeviceFaults& f) { f.replyLength = 23; }), MODULE_INFO_REQUEST, 0, true,
     true, MODULE_INFO, 23},
    {"ShortBlockDataForThatBlock", With([](SimDeviceFaults& f) { f.replyLength = 20; }, 3), CONFIG_BLOCK_READ,
     3, true, true, CONFIG_BLOCK_DATA, 20},
    {"FullBlockDataForAnotherBlock", With([](SimDeviceFaults& f) { f.replyLength = 20; }, 3),
     CONFIG_BLOCK_READ, 4, true, true, CONFIG_BLOCK_DATA, 34},
    {"BlockFaultSparesModuleInfo", With([](SimDeviceFaults& f) { f.replyLength = 20; }, 3),
     MODULE_INFO_REQUEST, 0, true, true, MODULE_INFO, 22},
    {"StrayBytesBeforeTheAnswer", With([](SimDeviceFaults& f) { f.strayBytes = {0x55, 0xAA, 0x8E, 0x7F}; }),
     CONFIG_BLOCK_READ, 2, true, true, CONFIG_BLOCK_DATA, 34},
};

class DeviceFault : public LinkFixture, public ::testing::WithParamInterface<FaultCase> {
protected:
    SimDevice device{SimDeviceKind::Input8, ADDRESS, {1, 2, 3, 4}};

    void SetUp() override
    {
        LinkFixture::SetUp();
        device.SetFaults(GetParam().faults);
        bus.Attach(device);
    }
};

TEST_P(DeviceFault, IsSeenThroughTheLink)
{
    const FaultCase& c = GetParam();
    const Exchange ex = c.command == CONFIG_BLOCK_READ ? ReadBlock(ADDRESS, c.block) : AskModuleInfo(ADDRESS);

    EXPECT_EQ(ex.acked, c.acked);
    ASSERT_EQ(ex.reply.has_value(), c.replied);
    if (!c.replied)
        return;
    EXPECT_EQ(ex.reply->command, c.replyCommand);
    EXPECT_EQ(ex.reply->length, c.replyLength);
    EXPECT_EQ(ex.reply->source, ADDRESS);
    if (c.command == CONFIG_BLOCK_READ) {
        EXPECT_EQ(BlockNumberFrom(ex.reply->payload), c.block);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, DeviceFault, ::testing::ValuesIn(CASES),
                         [](const auto& info) { return std::string(info.param.name); });

class DeviceFaultEffect : public LinkFixture {
protected:
    SimDevice device{SimDeviceKind::Input8, ADDRESS, {1, 2, 3, 4}};

    void SetUp() override
    {
        LinkFixture::SetUp();
        bus.Attach(device);
    }
};

TEST_F(DeviceFaultEffect, UnacknowledgedBlockIsNotStored)
{
    device.SetFaults(NoAck(CONFIG_BLOCK_WRITE, 6));
    for (uint16_t b = 0; b < 15; ++b) {
        ConfigBlock block;
        block.number = b;
        block.data.fill(0x11);
        EXPECT_EQ(WriteBlock(ADDRESS, block).acked, b != 6) << "block " << b;
    }

    for (size_t i = 0; i < device.Memory().size(); ++i) {
        const bool inBlock6 = i / CONFIG_BLOCK_BYTES == 6;
        ASSERT_EQ(device.Memory()[i], inBlock6 ? 0 : 0x11) << "byte " << i;
    }
}

TEST_F(DeviceFaultEffect, BootLoaderStopsAcknowledgingFromABlockOn)
{
    device.SetFaults(NoAck(FIRMWARE_BLOCK, {}, 10));
    ASSERT_TRUE(Ask(RUN_BOOT, ADDRESS).acked);
    const uint8_t data[FIRMWARE_BLOCK_BYTES] = {};
    int acked = 0;
    for (uint16_t b = 0; b < 20; ++b) {
        const auto payload = EncodeFirmwareBlock(b, data);
        if (!Ask(FIRMWARE_BLOCK, ADDRESS, {payload.begin(), payload.end()}).acked)
            break;
        ++acked;
    }

    EXPECT_EQ(acked, 10);
    EXPECT_EQ(device.FirmwareBlocks().size(), 10u);
}

TEST_F(DeviceFaultEffect, UnacknowledgedRunBootLeavesTheFirmwareRunning)
{
    device.SetFaults(NoAck(RUN_BOOT));

    EXPECT_FALSE(Ask(RUN_BOOT, ADDRESS).acked);
    EXPECT_EQ(device.Mode(), SimDeviceMode::Firmware);
}

TEST_F(DeviceFaultEffect, DamagedCrcIsLoggedByAVerboseRead)
{
    device.Faults().damageCrc = true;
    Send(MODULE_INFO_REQUEST, ADDRESS, {0x00});
    ASSERT_TRUE(WaitForAck());

    const std::vector<BusReply> replies = CollectReplies();

    EXPECT_TRUE(replies.empty());
    EXPECT_TRUE(log.Contains(" CRC Failed: "));
}

}  // namespace
}  // namespace orv::test
