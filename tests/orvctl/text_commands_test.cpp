// The commands that need no bus (show, decode, help) and the command-line
// and file errors that end a run before the bus is touched.
#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>

#include "config/input8_files.h"
#include "config/rs232_files.h"
#include "tests/orvctl/orvctl_rig.h"
#include "tests/support/sim_bus_rig.h"

namespace orv::test {
namespace {

class TextCommandsTest : public ::testing::Test, public VirtualServices {
protected:
    TempFolder folder;
    bool busMade = false;
    BusFactory factory = [this](const BusChoice&) -> std::unique_ptr<BusAccess> {
        busMade = true;
        return OpenChosenBus(BusChoice{true, {}});
    };

    CliResult Run(std::vector<std::string> args, const std::string& input = {})
    {
        return RunCli(args, factory, input);
    }
};

TEST_F(TextCommandsTest, ShowPrintsAnExportedInput8FileOneLinePerRow)
{
    Input8Config config;
    config.name = "Hall \"East\"";
    config.rows[0] = InputRow{2, ChangeType::Open, 5, ACTION_SEND_STRING, EncodeParameters(10, {{12}, {}, ""})};
    config.rows[1] = InputRow{0, ChangeType::Close, 9, ACTION_RELAY_ENERGIZE, EncodeParameters(14, {{3}, {}, ""})};
    config.rows[2] = InputRow{7, ChangeType::Change, 7, ACTION_SET_LED_AUTOMODE,
                              EncodeParameters(13, {{2}, {"100", "5"}, ""})};
    config.rows[3] = InputRow{1, ChangeType::Open, 0, ACTION_UNUSED, EncodeParameters(0, {{}, {}, "abc"})};
    config.rows[4] = InputRow{1, ChangeType::Open, 12, 99, {1, 2, 3, 4, 5, 6, 7, 8}};
    prompts.fileAnswers.push_back(folder / "hall.bin");
    ASSERT_TRUE(ExportInput8Config(config, prompts, log));

    const CliResult result = Run({"show", folder / "hall.bin"});
    ASSERT_EQ(result.status, EXIT_OK) << ::testing::PrintToString(result);
    std::string expected =
        "Input8 \"Hall \\\"East\\\"\"\n"
        "row  1  input 3  Open    to 5          Send String         params 12\n"
        "row  2  input 1  Close   to 9          Relay Energize      params 3\n"
        "row  3  input 8  Change  to 7          Set LED Automode    params 2 100 5\n"
        "row  4  input 2  Open    to Unused     Unused              text \"abc\"\n"
        "row  5  input 2  Open    to 12         action 99           bytes 01 02 03 04 05 06 07 08\n";
    for (int r = 6; r <= 32; ++r)
        expected += StrF("row %2d  input 1  Change  to Unused     Unused\n", r);
    EXPECT_EQ(result.out, expected);
    EXPECT_FALSE(busMade);
}

TEST_F(TextCommandsTest, ShowPrintsAnExportedRS232FileOneLinePerRow)
{
    RS232Config config;
    config.name = "Gate";
    config.baudRate = 115200;
    RS232Row relay;
    relay.text = "OPEN";
    relay.destination = 9;
    relay.action = ACTION_RELAY_ENERGIZE;
    relay.spinValues = {4};
    RS232Row hex;
    hex.text = "02 FE A1";
    hex.type = StringType::Hex;
    hex.command = "AT+RST";
    RS232Row led;
    led.text = "DIM";
    led.destination = 7;
    led.action = ACTION_SET_1_LED_LEVEL;
    led.spinValues = {2, 200};
    RS232Row broadcast;
    broadcast.text = "ALL";
    broadcast.destination = DEST_BROADCAST;
    broadcast.command = "X";
    // Strings that differ only in a trailing blank print differently.
    RS232Row at;
    at.text = "AT";
    RS232Row atBlank;
    atBlank.text = "AT ";
    config.rows = {relay, hex, led, broadcast, at, atBlank};
    prompts.fileAnswers.push_back(folder / "gate.bin");
    ASSERT_TRUE(ExportRS232Config(config, services));

    const CliResult result = Run({"show", folder / "gate.bin"});
    ASSERT_EQ(result.status, EXIT_OK) << ::testing::PrintToString(result);
    EXPECT_EQ(result.out,
              "RS232 \"Gate\"  rate 115200\n"
              "row  1  ascii \"OPEN\"              to 9          Relay Energize      params 4\n"
              "row  2  hex \"02 FE A1\"            to Unused     Unused              command \"AT+RST\"\n"
              "row  3  ascii \"DIM\"               to 7          Set 1 LED Level     params 2 200\n"
              "row  4  ascii \"ALL\"               to Broadcast  Unused              command \"X\"\n"
              "row  5  ascii \"AT\"                to Unused     Unused\n"
              "row  6  ascii \"AT \"               to Unused     Unused\n");
}

TEST_F(TextCommandsTest, DecodeNamesEachFrameAndReportsWhatIsNoFrame)
{
    const CliResult worked = Run({"decode"}, "87 7F 00 04 00 00 17 63 21 8E\n87 05 00 03\n00 6D 56 20 8E\n");
    EXPECT_EQ(worked.status, EXIT_OK);
    EXPECT_EQ(worked.out,
              "frame  to 255  from 0  MODULE_INFO_REQUEST  payload 00  crc good\n"
              "frame  to 5  from 0  RUN_BOOT  payload -  crc good\n");

    // Garbage before and between frames, a damaged CRC, an acknowledgement, a
    // frame cut by a start marker, a body that fits no message, an end cut off.
    const CliResult noisy = Run({"decode"},
                                "55AA 87 05 00 03 00 6D 57 20 8E 00 FF 87 7F 00 87 05 00 03 00 6D 56 20 8E\n"
                                "87 01 02 03 04 05 06 07 08 09 8E 87 01");
    EXPECT_EQ(noisy.status, EXIT_OK);
    EXPECT_EQ(noisy.out,
              "garbage  55 AA  (2 bytes)\n"
              "frame  to 5  from 0  RUN_BOOT  payload -  crc bad\n"
              "ack\n"
              "garbage  FF  (1 byte)\n"
              "broken frame  87 7F 00  (cut by 87)\n"
              "frame  to 5  from 0  RUN_BOOT  payload -  crc good\n"
              "broken frame  87 01 02 03 04 05 06 07 08 09 8E  (a body of 9 bytes fits no message)\n"
              "unfinished frame  87 01\n");

    const CliResult notHex = Run({"decode"}, "87 7F\n0G");
    EXPECT_EQ(notHex.status, EXIT_FILE);
    EXPECT_EQ(notHex.err, "orvctl: decode: line 2: 'G' is no hexadecimal digit\n");
    EXPECT_EQ(Run({"decode"}, "87 7").status, EXIT_FILE);
}

// Standard input that, before it gives more than its first line, notes what
// had been printed by then.
class WatchingInput final : public std::streambuf {
public:
    WatchingInput(std::string first, const std::ostringstream& out) : first_(std::move(first)), out_(out) {}
    std::string printedAfterFirstLine;

protected:
    int_type underflow() override
    {
        if (given_)
            return traits_type::eof();
        given_ = true;
        printedAfterFirstLine = out_.str();
        setg(rest_.data(), rest_.data(), rest_.data() + rest_.size());
        return traits_type::to_int_type(rest_[0]);
    }
    std::streamsize showmanyc() override { return 0; }

public:
    void Start() { setg(first_.data(), first_.data(), first_.data() + first_.size()); }

private:
    std::string first_;
    std::string rest_ = "87 05 00 03 00 6D 56 20 8E\n";
    const std::ostringstream& out_;
    bool given_ = false;
};

TEST_F(TextCommandsTest, DecodeWorksAsItReadsAndBoundsWhatOneLineMayHold)
{
    std::ostringstream out;
    std::ostringstream err;
    WatchingInput input("87 7F 00 04 00 00 17 63 21 8E\n", out);
    input.Start();
    std::istream in(&input);
    Terminal terminal{in, out, err, false};
    EXPECT_EQ(RunOrvctl({"decode"}, terminal, factory), EXIT_OK);
    EXPECT_EQ(input.printedAfterFirstLine, "frame  to 255  from 0  MODULE_INFO_REQUEST  payload 00  crc good\n");
    EXPECT_EQ(out.str(), input.printedAfterFirstLine + "frame  to 5  from 0  RUN_BOOT  payload -  crc good\n");

    const CliResult zeros = Run({"decode"}, std::string(100000, '\0'));
    EXPECT_EQ(zeros.status, EXIT_FILE);
    EXPECT_EQ(zeros.err, "orvctl: decode: line 1 is longer than 4096 characters\n");
    const CliResult control = Run({"decode"}, "87 \x1B]0;owned\x07");
    EXPECT_EQ(control.err, "orvctl: decode: line 1: '\\x1B' is no hexadecimal digit\n");

    const CliResult endless = Run({"decode"}, "00\n" + std::string(5000, '5'));
    EXPECT_EQ(endless.status, EXIT_FILE);
    EXPECT_EQ(endless.out, "ack\n");
    EXPECT_EQ(endless.err, "orvctl: decode: line 2 is longer than 4096 characters\n");

#ifndef _WIN32
    // Standard input a folder: a read that fails is no end of the input. (Windows opens no
    // folder as a stream at all, and its shell refuses one as standard input.)
    std::ifstream folder(std::filesystem::temp_directory_path());
    std::ostringstream folderErr;
    Terminal fromFolder{folder, out, folderErr, false};
    EXPECT_EQ(RunOrvctl({"decode"}, fromFolder, factory), EXIT_FILE);
    EXPECT_EQ(folderErr.str().rfind("orvctl: decode: cannot read the standard input", 0), 0u) << folderErr.str();
#endif

    // Noise goes out in lines of 64 bytes; a frame longer than any message
    // shows its first 82 bytes.
    std::string noise;
    for (int i = 0; i < 130; ++i)
        noise += "55 ";
    std::string longFrame = "87";
    for (int i = 0; i < 200; ++i)
        longFrame += " 01";
    const CliResult runs = Run({"decode"}, noise + "\n" + longFrame + " 8E\n");
    const std::string row64 = [] {
        std::string row = "55";
        for (int i = 1; i < 64; ++i)
            row += " 55";
        return row;
    }();
    std::string shownFrame = "87";
    for (int i = 1; i < 82; ++i)
        shownFrame += " 01";
    EXPECT_EQ(runs.out, "garbage  " + row64 + "  (64 bytes)\n" + "garbage  " + row64 + "  (64 bytes)\n" +
                            "garbage  55 55  (2 bytes)\n" + "broken frame  " + shownFrame +
                            " ...  (a body of 200 bytes fits no message)\n");
}

TEST_F(TextCommandsTest, WrongCommandLinesAndFilesEndTheRunBeforeTheBus)
{
    WriteBytes(folder / "454.bin", std::vector<uint8_t>(454));
    WriteBytes(folder / "empty.bin", {});
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {{}, EXIT_USAGE, "Usage: orvctl"},
        {{"frobnicate"}, EXIT_USAGE, "orvctl: frobnicate: no such command"},
        {{"discover", "--bogus"}, EXIT_USAGE, "unknown option --bogus"},
        {{"discover", "--emergency"}, EXIT_USAGE, "discover takes no --emergency"},
        {{"--sim", "--port", "/dev/null", "discover"}, EXIT_USAGE, "--sim and --port exclude each other"},
        {{"discover", "--port"}, EXIT_USAGE, "--port needs a value"},
        {{"read-config", "3"}, EXIT_USAGE, "-o FILE is missing"},
        {{"read-config", "255", "-o", "x.bin"}, EXIT_USAGE, "ADDR must be a bus address from 0 to 254, not '255'"},
        {{"set-address", "3", "0"}, EXIT_USAGE, "NEW must be a bus address from 1 to 254, not '0'"},
        {{"test-string", "5", "11"}, EXIT_USAGE, "ROW must be a row from 1 to 10, not '11'"},
        {{"boot", "3", "4"}, EXIT_USAGE, "too many arguments: 4"},
        {{"firmware", "--emergency", "3", "f.bin"}, EXIT_USAGE, "--emergency takes FILE only"},
        {{"show", folder / "none.bin"}, EXIT_FILE, "none.bin does not exist"},
        {{"show", folder / "454.bin"}, EXIT_FILE,
         "454.bin is 454 bytes long: an Input8 file is 453 bytes long, an RS232 file 4064 bytes"},
        {{"write-config", "3", folder / "454.bin"}, EXIT_FILE, "454.bin is 454 bytes long"},
        {{"firmware", "3", folder / "empty.bin"}, EXIT_FILE, "empty.bin is empty"},
        {{"firmware", "3", folder / "none.bin"}, EXIT_FILE, "none.bin does not exist"},
        {{"backup", "/proc/orvctl"}, EXIT_FILE, "cannot make the folder /proc/orvctl"},
    };
    for (const Case& c : cases) {
        const CliResult result = Run(c.args);
        EXPECT_EQ(result.status, c.status) << ::testing::PrintToString(c.args);
        EXPECT_NE(result.err.find(c.err), std::string::npos) << ::testing::PrintToString(result);
        EXPECT_TRUE(result.out.empty()) << ::testing::PrintToString(c.args);
    }
    EXPECT_FALSE(busMade);
}

TEST_F(TextCommandsTest, HelpForTheProgramAndEachCommand)
{
    const CliResult program = Run({"--help"});
    EXPECT_EQ(program.status, EXIT_OK);
    for (const char* command : {"discover", "read-config", "write-config", "backup", "restore", "set-address",
                                "firmware", "boot", "run", "test-string", "show", "decode"}) {
        EXPECT_NE(program.out.find(std::string("\n  ") + command), std::string::npos) << command;
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{command, "--help"}, std::vector<std::string>{"help", command}}) {
            const CliResult help = Run(args);
            EXPECT_EQ(help.status, EXIT_OK) << command;
            EXPECT_EQ(help.out.rfind(std::string("Usage: orvctl [INTERFACE] [-v] [-q] ") + command, 0), 0u)
                << help.out;
        }
    }
    EXPECT_NE(program.out.find("Exit status: 0 success, 1 the bus or a device failed, 2 usage error, 3 file error, "
                               "130 stopped by\nCtrl+C."),
              std::string::npos);
    EXPECT_FALSE(busMade);
}

}  // namespace
}  // namespace orv::test
