#include <gtest/gtest.h>

#include "config/rs232_transfer.h"
#include "model/image_crc.h"
#include "tests/support/rs232_fixture.h"

namespace orv::test {
namespace {

const std::pair<std::string, std::string> DAMAGED_BOX{
    "Warn Loading Data ",
    "Bad Coniguration read from ORV-RS232.\n \n This may happen if the config wasn't saved properly. Please try "
    "Saving again "};

class RS232TransferTest : public RS232BusFixture {
protected:
    // The device image of config: the built image with its CRC high byte first.
    std::vector<uint8_t> DeviceImage(const RS232Config& config)
    {
        const auto built = Build(config);
        std::vector<uint8_t> image(built.buffer.begin(), built.buffer.begin() + long(built.length));
        StoreImageCrc(image.data(), image.size());
        return image;
    }

    static RS232Config Sample()
    {
        RS232Config config;
        config.name = "Gate";
        config.baudRate = 19200;
        config.rows = {RelayRow("OPEN", 7, 2), HexRow("02 FE A1")};
        return config;
    }

    // A configuration whose image is longer than 192 bytes.
    static RS232Config Long()
    {
        RS232Config config = Sample();
        config.rows.push_back(AsciiRow(std::string(200, 'L')));
        return config;
    }

    bool DamagedBoxShown() const { return prompts.ShowedBox(DAMAGED_BOX.first, DAMAGED_BOX.second); }
};

TEST_F(RS232TransferTest, ReadShowsTheDeviceImage)
{
    rs232.LoadMemory(DeviceImage(Sample()));
    const RS232ReadOutcome read = ReadRS232Config(RS232_ADDRESS, false, services);
    EXPECT_EQ(read.result, RS232ReadResult::Shown);
    EXPECT_EQ(read.config.name, "Gate");
    EXPECT_EQ(read.config.baudRate, 19200u);
    ASSERT_EQ(read.config.rows.size(), 2u);
    EXPECT_EQ(read.config.rows[0].spinValues, std::vector<int>{2});
    EXPECT_EQ(read.config.rows[1].text, "02 FE A1 ");
    EXPECT_EQ(Heard(CONFIG_BLOCK_READ), 128u);
    EXPECT_TRUE(log.Contains("Debug: Rows for RS232: Input 2 ::: Strings 2 "));
    EXPECT_TRUE(log.Contains("All Data Received Perfect . CRC Clear "));
    ASSERT_EQ(prompts.progress.size(), 1u);
    EXPECT_EQ(prompts.progress[0]->options.title, "Reading RS232 Configuration ");
    EXPECT_EQ(prompts.progress[0]->options.maximum, 127);
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(RS232TransferTest, AShortAnswerForBlock5MattersOnlyToImagesThatReachIt)
{
    SimDeviceFaults faults;
    faults.replyFaultBlock = 5;
    faults.replyLength = 20;
    rs232.SetFaults(faults);

    rs232.LoadMemory(DeviceImage(Sample()));
    EXPECT_EQ(ReadRS232Config(RS232_ADDRESS, false, services).result, RS232ReadResult::Shown);
    EXPECT_TRUE(log.Contains("Read Config Block 5: Data-Size 20"));

    rs232.LoadMemory(DeviceImage(Long()));
    const RS232ReadOutcome read = ReadRS232Config(RS232_ADDRESS, false, services);
    EXPECT_EQ(read.result, RS232ReadResult::Cleared);
    EXPECT_TRUE(DamagedBoxShown());
    // Nothing of an earlier device stays: no name, the first rate, no rows.
    EXPECT_EQ(read.config.name, "");
    EXPECT_EQ(read.config.baudRate, 1200u);
    EXPECT_TRUE(read.config.rows.empty());
}

TEST_F(RS232TransferTest, AHostileDeviceImageIsTakenAsDamaged)
{
    std::vector<uint8_t> image = DeviceImage(Sample());
    image[38] = 200;  // rowCount
    StoreImageCrc(image.data(), image.size());
    rs232.LoadMemory(image);
    EXPECT_EQ(ReadRS232Config(RS232_ADDRESS, false, services).result, RS232ReadResult::Cleared);
    EXPECT_TRUE(DamagedBoxShown());

    prompts.boxes.clear();
    image.assign(RS232_IMAGE_SIZE, 0);
    image[40] = 0xFF;  // stringCount
    image[41] = 0xFF;
    rs232.LoadMemory(image);
    EXPECT_EQ(ReadRS232Config(RS232_ADDRESS, true, services).result, RS232ReadResult::Failed);
    EXPECT_TRUE(DamagedBoxShown());

    // Its CRC checks over the 64 bytes of its computed length, but its one
    // string lies at 100: kept, it would make a file that show, write-config
    // and restore refuse.
    prompts.boxes.clear();
    image.assign(RS232_IMAGE_SIZE, 0);
    const std::vector<uint8_t> header{0x01, 0x00, 0x01, 0x00, 0x2E, 0x00, 0x3B, 0x00, 0x09};
    std::copy(header.begin(), header.end(), image.begin() + 38);
    image[59] = 100;
    const std::vector<uint8_t> hello{0x05, 'H', 'E', 'L', 'L', 'O'};
    std::copy(hello.begin(), hello.end(), image.begin() + 100);
    StoreImageCrc(image.data(), 64);
    rs232.LoadMemory(image);
    EXPECT_EQ(ReadRS232Config(RS232_ADDRESS, false, services).result, RS232ReadResult::Cleared);
    EXPECT_TRUE(DamagedBoxShown());
}

TEST_F(RS232TransferTest, SaveSendsTheImageWithItsCrcHighByteFirstAndVerifiesIt)
{
    const RS232Config config = Sample();
    const auto expected = DeviceImage(config);  // 87 bytes: three blocks
    ASSERT_EQ(expected.size(), 87u);
    prompts.boxes.clear();

    const RS232SaveOutcome save = SaveRS232Config(config, RS232_ADDRESS, services);
    EXPECT_EQ(save.result, RS232SaveResult::Saved);
    EXPECT_EQ(std::vector<uint8_t>(rs232.Memory().begin(), rs232.Memory().begin() + 87), expected);
    EXPECT_EQ(Heard(CONFIG_BLOCK_WRITE), 3u);
    EXPECT_EQ(Heard(CONFIG_BLOCK_READ), 128u);
    ASSERT_TRUE(save.shown);
    EXPECT_EQ(save.shown->rows.size(), 2u);
    EXPECT_TRUE(log.Contains("RS232 INPUT CONFIG STARTED ... "));
    EXPECT_TRUE(prompts.boxes.empty());
    ASSERT_EQ(prompts.progress.size(), 2u);
    EXPECT_EQ(prompts.progress[0]->options.title, "Updating RS232 Configuration");
    EXPECT_EQ(prompts.progress[0]->values, (std::vector<int>{0, 1, 2}));
}

// A save that the device did not take as sent ends with one box, which says
// what the panel shows: for a damaged read-back the read's warning, else
// " Config Not Saved ".
TEST_F(RS232TransferTest, ASaveNotTakenAsSentSaysSoOnceAndShowsWhatIsKnown)
{
    SimDeviceFaults damagedReadBack;
    damagedReadBack.replyFaultBlock = 0;
    damagedReadBack.replyLength = 20;
    SimDeviceFaults secondBlockUnacknowledged;
    secondBlockUnacknowledged.noAckCommand = CONFIG_BLOCK_WRITE;
    secondBlockUnacknowledged.noAckBlock = 1;
    SimDeviceFaults firstBlockUnacknowledged = secondBlockUnacknowledged;
    firstBlockUnacknowledged.noAckBlock = 0;
    SimDeviceFaults readBackUnanswered;
    readBackUnanswered.noAckCommand = CONFIG_BLOCK_READ;
    const std::string KEEPS_EDITS = "The panel keeps the configuration as it was edited.";
    const std::string SHOWS_DEVICE = "The panel shows what the device holds now.";

    struct Case {
        const char* name;
        std::optional<RS232Config> held;  // the device's memory before the save
        SimDeviceFaults faults;
        RS232SaveResult result;
        size_t writes;
        std::optional<size_t> shownRows;  // the read-back the panel shows, if any
        std::string boxSays;
    };
    const Case cases[] = {
        {"damaged read-back", std::nullopt, damagedReadBack, RS232SaveResult::Failed, 3, std::nullopt, KEEPS_EDITS},
        {"read-back unanswered", std::nullopt, readBackUnanswered, RS232SaveResult::Failed, 3, std::nullopt,
         KEEPS_EDITS},
        // Block 0 holds only the format word and the name, the same in both
        // images: the device still holds the old image.
        {"second block unacknowledged", Long(), secondBlockUnacknowledged, RS232SaveResult::NotVerified, 2, 3,
         SHOWS_DEVICE},
        // The zero memory: an intact empty image.
        {"first block unacknowledged", std::nullopt, firstBlockUnacknowledged, RS232SaveResult::NotVerified, 1, 0,
         SHOWS_DEVICE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rs232.LoadMemory(c.held ? DeviceImage(*c.held) : std::vector<uint8_t>(RS232_IMAGE_SIZE, 0));
        rs232.SetFaults(c.faults);
        bus.ClearHeard();
        prompts.boxes.clear();

        const RS232SaveOutcome save = SaveRS232Config(Sample(), RS232_ADDRESS, services);

        EXPECT_EQ(save.result, c.result);
        EXPECT_EQ(Heard(CONFIG_BLOCK_WRITE), c.writes);
        EXPECT_EQ(save.shown.has_value(), c.shownRows.has_value());
        if (save.shown && c.shownRows) {
            EXPECT_EQ(save.shown->rows.size(), *c.shownRows);
        }
        const bool damaged = std::string(c.name) == "damaged read-back";
        ASSERT_EQ(prompts.Captions(),
                  std::vector<std::string>{damaged ? "Warn Loading Data " : " Config Not Saved "});
        if (damaged) {
            EXPECT_EQ(prompts.boxes[0].text.find(DAMAGED_BOX.second), 0u) << prompts.boxes[0].text;
        }
        EXPECT_NE(prompts.boxes[0].text.find(c.boxSays), std::string::npos) << prompts.boxes[0].text;
    }
}

TEST_F(RS232TransferTest, TheSaveOffersNoAbortButtonAndGoesOnToItsReadBack)
{
    prompts.onProgressUpdate = [](const RecordedProgress&, int value) { return value < 1; };
    const RS232SaveOutcome save = SaveRS232Config(Long(), RS232_ADDRESS, services);
    EXPECT_EQ(save.result, RS232SaveResult::Saved);
    EXPECT_FALSE(prompts.progress[0]->options.canAbort);
    EXPECT_EQ(Heard(CONFIG_BLOCK_READ), 128u);
    const std::vector<uint8_t> image = DeviceImage(Long());
    EXPECT_EQ(std::vector<uint8_t>(rs232.Memory().begin(), rs232.Memory().begin() + long(image.size())), image);
}

TEST_F(RS232TransferTest, AnInvalidHexRowSendsNothing)
{
    RS232Config config = Sample();
    config.rows.push_back(HexRow("0x02"));
    const RS232SaveOutcome save = SaveRS232Config(config, RS232_ADDRESS, services);
    EXPECT_EQ(save.result, RS232SaveResult::NotSent);
    EXPECT_TRUE(bus.Heard().empty());
    EXPECT_TRUE(log.Contains(" Unable to Save RS232 Config. Check for errors/warnings "));
    EXPECT_EQ(prompts.Captions(), std::vector<std::string>{" Output Hex Validation "});
}

TEST_F(RS232TransferTest, TestStringSendsTheRowDigitForTheFirstTenRows)
{
    EXPECT_TRUE(SendTestString(RS232_ADDRESS, 0, services));
    EXPECT_TRUE(SendTestString(RS232_ADDRESS, 9, services));
    EXPECT_EQ(rs232.OutputStrings(), (std::vector<std::vector<uint8_t>>{{0x30}, {0x39}}));
    EXPECT_TRUE(log.Contains(" Output String#9 to RS232 Sent "));
    EXPECT_TRUE(log.Contains(" ACK Received "));

    EXPECT_FALSE(SendTestString(RS232_ADDRESS, 12, services));
    EXPECT_EQ(rs232.OutputStrings().size(), 2u);
    EXPECT_EQ(prompts.boxes.size(), 1u);
    EXPECT_TRUE(prompts.ShowedBox(" RS232 Test String ",
                                  "Only the first ten strings (rows 1 to 10) can be tested from here."));
}

}  // namespace
}  // namespace orv::test
