// Every operation that talks to the bus, with the interface pulled at one of
// its requests: the operation ends there with its own outcome, nothing more
// goes to the bus (no read-back), and one box says what was being done.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "config/input8_transfer.h"
#include "config/rs232_transfer.h"
#include "network/address_management.h"
#include "network/device_modes.h"
#include "network/discovery.h"
#include "network/firmware_update.h"
#include "tests/config/transfer_rig.h"

namespace orv::test {
namespace {

class NullView final : public NetworkView {
public:
    void ShowInstructions() override {}
    void ResetDeviceList() override {}
    void RefreshDeviceList() override {}
};

class InterfaceLost : public TransferRig {
protected:
    DeviceRegistry registry{log};
    NullView view;
    NetworkContext context{services, registry, view};

    void Select(const SimDevice& device)
    {
        DeviceRecord record;
        record.name = device.Info().name;
        record.serialNumber = device.Info().serial;
        record.address = device.Address();
        registry.Append(record);
        registry.Select(uint8_t(registry.Count() - 1));
    }

    // A firmware file of three full blocks.
    std::string FirmwareFile()
    {
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("orv_lost_fw_" + std::to_string(getpid()) + ".bin");
        std::ofstream(path, std::ios::binary) << std::string(96, 'F');
        return path.string();
    }
};

TEST_F(InterfaceLost, EveryOperationEndsAtTheLostRequestWithOneBox)
{
    const std::string incomplete = "The device may now hold an incomplete configuration";
    struct Case {
        const char* name;
        int lostAtWrite;  // 1: the operation's first request
        std::function<bool()> runLost;  // true when the operation reports the loss
        std::string step;
        std::string risk;
    };
    const Case cases[] = {
        {"Input8 save", 4,
         [this] {
             return SaveInput8Config(Input8Config{}, INPUT8_ADDRESS, services, [](const ReadOutcome&) {
                        ADD_FAILURE() << "a read-back was shown";
                    }) == WriteResult::InterfaceLost;
         },
         "block 4 of 15 was being written", incomplete},
        {"Input8 write names its first unacknowledged block", 4,
         [this] {
             const WriteOutcome outcome = WriteConfigImage(Input8TransferProfile(), INPUT8_ADDRESS,
                                                           PatternImage(453, 1), services);
             return outcome.result == WriteResult::InterfaceLost && outcome.unacknowledgedBlock == 3 &&
                    outcome.blockCount == 15;
         },
         "block 4 of 15 was being written", incomplete},
        {"Input8 read", 2,
         [this] {
             const ReadOutcome outcome = ReadConfigImage(Input8TransferProfile(), INPUT8_ADDRESS, services);
             return outcome.result == ReadResult::InterfaceLost && outcome.unansweredBlock == 1;
         },
         "block 2 of 15 was being read", ""},
        {"RS232 save", 1,
         [this] {
             RS232Config config;
             config.rows = {RS232Row{}};
             config.rows[0].text = "AT";
             return SaveRS232Config(config, RS232_ADDRESS, services).result == RS232SaveResult::InterfaceLost;
         },
         "block 1 of 3 was being written", incomplete},
        {"RS232 read", 5,
         [this] {
             return ReadRS232Config(RS232_ADDRESS, false, services).result == RS232ReadResult::InterfaceLost;
         },
         "block 5 of 128 was being read", ""},
        {"full discovery", 10,
         [this] {
             DiscoverDevices(context, 0);
             return BusInterfaceLost();
         },
         "address 9 was being asked for its module information", ""},
        {"quick discovery", 1,
         [this] {
             DiscoverDevices(context, BROADCAST_ADDRESS);
             return BusInterfaceLost();
         },
         "the devices were being asked for their module information", ""},
        {"boot mode", 1,
         [this] {
             Select(input8);
             return EnterBootMode(context) == ModeCommandOutcome::InterfaceLost;
         },
         "RUN_BOOT was being sent to ORV-Input8 at address 33", ""},
        {"firmware update", 3,
         [this] {
             Select(input8);
             prompts.fileAnswers.push_back(FirmwareFile());
             return UpdateFirmware(context, false) == FirmwareUpdateOutcome::InterfaceLost;
         },
         "firmware block 2 of 3 was being sent to the device at address 33",
         "The device may now hold incomplete firmware"},
        {"set address", 1,
         [this] {
             Select(rs232);
             return !ChangeDeviceAddress(context, 40) && BusInterfaceLost();
         },
         "ORV-RS232 at address 34 was being given address 40", ""},
        {"test string", 1,
         [this] { return !SendTestString(RS232_ADDRESS, 2, services) && BusInterfaceLost(); },
         "the string of row 3 was being sent to the ORV-RS232 at address 34", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(OpenLink());
        prompts.boxes.clear();
        bus.ClearHeard();
        registry.ClearDevices();
        bus.LoseLineAtWrite(c.lostAtWrite);

        EXPECT_TRUE(c.runLost());

        EXPECT_TRUE(BusInterfaceLost());
        EXPECT_EQ(bus.Heard().size(), size_t(c.lostAtWrite - 1));
        ASSERT_EQ(prompts.Captions(), std::vector<std::string>{INTERFACE_LOST_CAPTION});
        const std::string& text = prompts.boxes[0].text;
        EXPECT_NE(text.find("disconnected while " + c.step + ". "), std::string::npos) << text;
        if (c.risk.empty())
            EXPECT_EQ(text.find("may now hold"), std::string::npos) << text;
        else
            EXPECT_NE(text.find(c.risk), std::string::npos) << text;
    }
}

TEST_F(InterfaceLost, NothingIsSentOrAwaitedUntilTheInterfaceIsOpenedAgain)
{
    bus.LoseLineAtWrite(1);
    const ReadOutcome lost = ReadConfigImage(Input8TransferProfile(), INPUT8_ADDRESS, services);
    ASSERT_EQ(lost.result, ReadResult::InterfaceLost);

    // The next operation ends at once, and its loss has been told already.
    const uint64_t start = clock.NowMicros();
    prompts.boxes.clear();
    EXPECT_FALSE(SendRequest(BusRequest{MODULE_INFO_REQUEST, 255}));
    EXPECT_FALSE(WaitForAck());
    BusReply reply;
    EXPECT_FALSE(ReceiveReply(reply, 0));
    EXPECT_EQ(ReadConfigImage(Input8TransferProfile(), INPUT8_ADDRESS, services).result, ReadResult::InterfaceLost);
    EXPECT_EQ(clock.NowMicros(), start + 50000);  // the read's pause before its acknowledgement, nothing else
    EXPECT_TRUE(bus.Heard().empty());
    EXPECT_TRUE(prompts.boxes.empty());

    // The interface search once more: the line is back.
    EXPECT_TRUE(ReopenBusInterface());
    EXPECT_FALSE(BusInterfaceLost());
    EXPECT_EQ(ReadConfigImage(Input8TransferProfile(), INPUT8_ADDRESS, services).result, ReadResult::Intact);
}

}  // namespace
}  // namespace orv::test
