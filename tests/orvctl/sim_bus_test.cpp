// orvctl on one demonstration bus in virtual time that lives across runs, as
// --sim's would if it were kept: backup, new addresses, restore; shared
// addresses; a save whose read-back is damaged.
#include <gtest/gtest.h>

#include <algorithm>

#include "config/config_kind.h"
#include "config/rs232_build.h"
#include "model/input8_image.h"
#include "model/rs232_image.h"
#include "sim/demo_bus.h"
#include "sim/sim_device.h"
#include "tests/orvctl/demo_bus_cli.h"

namespace orv::test {
namespace {

class SimBusCliTest : public DemoBusCliTest {
protected:
    SimDevice& Input8() { return Device(SimDeviceKind::Input8); }
    SimDevice& RS232() { return Device(SimDeviceKind::RS232); }

    CliResult Run(std::vector<std::string> args) { return RunCli(args, factory); }

    static Input8Config Input8Sample()
    {
        Input8Config config;
        config.name = "Hall";
        config.rows[0] = InputRow{2, ChangeType::Open, 5, ACTION_SEND_STRING, EncodeParameters(10, {{12}, {}, ""})};
        config.rows[1] = InputRow{0, ChangeType::Close, 9, ACTION_RELAY_ENERGIZE, EncodeParameters(14, {{3}, {}, ""})};
        return config;
    }

    std::vector<uint8_t> RS232DeviceForm()
    {
        RS232Config config;
        config.name = "Gate";
        config.baudRate = 19200;
        RS232Row row;
        row.text = "OPEN";
        row.destination = 9;
        row.action = ACTION_RELAY_DEENERGIZE;
        row.spinValues = {2};
        config.rows = {row};
        const auto built = BuildRS232Image(config, std::nullopt, false, services);
        std::vector<uint8_t> image(built->buffer.begin(), built->buffer.begin() + long(built->length));
        std::swap(image[image.size() - 2], image[image.size() - 1]);
        return image;
    }

    static std::vector<uint8_t> Head(const std::vector<uint8_t>& memory, size_t count)
    {
        return std::vector<uint8_t>(memory.begin(), memory.begin() + long(count));
    }
};

TEST_F(SimBusCliTest, BackupThenRestoreFollowsSerialNumbersToNewAddresses)
{
    const std::vector<uint8_t> input8 = EncodeInput8Image(Input8Sample(), ImageForm::Device);
    const std::vector<uint8_t> rs232 = RS232DeviceForm();
    Input8().LoadMemory(input8);
    RS232().LoadMemory(rs232);

    const CliResult backup = Run({"backup", folder / "bus"});
    ASSERT_EQ(backup.status, EXIT_OK) << ::testing::PrintToString(backup);
    EXPECT_EQ(ReadBytes(folder / "bus/input8-21001031.bin"), EncodeInput8Image(Input8Sample(), ImageForm::File));
    std::vector<uint8_t> rs232File = rs232;
    std::swap(rs232File[rs232.size() - 2], rs232File[rs232.size() - 1]);
    rs232File.resize(4064, 0);
    EXPECT_EQ(ReadBytes(folder / "bus/rs232-21002052.bin"), rs232File);
    // The unconfigured Input8 at 12 has nothing to keep.
    EXPECT_FALSE(std::filesystem::exists(folder / "bus/input8-21001112.bin"));
    const std::vector<uint8_t> manifest = ReadBytes(folder / "bus/manifest.json");
    const std::string text(manifest.begin(), manifest.end());
    EXPECT_NE(text.find("{\"address\": 3, \"name\": \"ORV-Input8\", \"serial\": \"21 00 10 31\", \"firmware\": "
                        "\"1.20\", \"configured\": true, \"file\": \"input8-21001031.bin\"}"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"address\": 9, \"name\": \"ORV-Relay\", \"serial\": \"21 00 40 94\", \"firmware\": \"1.2\", "
                        "\"configured\": true, \"file\": null"),
              std::string::npos)
        << text;

    // Both devices move, and lose what they held.
    EXPECT_EQ(Run({"set-address", "3", "40"}).out, "ORV-Input8 (21 00 10 31): address 3 -> 40\n");
    // The Input8's row 1 points to 5: the move leaves it pointing at nothing.
    EXPECT_EQ(Run({"set-address", "5", "41", "--force"}).status, EXIT_OK);
    ASSERT_EQ(Input8().Address(), 40);
    ASSERT_EQ(RS232().Address(), 41);
    Input8().LoadMemory({});
    RS232().LoadMemory({});

    const CliResult restore = Run({"restore", folder / "bus"});
    ASSERT_EQ(restore.status, EXIT_OK) << ::testing::PrintToString(restore);
    // The comparison comes first, then what was written.
    EXPECT_TRUE(restore.out.ends_with("input8-21001031.bin -> ORV-Input8 (21 00 10 31) at address 40\n"
                                      "rs232-21002052.bin -> ORV-RS232 (21 00 20 52) at address 41\n"
                                      "2 of 2 configuration(s) restored\n"))
        << restore.out;
    EXPECT_EQ(Input8().Memory(), input8);
    EXPECT_EQ(Head(RS232().Memory(), rs232.size()), rs232);

    // A device missing on the bus is reported, the others restored all the same.
    demo.Bus().Detach(RS232());
    Input8().LoadMemory({});
    const CliResult partial = Run({"restore", folder / "bus"});
    EXPECT_EQ(partial.status, EXIT_BUS);
    EXPECT_EQ(partial.err, "orvctl: restore: rs232-21002052.bin: no device with its kind and serial number answers on "
                           "the bus\n");
    EXPECT_EQ(Input8().Memory(), input8);
}

// Two Input8 devices that carry one serial number: each keeps a file of its
// own, named by its address too, and each file goes back to its device.
TEST_F(SimBusCliTest, ARepeatedSerialNumberIsBackedUpIntoFilesNamedByAddress)
{
    SimDevice twin(SimDeviceKind::Input8, 30, Input8().Info().serial);
    demo.Bus().Attach(twin);
    const std::vector<uint8_t> first = EncodeInput8Image(Input8Sample(), ImageForm::Device);
    Input8Config other = Input8Sample();
    other.name = "Other";
    const std::vector<uint8_t> second = EncodeInput8Image(other, ImageForm::Device);
    Input8().LoadMemory(first);
    twin.LoadMemory(second);

    const CliResult backup = Run({"backup", folder / "bus"});
    ASSERT_EQ(backup.status, EXIT_OK) << ::testing::PrintToString(backup);
    EXPECT_NE(backup.out.find("ORV-Input8 (21 00 10 31) at address 3 -> input8-21001031-at3.bin  (another device has "
                              "its serial number: the address is in the name)\n"),
              std::string::npos)
        << backup.out;
    EXPECT_EQ(ReadBytes(folder / "bus/input8-21001031-at3.bin"), EncodeInput8Image(Input8Sample(), ImageForm::File));
    EXPECT_EQ(ReadBytes(folder / "bus/input8-21001031-at30.bin"), EncodeInput8Image(other, ImageForm::File));
    EXPECT_FALSE(std::filesystem::exists(folder / "bus/input8-21001031.bin"));

    Input8().LoadMemory({});
    twin.LoadMemory({});
    const CliResult restore = Run({"restore", folder / "bus"});
    EXPECT_NE(restore.out.find("input8-21001031-at30.bin -> ORV-Input8 (21 00 10 31) at address 30\n"),
              std::string::npos)
        << ::testing::PrintToString(restore);
    EXPECT_EQ(Input8().Memory(), first);
    EXPECT_EQ(twin.Memory(), second);
    demo.Bus().Detach(twin);
}

// A name that would set the terminal's title is shown with its control
// characters escaped.
TEST_F(SimBusCliTest, ControlCharactersOfADeviceNameAreShownEscaped)
{
    Device(SimDeviceKind::Relay).Info().name = "\x1B]0;owned\x07\x1B";
    const CliResult found = Run({"discover"});
    EXPECT_NE(found.out.find("  9  \\x1B]0;owned\\x07\\x1B  21 00 40 94"), std::string::npos) << found.out;
    EXPECT_EQ(found.out.find('\x1B'), std::string::npos);
    const CliResult boot = Run({"-v", "boot", "9"});
    EXPECT_NE(boot.out.find("\\x1B]0;owned\\x07\\x1B (21 00 40 94) at address 9"), std::string::npos) << boot.out;
    EXPECT_EQ(boot.out.find('\x1B'), std::string::npos);
    EXPECT_EQ(boot.err.find('\x1B'), std::string::npos) << boot.err;
}

TEST_F(SimBusCliTest, RestoreWritesNothingWhenAFileIsRefused)
{
    ASSERT_EQ(Run({"backup", folder / "bus"}).status, EXIT_OK);
    WriteBytes(folder / "bus/rs232-21002052.bin", std::vector<uint8_t>(4063));
    Input8().LoadMemory({});
    demo.Bus().ClearHeard();

    const CliResult restore = Run({"restore", folder / "bus"});
    EXPECT_EQ(restore.status, EXIT_FILE);
    EXPECT_NE(restore.err.find("rs232-21002052.bin is 4063 bytes long"), std::string::npos) << restore.err;
    EXPECT_TRUE(demo.Bus().Heard().empty());
    EXPECT_EQ(Input8().Memory(), std::vector<uint8_t>(453, 0));

    EXPECT_EQ(Run({"restore", folder / "none"}).status, EXIT_FILE);
}

TEST_F(SimBusCliTest, SharedAddressesAreReportedAndOnlyResolvedWhenAskedTo)
{
    SimDevice twin(SimDeviceKind::Relay, 9, {0x01, 0x02, 0x03, 0x04});
    demo.Bus().Attach(twin);

    const CliResult found = Run({"discover"});
    EXPECT_EQ(found.status, EXIT_OK);
    EXPECT_NE(found.out.find("  9  ORV-Relay    21 00 40 94  1.2    configured  shared address\n"), std::string::npos)
        << found.out;
    EXPECT_NE(found.out.find("  9  ORV-Relay    04 03 02 01  1.0    configured  shared address\n"), std::string::npos)
        << found.out;
    EXPECT_EQ(found.err, "orvctl: discover: address 9 is shared by 2 devices; not resolved (--resolve gives each its "
                         "own address)\n");
    EXPECT_EQ(twin.Address(), 9);

    demo.Bus().ClearHeard();
    const CliResult boot = Run({"boot", "9"});
    EXPECT_EQ(boot.status, EXIT_BUS);
    EXPECT_NE(boot.err.find("address 9 is shared by 2 devices; nothing is sent to it"), std::string::npos);
    for (const HeardFrame& frame : demo.Bus().Heard())
        EXPECT_EQ(frame.command, MODULE_INFO_REQUEST);

    const CliResult resolved = Run({"discover", "--json", "--resolve"});
    EXPECT_EQ(resolved.status, EXIT_OK);
    EXPECT_TRUE(resolved.err.empty()) << resolved.err;
    EXPECT_EQ(resolved.out.find("\"shared\": true"), std::string::npos) << resolved.out;
    EXPECT_NE(twin.Address(), Device(SimDeviceKind::Relay).Address());
}

TEST_F(SimBusCliTest, ASaveWhoseReadBackIsDamagedFails)
{
    const std::string file = folder / "hall.bin";
    WriteBytes(file, EncodeInput8Image(Input8Sample(), ImageForm::File));
    Input8().Faults().replyFaultBlock = 1;  // image bytes 32 to 63: the first two rows
    Input8().Faults().replyLength = 20;

    const CliResult result = Run({"write-config", "3", file});
    EXPECT_EQ(result.status, EXIT_BUS);
    EXPECT_EQ(result.err, "orvctl: write-config: the read-back from ORV-Input8 (21 00 10 31) at address 3 is damaged "
                          "(its layout or its CRC does not check)\n");
    EXPECT_TRUE(result.out.empty());
}

TEST_F(SimBusCliTest, FirmwareModesAndTestStringsReachTheirDevice)
{
    SimDevice& relay = Device(SimDeviceKind::Relay);
    std::vector<uint8_t> firmware(70);
    for (size_t i = 0; i < firmware.size(); ++i)
        firmware[i] = uint8_t(i * 3);
    WriteBytes(folder / "relay.bin", firmware);

    const CliResult update = Run({"firmware", "9", folder / "relay.bin"});
    ASSERT_EQ(update.status, EXIT_OK) << ::testing::PrintToString(update);
    EXPECT_EQ(update.out, "ORV-Relay (21 00 40 94) at address 9: firmware from " + (folder / "relay.bin") +
                              " sent in 3 blocks and started\n");
    EXPECT_EQ(Head(relay.AssembledFirmware(), firmware.size()), firmware);
    EXPECT_EQ(relay.Mode(), SimDeviceMode::Firmware);

    const CliResult emergency = Run({"firmware", "--emergency", folder / "relay.bin"});
    EXPECT_EQ(emergency.status, EXIT_BUS);
    EXPECT_EQ(emergency.err, "orvctl: firmware: more than one device answered; an emergency update needs exactly "
                             "one device on the bus\n");

    EXPECT_EQ(Run({"boot", "9"}).out, "ORV-Relay (21 00 40 94) at address 9: boot loader started\n");
    EXPECT_EQ(relay.Mode(), SimDeviceMode::BootLoader);
    EXPECT_EQ(Run({"run", "9"}).out, "ORV-Relay (21 00 40 94) at address 9: firmware started\n");
    EXPECT_EQ(relay.Mode(), SimDeviceMode::Firmware);

    EXPECT_EQ(Run({"test-string", "5", "3"}).status, EXIT_OK);
    EXPECT_EQ(RS232().OutputStrings(), (std::vector<std::vector<uint8_t>>{{'2'}}));
    const CliResult notRS232 = Run({"test-string", "9", "1"});
    EXPECT_EQ(notRS232.status, EXIT_USAGE);
    EXPECT_EQ(Run({"read-config", "9", "-o", folder / "relay.cfg"}).status, EXIT_USAGE);
    EXPECT_EQ(Run({"boot", "60"}).err, "orvctl: boot: no device answers at address 60\n");

    relay.Faults().noAckCommand = RUN_BOOT;
    EXPECT_EQ(Run({"boot", "9"}).err,
              "orvctl: boot: ORV-Relay (21 00 40 94) at address 9 did not acknowledge RUN_BOOT\n");
    const CliResult failed = Run({"firmware", "9", folder / "relay.bin"});
    EXPECT_EQ(failed.status, EXIT_BUS);
    EXPECT_EQ(failed.err, "orvctl: firmware: ORV-Relay (21 00 40 94) at address 9: the device did not acknowledge "
                          "RUN_BOOT; nothing was sent\n");
}

// An emergency update with no device on the bus says so, also when a stray
// byte passed for RUN_BOOT's acknowledgement: no device is said to be left in
// its boot loader.
TEST_F(SimBusCliTest, AnEmergencyUpdateWithoutADeviceSaysNoDeviceAnswered)
{
    WriteBytes(folder / "relay.bin", std::vector<uint8_t>(70, 0x5A));
    for (const auto& device : demo.Devices())
        demo.Bus().Detach(*device);
    FunctionResponder ackOfRunBoot([](const HeardFrame& frame, SimReplyWriter& out) {
        if (frame.command == RUN_BOOT)
            out.Ack();
    });
    for (const bool strayAck : {false, true}) {
        SCOPED_TRACE(strayAck ? "a stray acknowledgement of RUN_BOOT" : "a silent bus");
        if (strayAck)
            demo.Bus().Attach(ackOfRunBoot);
        const CliResult result = Run({"firmware", "--emergency", folder / "relay.bin"});
        EXPECT_EQ(result.status, EXIT_BUS);
        EXPECT_EQ(result.err, "orvctl: firmware: no device answered on the bus (neither the count of devices nor the "
                              "update); no device is known to be in its boot loader\n");
    }
}

// A line that carries bytes which are no answer is named as the line, not
// as a bus without devices.
TEST_F(SimBusCliTest, NoiseOnTheLineIsNamedWhenNoDeviceAnswers)
{
    for (const auto& device : demo.Devices())
        demo.Bus().Detach(*device);
    const CliResult silent = Run({"discover"});
    EXPECT_EQ(silent.status, EXIT_BUS);
    EXPECT_EQ(silent.err, "orvctl: discover: no device answered on the bus\n");

    FunctionResponder noise([](const HeardFrame&, SimReplyWriter& out) { out.Raw({0x5A}); });
    demo.Bus().Attach(noise);
    const CliResult noisy = Run({"discover"});
    EXPECT_EQ(noisy.status, EXIT_BUS);
    EXPECT_TRUE(noisy.err.starts_with("orvctl: discover: no device answered on the bus, but "));
    EXPECT_NE(noisy.err.find(" byte(s) came that were no acknowledgement and no frame: noise on the line"),
              std::string::npos)
        << noisy.err;
}

// A write cut part-way says what the device may now hold and how to write it again.
TEST_F(SimBusCliTest, AWriteCutPartWaySaysHowToWriteItAgain)
{
    const std::string file = folder / "hall.bin";
    WriteBytes(file, EncodeInput8Image(Input8Sample(), ImageForm::File));
    // The quick discovery and block 1 go out; the line goes with block 2.
    demo.Bus().LoseLineAtWrite(3);
    const CliResult result = Run({"write-config", "3", file});
    EXPECT_EQ(result.status, EXIT_BUS);
    EXPECT_EQ(result.err, "orvctl: write-config: the ORV-NET was disconnected while block 2 of 15 was being written; "
                          "ORV-Input8 (21 00 10 31) at address 3 may now hold an incomplete configuration; to write it "
                          "again: orvctl write-config 3 " + file + "\n");
    EXPECT_TRUE(result.out.empty());
}

// An update cut after RUN_BOOT says where the device stands and how to finish.
TEST_F(SimBusCliTest, ACutFirmwareUpdateSaysTheDeviceIsLeftInItsBootLoader)
{
    SimDevice& relay = Device(SimDeviceKind::Relay);
    WriteBytes(folder / "relay.bin", std::vector<uint8_t>(70, 0x5A));
    const std::string path = folder / "relay.bin";
    const std::string finish = "the device at address 9 is left in its boot loader: run orvctl firmware 9 " + path +
                               " again to finish (orvctl firmware --emergency " + path +
                               ", with only this device on the bus, if it no longer answers at 9)\n";
    struct Case {
        const char* name;
        bool loseLine;  // else the device stops acknowledging at the second block
        std::string err;
    };
    const Case cases[] = {
        {"unacknowledged block", false,
         "orvctl: firmware: ORV-Relay (21 00 40 94) at address 9: the device stopped acknowledging FIRMWARE_BLOCKs; "
         "the update is incomplete; " + finish},
        // The quick discovery, RUN_BOOT and the first block go out; the line goes with the second.
        {"lost interface", true,
         "orvctl: firmware: the ORV-NET was disconnected while firmware block 2 of 3 was being sent to the device at "
         "address 9; " + finish},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimDeviceFaults faults;
        if (c.loseLine) {
            demo.Bus().LoseLineAtWrite(4);
        } else {
            faults.noAckCommand = FIRMWARE_BLOCK;
            faults.noAckFromBlock = 1;
        }
        relay.SetFaults(faults);
        const CliResult result = Run({"firmware", "9", path});
        EXPECT_EQ(result.status, EXIT_BUS);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(relay.Mode(), SimDeviceMode::BootLoader);
        relay.SetFaults({});
        EXPECT_EQ(Run({"run", "9"}).status, EXIT_OK);
    }
}

TEST_F(SimBusCliTest, ProgressIsABarOnATerminalAndTheLogGoesToStandardErrorWithV)
{
    const CliResult onTerminal = RunCli({"read-config", "5", "-o", folder / "gate.bin"}, factory, {}, true);
    ASSERT_EQ(onTerminal.status, EXIT_OK);
    const std::string clear = "\r\033[K";
    EXPECT_NE(onTerminal.err.find(clear + "Reading RS232 Configuration [..............................] 0%"),
              std::string::npos);
    EXPECT_NE(onTerminal.err.find(clear + "Reading RS232 Configuration [##############################] 100%"),
              std::string::npos);
    // Each bar is cleared before anything else is written.
    EXPECT_EQ(onTerminal.err.substr(onTerminal.err.size() - clear.size()), clear);

    EXPECT_TRUE(RunCli({"-q", "read-config", "5", "-o", folder / "gate.bin"}, factory, {}, true).err.empty());
    EXPECT_TRUE(Run({"read-config", "5", "-o", folder / "gate.bin"}).err.empty());

    const CliResult verbose = Run({"-v", "read-config", "5", "-o", folder / "gate.bin"});
    EXPECT_EQ(verbose.status, EXIT_OK);
    EXPECT_NE(verbose.err.find("\nMOD INFO Request SENT To Address: 255\n"), std::string::npos);
    EXPECT_NE(verbose.err.find("\nRead Config Block 127: ACK Received\n"), std::string::npos);
    EXPECT_NE(verbose.err.find("\nAll Data Received Perfect . CRC Clear\n"), std::string::npos);
}

}  // namespace
}  // namespace orv::test
