// Every bus operation against every fault a device or the line can show, on
// the simulated bus in virtual time. Each cell writes down what must come of
// it: the result, the captions of the boxes the user sees, what the device
// holds afterwards, and how much virtual time it may take at most. Beyond the
// written outcome, no cell may report success for a failure, run past its
// time, or leave a record in the registry that no device answers to.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "config/block_transfer.h"
#include "config/input8_transfer.h"
#include "config/rs232_build.h"
#include "config/rs232_transfer.h"
#include "link/commands.h"
#include "model/input8_image.h"
#include "network/address_management.h"
#include "network/device_modes.h"
#include "network/discovery.h"
#include "network/fast_scan.h"
#include "network/firmware_update.h"
#include "sim/demo_images.h"
#include "tests/support/sim_bus_rig.h"

namespace orv::test {
namespace {

constexpr uint8_t INPUT8_AT = 3;
constexpr uint8_t RS232_AT = 5;
constexpr uint8_t LED4PD_AT = 7;  // healthy: a discovery always has it to find
constexpr uint8_t RELAY_AT = 9;
constexpr uint8_t NEW_ADDRESS = 20;
constexpr size_t FIRMWARE_BYTES = 100;  // three full blocks and a partial one

enum class Op {
    QuickDiscovery,  // "Quick Discovery ... (Fast)" and "Broadcast Discovery ..." run the same pass
    FullDiscovery,
    FastDiscovery,  // the full discovery at the pace measured on the broadcast's devices
    SetAddress,
    ResolveDuplicates,
    Input8Read,
    Input8Save,
    RS232Read,
    RS232Save,
    RS232TestString,
    FirmwareNormal,
    FirmwareEmergency,
    BootMode,
    RunMode,
};

enum class Fault {
    None,
    Silent,
    NoAckRequest1,
    NoAckRequest2,
    NoAckRequest7,
    AckWithoutReply,
    DamagedCrc,
    WrongLength,
    StrayBytes,
    CutFrame,
    Babbling,
    SlowerThanMeasured,  // from its third request on, the device answers 50 ms later
    LostAtRequest1,  // the interface goes as the first request is written
    LostAtRequest4,
};

const char* OpName(Op op)
{
    static const std::map<Op, const char*> names{
        {Op::QuickDiscovery, "QuickDiscovery"}, {Op::FullDiscovery, "FullDiscovery"},
        {Op::FastDiscovery, "FastDiscovery"},
        {Op::SetAddress, "SetAddress"}, {Op::ResolveDuplicates, "ResolveDuplicates"},
        {Op::Input8Read, "Input8Read"}, {Op::Input8Save, "Input8Save"}, {Op::RS232Read, "RS232Read"},
        {Op::RS232Save, "RS232Save"}, {Op::RS232TestString, "RS232TestString"},
        {Op::FirmwareNormal, "FirmwareNormal"}, {Op::FirmwareEmergency, "FirmwareEmergency"},
        {Op::BootMode, "BootMode"}, {Op::RunMode, "RunMode"}};
    return names.at(op);
}

const char* FaultName(Fault fault)
{
    static const std::map<Fault, const char*> names{
        {Fault::None, "None"}, {Fault::Silent, "Silent"}, {Fault::NoAckRequest1, "NoAckRequest1"},
        {Fault::NoAckRequest2, "NoAckRequest2"}, {Fault::NoAckRequest7, "NoAckRequest7"},
        {Fault::AckWithoutReply, "AckWithoutReply"}, {Fault::DamagedCrc, "DamagedCrc"},
        {Fault::WrongLength, "WrongLength"}, {Fault::StrayBytes, "StrayBytes"}, {Fault::CutFrame, "CutFrame"},
        {Fault::Babbling, "Babbling"}, {Fault::SlowerThanMeasured, "SlowerThanMeasured"},
        {Fault::LostAtRequest1, "LostAtRequest1"},
        {Fault::LostAtRequest4, "LostAtRequest4"}};
    return names.at(fault);
}

SimDeviceFaults FaultsOf(Fault fault)
{
    SimDeviceFaults f;
    switch (fault) {
    case Fault::None: break;
    case Fault::Silent: f.silent = true; break;
    case Fault::NoAckRequest1: f.noAckRequest = 1; break;
    case Fault::NoAckRequest2: f.noAckRequest = 2; break;
    case Fault::NoAckRequest7: f.noAckRequest = 7; break;
    case Fault::AckWithoutReply: f.omitReply = true; break;
    case Fault::DamagedCrc: f.damageCrc = true; break;
    case Fault::WrongLength: f.replyLength = 20; break;
    case Fault::StrayBytes:
        f.strayBytes = {0x41, 0x8E, 0x7F};
        f.strayBytesBeforeReply = {0x55, 0x8E, 0x2A};
        break;
    case Fault::CutFrame: f.cutReply = true; break;
    case Fault::Babbling: f.babbleFrames = 300; break;
    case Fault::SlowerThanMeasured:
        f.lateFromRequest = 3;
        f.lateMicros = 50000;
        break;
    case Fault::LostAtRequest1:
    case Fault::LostAtRequest4: break;
    }
    return f;
}

// What came of one cell.
struct Outcome {
    std::string result;
    std::vector<std::string> captions;
    std::string device;  // what the faulty device holds or is afterwards
};

struct Cell {
    Op op;
    Fault fault;
    Outcome expected;
    uint32_t maxSeconds;  // virtual time
};

void PrintTo(const Cell& cell, std::ostream* os)
{
    *os << OpName(cell.op) << "/" << FaultName(cell.fault);
}

std::string ResultText(ReadResult r)
{
    switch (r) {
    case ReadResult::Failed: return "Failed";
    case ReadResult::Intact: return "Intact";
    case ReadResult::Damaged: return "Damaged";
    case ReadResult::InterfaceLost: return "InterfaceLost";
    }
    return "?";
}

std::string ResultText(WriteResult r)
{
    switch (r) {
    case WriteResult::Failed: return "Failed";
    case WriteResult::NotVerified: return "NotVerified";
    case WriteResult::Saved: return "Saved";
    case WriteResult::InterfaceLost: return "InterfaceLost";
    }
    return "?";
}

std::string ResultText(RS232ReadResult r)
{
    switch (r) {
    case RS232ReadResult::Failed: return "Failed";
    case RS232ReadResult::InterfaceLost: return "InterfaceLost";
    case RS232ReadResult::Shown: return "Shown";
    case RS232ReadResult::Cleared: return "Cleared";
    }
    return "?";
}

std::string ResultText(RS232SaveResult r)
{
    switch (r) {
    case RS232SaveResult::NotSent: return "NotSent";
    case RS232SaveResult::Failed: return "Failed";
    case RS232SaveResult::NotVerified: return "NotVerified";
    case RS232SaveResult::Saved: return "Saved";
    case RS232SaveResult::InterfaceLost: return "InterfaceLost";
    }
    return "?";
}

std::string ResultText(ModeCommandOutcome r)
{
    switch (r) {
    case ModeCommandOutcome::Acknowledged: return "Acknowledged";
    case ModeCommandOutcome::NothingReceived: return "NothingReceived";
    case ModeCommandOutcome::Refused: return "Refused";
    case ModeCommandOutcome::InterfaceLost: return "InterfaceLost";
    }
    return "?";
}

std::string ResultText(FirmwareUpdateOutcome r)
{
    switch (r) {
    case FirmwareUpdateOutcome::Updated: return "Updated";
    case FirmwareUpdateOutcome::NoTarget: return "NoTarget";
    case FirmwareUpdateOutcome::Declined: return "Declined";
    case FirmwareUpdateOutcome::TooManyDevices: return "TooManyDevices";
    case FirmwareUpdateOutcome::NoFile: return "NoFile";
    case FirmwareUpdateOutcome::FileRefused: return "FileRefused";
    case FirmwareUpdateOutcome::BootNotAcknowledged: return "BootNotAcknowledged";
    case FirmwareUpdateOutcome::BlockNotAcknowledged: return "BlockNotAcknowledged";
    case FirmwareUpdateOutcome::LastBlockNotAcknowledged: return "LastBlockNotAcknowledged";
    case FirmwareUpdateOutcome::RunFirmwareNotAcknowledged: return "RunFirmwareNotAcknowledged";
    case FirmwareUpdateOutcome::InterfaceLost: return "InterfaceLost";
    case FirmwareUpdateOutcome::Stopped: return "Stopped";
    case FirmwareUpdateOutcome::Abandoned: return "Abandoned";
    case FirmwareUpdateOutcome::NoDeviceAnswered: return "NoDeviceAnswered";
    }
    return "?";
}

class NoView final : public NetworkView {
public:
    void ShowInstructions() override {}
    void ResetDeviceList() override {}
    void RefreshDeviceList() override {}
};

// A configuration of the Input8 that differs from what the device holds.
Input8Config NewInput8Config()
{
    Input8Config config;
    config.name = "Fault Matrix";
    config.rows[0] = InputRow{1, ChangeType::Open, RELAY_AT, ACTION_RELAY_ENERGIZE, {'2'}};
    return config;
}

RS232Config NewRS232Config()
{
    RS232Config config;
    config.name = "Fault Matrix";
    config.baudRate = 19200;
    RS232Row row;
    row.text = "LIGHTS ON";
    row.destination = RELAY_AT;
    row.action = ACTION_RELAY_ENERGIZE;
    row.spinValues = {3};
    config.rows.push_back(row);
    return config;
}

class FaultMatrix : public ::testing::TestWithParam<Cell>, public SimBusRig {
protected:
    DeviceRegistry registry{log};
    NoView view;
    NetworkContext context{services, registry, view};
    std::filesystem::path firmwareFile;
    std::vector<uint8_t> firmware;

    SimDevice* input8 = nullptr;
    SimDevice* rs232 = nullptr;
    SimDevice* relay = nullptr;
    SimDevice* twin = nullptr;  // a second relay at the same address, for the duplicates

    void SetUp() override
    {
        ASSERT_TRUE(OpenLink());
        const Op op = GetParam().op;
        // The emergency update needs a bus with one device on it.
        if (op != Op::FirmwareEmergency) {
            input8 = &AddDevice(SimDeviceKind::Input8, INPUT8_AT, {0x31, 0, 0, 1});
            rs232 = &AddDevice(SimDeviceKind::RS232, RS232_AT, {0x32, 0, 0, 1});
            AddDevice(SimDeviceKind::LED4PD, LED4PD_AT, {0x33, 0, 0, 1});
            input8->LoadMemory(DemoInput8Image());
            rs232->LoadMemory(DemoRS232Image());
        }
        relay = &AddDevice(SimDeviceKind::Relay, RELAY_AT, {0x34, 0, 0, 1});
        if (op == Op::ResolveDuplicates)
            twin = &AddDevice(SimDeviceKind::Relay, RELAY_AT, {0x35, 0, 0, 1});

        firmwareFile = std::filesystem::temp_directory_path() /
                       (std::string("orv_fault_matrix_") + OpName(op) + FaultName(GetParam().fault) + ".bin");
        for (size_t i = 0; i < FIRMWARE_BYTES; ++i)
            firmware.push_back(uint8_t(i * 7 + 1));
        std::ofstream(firmwareFile, std::ios::binary)
            .write(reinterpret_cast<const char*>(firmware.data()), std::streamsize(firmware.size()));

        // The operations on one device start from a fault-free discovery that selected it.
        if (op == Op::SetAddress || op == Op::FirmwareNormal || op == Op::BootMode || op == Op::RunMode) {
            ASSERT_GT(DiscoverDevices(context, BROADCAST_ADDRESS), 0);
            for (size_t i = 0; i < registry.Count(); ++i)
                if (registry.Record(i).serialNumber == relay->Info().serial)
                    registry.Select(uint8_t(i));
        }
        if (op == Op::RunMode) {
            ASSERT_EQ(EnterBootMode(context), ModeCommandOutcome::Acknowledged);
        }
        prompts.boxes.clear();
        bus.ClearHeard();
    }

    void TearDown() override
    {
        std::filesystem::remove(firmwareFile);
        for (auto& device : devices)
            bus.Detach(*device);
    }

    SimDevice& Faulty()
    {
        switch (GetParam().op) {
        case Op::Input8Read:
        case Op::Input8Save: return *input8;
        case Op::RS232Read:
        case Op::RS232Save:
        case Op::RS232TestString: return *rs232;
        default: return *relay;
        }
    }

    std::string Addresses() const
    {
        std::string text = "records";
        for (size_t i = 0; i < registry.Count(); ++i)
            text += " " + std::to_string(registry.Record(i).address);
        return text;
    }

    std::string MemoryState(const SimDevice& device, const std::vector<uint8_t>& before,
                            const std::vector<uint8_t>& written) const
    {
        const auto& memory = device.Memory();
        if (memory == before)
            return "old image";
        if (std::equal(written.begin(), written.end(), memory.begin()))
            return "new image";
        return "part of the new image";
    }

    std::string FirmwareState(const SimDevice& device) const
    {
        std::vector<uint8_t> received = device.AssembledFirmware();
        const bool whole = received.size() >= firmware.size() &&
                           std::equal(firmware.begin(), firmware.end(), received.begin());
        std::string text = device.Mode() == SimDeviceMode::Firmware ? "firmware" : "boot loader";
        text += ", " + std::to_string(device.FirmwareBlocks().size()) + " blocks";
        if (whole)
            text += ", whole image";
        return text;
    }

    // Runs the cell's operation; the checks that hold for every cell are made here too.
    Outcome Run()
    {
        Outcome outcome;
        SimDevice& faulty = Faulty();
        const std::vector<uint8_t> before = faulty.Memory();
        switch (GetParam().op) {
        case Op::QuickDiscovery:
        case Op::FullDiscovery: {
            const int found = DiscoverDevices(context, GetParam().op == Op::QuickDiscovery ? BROADCAST_ADDRESS : 0);
            outcome.result = "found " + std::to_string(found);
            outcome.device = Addresses();
            break;
        }
        case Op::FastDiscovery: {
            // A latency timer that cannot be read, as on a network port.
            const int found = FastDiscoverAll(context, std::nullopt).found;
            outcome.result = "found " + std::to_string(found);
            outcome.device = Addresses();
            break;
        }
        case Op::SetAddress: {
            const bool acknowledged = ChangeDeviceAddress(context, NEW_ADDRESS);
            outcome.result = acknowledged ? "acknowledged" : "not acknowledged";
            outcome.device = "at " + std::to_string(faulty.Address()) + ", " + Addresses();
            if (acknowledged) {
                EXPECT_EQ(faulty.Address(), NEW_ADDRESS) << "an acknowledged change the device did not make";
            }
            break;
        }
        case Op::ResolveDuplicates: {
            // A full discovery finds the two relays at one address, gives them new ones and looks again.
            const int found = DiscoverDevices(context, 0);
            outcome.result = "found " + std::to_string(found);
            outcome.device = "at " + std::to_string(relay->Address()) + " and " + std::to_string(twin->Address()) +
                             ", " + Addresses();
            break;
        }
        case Op::Input8Read: {
            const ReadOutcome read = ReadConfigImage(Input8TransferProfile(), INPUT8_AT, services);
            outcome.result = ResultText(read.result);
            outcome.device = MemoryState(faulty, before, {});
            if (read.result == ReadResult::Intact) {
                EXPECT_EQ(read.buffer, faulty.Memory()) << "an intact read of what the device does not hold";
            }
            break;
        }
        case Op::Input8Save: {
            const std::vector<uint8_t> image = EncodeInput8Image(NewInput8Config(), ImageForm::Device);
            std::optional<ReadOutcome> shown;
            const WriteResult result =
                SaveInput8Config(NewInput8Config(), INPUT8_AT, services, [&](const ReadOutcome& r) { shown = r; });
            outcome.result = ResultText(result);
            outcome.device = MemoryState(faulty, before, image);
            if (result == WriteResult::Saved) {
                EXPECT_EQ(outcome.device, "new image") << "saved, but the device does not hold it";
            }
            if (shown && shown->result == ReadResult::Intact) {
                EXPECT_EQ(shown->buffer, faulty.Memory()) << "the panel shows what the device does not hold";
            }
            break;
        }
        case Op::RS232Read: {
            const RS232ReadOutcome read = ReadRS232Config(RS232_AT, false, services);
            outcome.result = ResultText(read.result);
            outcome.device = MemoryState(faulty, before, {});
            if (read.result == RS232ReadResult::Shown) {
                const auto held = ParseRS232Image(faulty.Memory());
                EXPECT_TRUE(held && read.config.rows.size() == held->rows.size() && read.config.name == held->name)
                    << "the panel shows another configuration than the device holds";
            }
            break;
        }
        case Op::RS232Save: {
            const auto built = BuildRS232Image(NewRS232Config(), std::nullopt, false, services);
            std::vector<uint8_t> image(built->buffer.begin(), built->buffer.begin() + long(built->length));
            std::swap(image[image.size() - 2], image[image.size() - 1]);  // the device holds its CRC high byte first
            const RS232SaveOutcome saved = SaveRS232Config(NewRS232Config(), RS232_AT, services);
            outcome.result = ResultText(saved.result);
            outcome.device = MemoryState(faulty, before, image);
            if (saved.result == RS232SaveResult::Saved) {
                EXPECT_EQ(outcome.device, "new image") << "saved, but the device does not hold it";
            }
            if (saved.shown) {
                const auto held = ParseRS232Image(faulty.Memory());
                EXPECT_TRUE(held && saved.shown->rows.size() == held->rows.size())
                    << "the panel shows another configuration than the device holds";
            }
            break;
        }
        case Op::RS232TestString: {
            const bool acknowledged = SendTestString(RS232_AT, 0, services);
            outcome.result = acknowledged ? "acknowledged" : "not acknowledged";
            outcome.device = std::to_string(faulty.OutputStrings().size()) + " strings sent";
            if (acknowledged) {
                EXPECT_EQ(faulty.OutputStrings().size(), 1u) << "acknowledged, but the device sent nothing";
            }
            break;
        }
        case Op::FirmwareNormal:
        case Op::FirmwareEmergency: {
            prompts.fileAnswers.push_back(firmwareFile.string());
            const FirmwareUpdateOutcome result = UpdateFirmware(context, GetParam().op == Op::FirmwareEmergency);
            outcome.result = ResultText(result);
            outcome.device = FirmwareState(faulty);
            if (result == FirmwareUpdateOutcome::Updated) {
                EXPECT_EQ(outcome.device, "firmware, 4 blocks, whole image") << "updated, but not so on the device";
            }
            break;
        }
        case Op::BootMode:
        case Op::RunMode: {
            const bool boot = GetParam().op == Op::BootMode;
            const ModeCommandOutcome result = boot ? EnterBootMode(context) : EnterConfigMode(context);
            outcome.result = ResultText(result);
            outcome.device = FirmwareState(faulty);
            if (result == ModeCommandOutcome::Acknowledged) {
                EXPECT_EQ(faulty.Mode(), boot ? SimDeviceMode::BootLoader : SimDeviceMode::Firmware);
            }
            break;
        }
        }
        outcome.captions = prompts.Captions();
        return outcome;
    }

    // Every record is a device on the bus, at the address it has now.
    void ExpectRegistryTrue()
    {
        for (size_t i = 0; i < registry.Count(); ++i) {
            const DeviceRecord& record = registry.Record(i);
            const bool real = std::any_of(devices.begin(), devices.end(), [&](const auto& device) {
                return device->Info().serial == record.serialNumber && device->Address() == record.address;
            });
            EXPECT_TRUE(real) << "record " << i << " at " << int(record.address) << " names no device there";
        }
    }
};

TEST_P(FaultMatrix, EndsAsWrittenDown)
{
    const Cell& cell = GetParam();
    Faulty().SetFaults(FaultsOf(cell.fault));
    // The request at which the line is lost; 0 for a line that stays.
    const int lostAt = cell.fault == Fault::LostAtRequest1 ? 1 : cell.fault == Fault::LostAtRequest4 ? 4 : 0;
    if (lostAt)
        bus.LoseLineAtWrite(lostAt);
    const uint64_t start = clock.NowMicros();

    const Outcome outcome = Run();

    const uint64_t tookMillis = (clock.NowMicros() - start) / 1000;
    EXPECT_EQ(outcome.result, cell.expected.result);
    EXPECT_EQ(outcome.captions, cell.expected.captions);
    EXPECT_EQ(outcome.device, cell.expected.device);
    EXPECT_LE(tookMillis, cell.maxSeconds * 1000u);
    ExpectRegistryTrue();
    // Nothing is sent on a lost line, nor retried.
    if (lostAt) {
        EXPECT_LE(bus.Heard().size(), size_t(lostAt - 1));
    }
}

using C = std::vector<std::string>;

const Cell CELLS[] = {
    {Op::QuickDiscovery, Fault::None, {"found 4", C{}, "records 3 5 7 9"}, 2},
    {Op::QuickDiscovery, Fault::Silent, {"found 3", C{}, "records 3 5 7"}, 2},
    {Op::QuickDiscovery, Fault::NoAckRequest1, {"found 3", C{}, "records 3 5 7"}, 2},
    {Op::QuickDiscovery, Fault::NoAckRequest2, {"found 4", C{}, "records 3 5 7 9"}, 2},
    {Op::QuickDiscovery, Fault::NoAckRequest7, {"found 4", C{}, "records 3 5 7 9"}, 2},
    {Op::QuickDiscovery, Fault::AckWithoutReply, {"found 3", C{}, "records 3 5 7"}, 2},
    {Op::QuickDiscovery, Fault::DamagedCrc, {"found 3", C{}, "records 3 5 7"}, 2},
    {Op::QuickDiscovery, Fault::WrongLength, {"found 3", C{}, "records 3 5 7"}, 2},
    {Op::QuickDiscovery, Fault::StrayBytes, {"found 4", C{}, "records 3 5 7 9"}, 2},
    {Op::QuickDiscovery, Fault::CutFrame, {"found 3", C{}, "records 3 5 7"}, 2},
    // A device that repeats its answer is one device, never a list of devices.
    {Op::QuickDiscovery, Fault::Babbling, {"found 4", C{}, "records 3 5 7 9"}, 2},
    {Op::QuickDiscovery, Fault::LostAtRequest1, {"found 0", C{" ORV-NET Disconnected "}, "records"}, 2},
    {Op::QuickDiscovery, Fault::LostAtRequest4, {"found 4", C{}, "records 3 5 7 9"}, 2},

    {Op::FullDiscovery, Fault::None, {"found 4", C{}, "records 3 5 7 9"}, 179},
    {Op::FullDiscovery, Fault::Silent, {"found 3", C{}, "records 3 5 7"}, 179},
    {Op::FullDiscovery, Fault::NoAckRequest1, {"found 3", C{}, "records 3 5 7"}, 179},
    {Op::FullDiscovery, Fault::NoAckRequest2, {"found 4", C{}, "records 3 5 7 9"}, 179},
    {Op::FullDiscovery, Fault::NoAckRequest7, {"found 4", C{}, "records 3 5 7 9"}, 179},
    {Op::FullDiscovery, Fault::AckWithoutReply, {"found 3", C{}, "records 3 5 7"}, 179},
    {Op::FullDiscovery, Fault::DamagedCrc, {"found 3", C{}, "records 3 5 7"}, 179},
    {Op::FullDiscovery, Fault::WrongLength, {"found 3", C{}, "records 3 5 7"}, 179},
    {Op::FullDiscovery, Fault::StrayBytes, {"found 4", C{}, "records 3 5 7 9"}, 179},
    {Op::FullDiscovery, Fault::CutFrame, {"found 3", C{}, "records 3 5 7"}, 179},
    {Op::FullDiscovery, Fault::Babbling, {"found 4", C{}, "records 3 5 7 9"}, 180},
    {Op::FullDiscovery, Fault::LostAtRequest1, {"found 0", C{" ORV-NET Disconnected "}, "records"}, 2},
    {Op::FullDiscovery, Fault::LostAtRequest4, {"found 0", C{" ORV-NET Disconnected "}, "records"}, 4},

    // A network port: no latency timer to read, so 16 ms are added to every wait.
    {Op::FastDiscovery, Fault::None, {"found 4", C{}, "records 3 5 7 9"}, 12},
    {Op::FastDiscovery, Fault::Silent, {"found 3", C{}, "records 3 5 7"}, 12},
    {Op::FastDiscovery, Fault::NoAckRequest1, {"found 4", C{}, "records 3 5 7 9"}, 12},
    {Op::FastDiscovery, Fault::NoAckRequest2, {"found 4", C{}, "records 3 5 7 9"}, 13},
    {Op::FastDiscovery, Fault::NoAckRequest7, {"found 4", C{}, "records 3 5 7 9"}, 12},
    {Op::FastDiscovery, Fault::AckWithoutReply, {"found 3", C{}, "records 3 5 7"}, 12},
    {Op::FastDiscovery, Fault::DamagedCrc, {"found 3", C{}, "records 3 5 7"}, 12},
    {Op::FastDiscovery, Fault::WrongLength, {"found 3", C{}, "records 3 5 7"}, 12},
    {Op::FastDiscovery, Fault::StrayBytes, {"found 4", C{}, "records 3 5 7 9"}, 12},
    {Op::FastDiscovery, Fault::CutFrame, {"found 3", C{}, "records 3 5 7"}, 12},
    // Three seconds of repeated answers to each request hold the wire, not the scan.
    {Op::FastDiscovery, Fault::Babbling, {"found 4", C{}, "records 9 3 5 7"}, 23},
    {Op::FastDiscovery, Fault::SlowerThanMeasured, {"found 4", C{}, "records 3 5 7 9"}, 12},
    {Op::FastDiscovery, Fault::LostAtRequest1, {"found 0", C{" ORV-NET Disconnected "}, "records"}, 2},
    {Op::FastDiscovery, Fault::LostAtRequest4, {"found 0", C{" ORV-NET Disconnected "}, "records"}, 2},
    {Op::QuickDiscovery, Fault::SlowerThanMeasured, {"found 4", C{}, "records 3 5 7 9"}, 2},
    {Op::FullDiscovery, Fault::SlowerThanMeasured, {"found 4", C{}, "records 3 5 7 9"}, 179},

    {Op::SetAddress, Fault::None, {"acknowledged", C{" Re-discover Devices  "}, "at 20, records 3 5 7 20"}, 179},
    {Op::SetAddress, Fault::Silent, {"not acknowledged", C{}, "at 9, records 3 5 7 9"}, 2},
    {Op::SetAddress, Fault::NoAckRequest1, {"not acknowledged", C{}, "at 9, records 3 5 7 9"}, 2},
    {Op::SetAddress, Fault::NoAckRequest2, {"acknowledged", C{" Re-discover Devices  "}, "at 20, records 3 5 7"}, 179},
    {Op::SetAddress, Fault::NoAckRequest7, {"acknowledged", C{" Re-discover Devices  "}, "at 20, records 3 5 7 20"}, 179},
    {Op::SetAddress, Fault::AckWithoutReply, {"acknowledged", C{" Re-discover Devices  "}, "at 20, records 3 5 7"}, 179},
    {Op::SetAddress, Fault::DamagedCrc, {"acknowledged", C{" Re-discover Devices  "}, "at 20, records 3 5 7"}, 179},
    {Op::SetAddress, Fault::WrongLength, {"acknowledged", C{" Re-discover Devices  "}, "at 20, records 3 5 7"}, 179},
    {Op::SetAddress, Fault::StrayBytes, {"acknowledged", C{" Re-discover Devices  "}, "at 20, records 3 5 7 20"}, 179},
    {Op::SetAddress, Fault::CutFrame, {"acknowledged", C{" Re-discover Devices  "}, "at 20, records 3 5 7"}, 179},
    {Op::SetAddress, Fault::Babbling, {"acknowledged", C{" Re-discover Devices  "}, "at 20, records 20 3 5 7"}, 182},
    {Op::SetAddress, Fault::LostAtRequest1, {"not acknowledged", C{" ORV-NET Disconnected "}, "at 9, records 3 5 7 9"}, 2},
    {Op::SetAddress, Fault::LostAtRequest4, {"acknowledged", C{" Re-discover Devices  ", " ORV-NET Disconnected "}, "at 20, records"}, 3},

    {Op::ResolveDuplicates, Fault::None, {"found 5", C{" Same Address Warning "}, "at 1 and 2, records 1 2 3 5 7"}, 356},
    {Op::ResolveDuplicates, Fault::Silent, {"found 4", C{}, "at 9 and 9, records 3 5 7 9"}, 179},
    {Op::ResolveDuplicates, Fault::NoAckRequest1, {"found 4", C{}, "at 9 and 9, records 3 5 7 9"}, 179},
    {Op::ResolveDuplicates, Fault::NoAckRequest2, {"found 5", C{" Same Address Warning "}, "at 9 and 2, records 2 3 5 7 9"}, 356},
    {Op::ResolveDuplicates, Fault::NoAckRequest7, {"found 5", C{" Same Address Warning "}, "at 1 and 2, records 1 2 3 5 7"}, 356},
    {Op::ResolveDuplicates, Fault::AckWithoutReply, {"found 4", C{}, "at 9 and 9, records 3 5 7 9"}, 179},
    {Op::ResolveDuplicates, Fault::DamagedCrc, {"found 4", C{}, "at 9 and 9, records 3 5 7 9"}, 179},
    {Op::ResolveDuplicates, Fault::WrongLength, {"found 4", C{}, "at 9 and 9, records 3 5 7 9"}, 179},
    {Op::ResolveDuplicates, Fault::StrayBytes, {"found 5", C{" Same Address Warning "}, "at 1 and 2, records 1 2 3 5 7"}, 356},
    {Op::ResolveDuplicates, Fault::CutFrame, {"found 3", C{}, "at 9 and 9, records 3 5 7"}, 179},
    {Op::ResolveDuplicates, Fault::Babbling, {"found 5", C{" Same Address Warning "}, "at 1 and 2, records 1 2 3 5 7"}, 362},
    {Op::ResolveDuplicates, Fault::LostAtRequest1, {"found 0", C{" ORV-NET Disconnected "}, "at 9 and 9, records"}, 2},
    {Op::ResolveDuplicates, Fault::LostAtRequest4, {"found 0", C{" ORV-NET Disconnected "}, "at 9 and 9, records"}, 4},

    {Op::Input8Read, Fault::None, {"Intact", C{}, "old image"}, 2},
    {Op::Input8Read, Fault::Silent, {"Failed", C{}, "old image"}, 2},
    {Op::Input8Read, Fault::NoAckRequest1, {"Failed", C{}, "old image"}, 2},
    {Op::Input8Read, Fault::NoAckRequest2, {"Failed", C{}, "old image"}, 2},
    {Op::Input8Read, Fault::NoAckRequest7, {"Failed", C{}, "old image"}, 3},
    {Op::Input8Read, Fault::AckWithoutReply, {"Failed", C{}, "old image"}, 2},
    {Op::Input8Read, Fault::DamagedCrc, {"Failed", C{}, "old image"}, 2},
    {Op::Input8Read, Fault::WrongLength, {"Damaged", C{"Warn Loading Data "}, "old image"}, 2},
    {Op::Input8Read, Fault::StrayBytes, {"Intact", C{}, "old image"}, 2},
    {Op::Input8Read, Fault::CutFrame, {"Failed", C{}, "old image"}, 2},
    // The device's own answer drowns in its repeated MODULE_INFOs: nothing is read, nothing cleared.
    {Op::Input8Read, Fault::Babbling, {"Failed", C{}, "old image"}, 2},
    {Op::Input8Read, Fault::LostAtRequest1, {"InterfaceLost", C{" ORV-NET Disconnected "}, "old image"}, 2},
    {Op::Input8Read, Fault::LostAtRequest4, {"InterfaceLost", C{" ORV-NET Disconnected "}, "old image"}, 2},

    {Op::Input8Save, Fault::None, {"Saved", C{}, "new image"}, 10},
    {Op::Input8Save, Fault::Silent, {"Failed", C{" Config Not Saved "}, "old image"}, 4},
    {Op::Input8Save, Fault::NoAckRequest1, {"NotVerified", C{" Config Not Saved "}, "old image"}, 4},
    {Op::Input8Save, Fault::NoAckRequest2, {"NotVerified", C{" Config Not Saved "}, "part of the new image"}, 4},
    {Op::Input8Save, Fault::NoAckRequest7, {"NotVerified", C{" Config Not Saved "}, "part of the new image"}, 7},
    {Op::Input8Save, Fault::AckWithoutReply, {"Failed", C{" Config Not Saved "}, "new image"}, 9},
    {Op::Input8Save, Fault::DamagedCrc, {"Failed", C{" Config Not Saved "}, "new image"}, 9},
    {Op::Input8Save, Fault::WrongLength, {"NotVerified", C{" Config Not Saved "}, "new image"}, 10},
    {Op::Input8Save, Fault::StrayBytes, {"Saved", C{}, "new image"}, 10},
    {Op::Input8Save, Fault::CutFrame, {"Failed", C{" Config Not Saved "}, "new image"}, 9},
    {Op::Input8Save, Fault::Babbling, {"Failed", C{" Config Not Saved "}, "new image"}, 10},
    {Op::Input8Save, Fault::LostAtRequest1, {"InterfaceLost", C{" ORV-NET Disconnected "}, "old image"}, 2},
    {Op::Input8Save, Fault::LostAtRequest4, {"InterfaceLost", C{" ORV-NET Disconnected "}, "part of the new image"}, 3},

    {Op::RS232Read, Fault::None, {"Shown", C{}, "old image"}, 9},
    {Op::RS232Read, Fault::Silent, {"Failed", C{}, "old image"}, 2},
    {Op::RS232Read, Fault::NoAckRequest1, {"Failed", C{}, "old image"}, 2},
    {Op::RS232Read, Fault::NoAckRequest2, {"Failed", C{}, "old image"}, 2},
    {Op::RS232Read, Fault::NoAckRequest7, {"Failed", C{}, "old image"}, 3},
    {Op::RS232Read, Fault::AckWithoutReply, {"Failed", C{}, "old image"}, 2},
    {Op::RS232Read, Fault::DamagedCrc, {"Failed", C{}, "old image"}, 2},
    {Op::RS232Read, Fault::WrongLength, {"Cleared", C{"Warn Loading Data "}, "old image"}, 9},
    {Op::RS232Read, Fault::StrayBytes, {"Shown", C{}, "old image"}, 9},
    {Op::RS232Read, Fault::CutFrame, {"Failed", C{}, "old image"}, 2},
    {Op::RS232Read, Fault::Babbling, {"Failed", C{}, "old image"}, 10},
    {Op::RS232Read, Fault::LostAtRequest1, {"InterfaceLost", C{" ORV-NET Disconnected "}, "old image"}, 2},
    {Op::RS232Read, Fault::LostAtRequest4, {"InterfaceLost", C{" ORV-NET Disconnected "}, "old image"}, 2},

    {Op::RS232Save, Fault::None, {"Saved", C{}, "new image"}, 10},
    {Op::RS232Save, Fault::Silent, {"Failed", C{" Config Not Saved "}, "old image"}, 4},
    {Op::RS232Save, Fault::NoAckRequest1, {"NotVerified", C{" Config Not Saved "}, "old image"}, 11},
    {Op::RS232Save, Fault::NoAckRequest2, {"Failed", C{"Warn Loading Data "}, "part of the new image"}, 11},
    {Op::RS232Save, Fault::NoAckRequest7, {"Failed", C{" Config Not Saved "}, "new image"}, 4},
    {Op::RS232Save, Fault::AckWithoutReply, {"Failed", C{" Config Not Saved "}, "new image"}, 3},
    {Op::RS232Save, Fault::DamagedCrc, {"Failed", C{" Config Not Saved "}, "new image"}, 3},
    {Op::RS232Save, Fault::WrongLength, {"Failed", C{"Warn Loading Data "}, "new image"}, 10},
    {Op::RS232Save, Fault::StrayBytes, {"Saved", C{}, "new image"}, 11},
    {Op::RS232Save, Fault::CutFrame, {"Failed", C{" Config Not Saved "}, "new image"}, 3},
    {Op::RS232Save, Fault::Babbling, {"Failed", C{" Config Not Saved "}, "new image"}, 11},
    {Op::RS232Save, Fault::LostAtRequest1, {"InterfaceLost", C{" ORV-NET Disconnected "}, "old image"}, 2},
    {Op::RS232Save, Fault::LostAtRequest4, {"InterfaceLost", C{" ORV-NET Disconnected "}, "new image"}, 3},

    {Op::RS232TestString, Fault::None, {"acknowledged", C{}, "1 strings sent"}, 2},
    {Op::RS232TestString, Fault::Silent, {"not acknowledged", C{}, "0 strings sent"}, 2},
    {Op::RS232TestString, Fault::NoAckRequest1, {"not acknowledged", C{}, "0 strings sent"}, 2},
    {Op::RS232TestString, Fault::NoAckRequest2, {"acknowledged", C{}, "1 strings sent"}, 2},
    {Op::RS232TestString, Fault::NoAckRequest7, {"acknowledged", C{}, "1 strings sent"}, 2},
    {Op::RS232TestString, Fault::AckWithoutReply, {"acknowledged", C{}, "1 strings sent"}, 2},
    {Op::RS232TestString, Fault::DamagedCrc, {"acknowledged", C{}, "1 strings sent"}, 2},
    {Op::RS232TestString, Fault::WrongLength, {"acknowledged", C{}, "1 strings sent"}, 2},
    {Op::RS232TestString, Fault::StrayBytes, {"acknowledged", C{}, "1 strings sent"}, 2},
    {Op::RS232TestString, Fault::CutFrame, {"acknowledged", C{}, "1 strings sent"}, 2},
    {Op::RS232TestString, Fault::Babbling, {"acknowledged", C{}, "1 strings sent"}, 2},
    {Op::RS232TestString, Fault::LostAtRequest1, {"not acknowledged", C{" ORV-NET Disconnected "}, "0 strings sent"}, 2},
    {Op::RS232TestString, Fault::LostAtRequest4, {"acknowledged", C{}, "1 strings sent"}, 2},

    {Op::FirmwareNormal, Fault::None, {"Updated", C{" Firmware Update Status "}, "firmware, 4 blocks, whole image"}, 3},
    {Op::FirmwareNormal, Fault::Silent, {"BootNotAcknowledged", C{" Firmware Update Status "}, "firmware, 0 blocks"}, 3},
    {Op::FirmwareNormal, Fault::NoAckRequest1, {"BootNotAcknowledged", C{" Firmware Update Status "}, "firmware, 0 blocks"}, 3},
    {Op::FirmwareNormal, Fault::NoAckRequest2, {"BlockNotAcknowledged", C{" Firmware Update Status "}, "boot loader, 0 blocks"}, 3},
    {Op::FirmwareNormal, Fault::NoAckRequest7, {"Updated", C{" Firmware Update Status "}, "firmware, 4 blocks, whole image"}, 3},
    {Op::FirmwareNormal, Fault::AckWithoutReply, {"Updated", C{" Firmware Update Status "}, "firmware, 4 blocks, whole image"}, 3},
    {Op::FirmwareNormal, Fault::DamagedCrc, {"Updated", C{" Firmware Update Status "}, "firmware, 4 blocks, whole image"}, 3},
    {Op::FirmwareNormal, Fault::WrongLength, {"Updated", C{" Firmware Update Status "}, "firmware, 4 blocks, whole image"}, 3},
    {Op::FirmwareNormal, Fault::StrayBytes, {"Updated", C{" Firmware Update Status "}, "firmware, 4 blocks, whole image"}, 3},
    {Op::FirmwareNormal, Fault::CutFrame, {"Updated", C{" Firmware Update Status "}, "firmware, 4 blocks, whole image"}, 3},
    {Op::FirmwareNormal, Fault::Babbling, {"Updated", C{" Firmware Update Status "}, "firmware, 4 blocks, whole image"}, 4},
    {Op::FirmwareNormal, Fault::LostAtRequest1, {"InterfaceLost", C{" ORV-NET Disconnected "}, "firmware, 0 blocks"}, 2},
    {Op::FirmwareNormal, Fault::LostAtRequest4, {"InterfaceLost", C{" ORV-NET Disconnected "}, "boot loader, 2 blocks"}, 3},

    {Op::FirmwareEmergency, Fault::None, {"Updated", C{" Firmware Update Status "}, "firmware, 4 blocks, whole image"}, 4},
    {Op::FirmwareEmergency, Fault::Silent, {"NoDeviceAnswered", C{" Firmware Update Status "}, "firmware, 0 blocks"}, 3},
    {Op::FirmwareEmergency, Fault::NoAckRequest1, {"Updated", C{" Firmware Update Status "}, "firmware, 4 blocks, whole image"}, 4},
    {Op::FirmwareEmergency, Fault::NoAckRequest2, {"BootNotAcknowledged", C{" Firmware Update Status "}, "firmware, 0 blocks"}, 3},
    {Op::FirmwareEmergency, Fault::NoAckRequest7, {"RunFirmwareNotAcknowledged", C{" Firmware Update Status "}, "boot loader, 4 blocks, whole image"}, 4},
    {Op::FirmwareEmergency, Fault::AckWithoutReply, {"Updated", C{" Firmware Update Status ", "No ORV-Device Found"}, "firmware, 4 blocks, whole image"}, 4},
    {Op::FirmwareEmergency, Fault::DamagedCrc, {"Updated", C{" Firmware Update Status ", "No ORV-Device Found"}, "firmware, 4 blocks, whole image"}, 5},
    {Op::FirmwareEmergency, Fault::WrongLength, {"Updated", C{" Firmware Update Status ", "No ORV-Device Found"}, "firmware, 4 blocks, whole image"}, 4},
    {Op::FirmwareEmergency, Fault::StrayBytes, {"Updated", C{" Firmware Update Status "}, "firmware, 4 blocks, whole image"}, 4},
    {Op::FirmwareEmergency, Fault::CutFrame, {"Updated", C{" Firmware Update Status ", "No ORV-Device Found"}, "firmware, 4 blocks, whole image"}, 5},
    {Op::FirmwareEmergency, Fault::Babbling, {"TooManyDevices", C{" Firmware Update Confirm "}, "firmware, 0 blocks"}, 3},
    {Op::FirmwareEmergency, Fault::LostAtRequest1, {"InterfaceLost", C{" ORV-NET Disconnected "}, "firmware, 0 blocks"}, 2},
    {Op::FirmwareEmergency, Fault::LostAtRequest4, {"InterfaceLost", C{" ORV-NET Disconnected "}, "boot loader, 1 blocks"}, 3},

    {Op::BootMode, Fault::None, {"Acknowledged", C{}, "boot loader, 0 blocks"}, 2},
    {Op::BootMode, Fault::Silent, {"NothingReceived", C{}, "firmware, 0 blocks"}, 2},
    {Op::BootMode, Fault::NoAckRequest1, {"NothingReceived", C{}, "firmware, 0 blocks"}, 2},
    {Op::BootMode, Fault::NoAckRequest2, {"Acknowledged", C{}, "boot loader, 0 blocks"}, 2},
    {Op::BootMode, Fault::NoAckRequest7, {"Acknowledged", C{}, "boot loader, 0 blocks"}, 2},
    {Op::BootMode, Fault::AckWithoutReply, {"Acknowledged", C{}, "boot loader, 0 blocks"}, 2},
    {Op::BootMode, Fault::DamagedCrc, {"Acknowledged", C{}, "boot loader, 0 blocks"}, 2},
    {Op::BootMode, Fault::WrongLength, {"Acknowledged", C{}, "boot loader, 0 blocks"}, 2},
    {Op::BootMode, Fault::StrayBytes, {"Acknowledged", C{}, "boot loader, 0 blocks"}, 2},
    {Op::BootMode, Fault::CutFrame, {"Acknowledged", C{}, "boot loader, 0 blocks"}, 2},
    {Op::BootMode, Fault::Babbling, {"Acknowledged", C{}, "boot loader, 0 blocks"}, 2},
    {Op::BootMode, Fault::LostAtRequest1, {"InterfaceLost", C{" ORV-NET Disconnected "}, "firmware, 0 blocks"}, 2},
    {Op::BootMode, Fault::LostAtRequest4, {"Acknowledged", C{}, "boot loader, 0 blocks"}, 2},

    {Op::RunMode, Fault::None, {"Acknowledged", C{}, "firmware, 0 blocks"}, 2},
    {Op::RunMode, Fault::Silent, {"NothingReceived", C{}, "boot loader, 0 blocks"}, 2},
    {Op::RunMode, Fault::NoAckRequest1, {"NothingReceived", C{}, "boot loader, 0 blocks"}, 2},
    {Op::RunMode, Fault::NoAckRequest2, {"Acknowledged", C{}, "firmware, 0 blocks"}, 2},
    {Op::RunMode, Fault::NoAckRequest7, {"Acknowledged", C{}, "firmware, 0 blocks"}, 2},
    {Op::RunMode, Fault::AckWithoutReply, {"Acknowledged", C{}, "firmware, 0 blocks"}, 2},
    {Op::RunMode, Fault::DamagedCrc, {"Acknowledged", C{}, "firmware, 0 blocks"}, 2},
    {Op::RunMode, Fault::WrongLength, {"Acknowledged", C{}, "firmware, 0 blocks"}, 2},
    {Op::RunMode, Fault::StrayBytes, {"Acknowledged", C{}, "firmware, 0 blocks"}, 2},
    {Op::RunMode, Fault::CutFrame, {"Acknowledged", C{}, "firmware, 0 blocks"}, 2},
    {Op::RunMode, Fault::Babbling, {"Acknowledged", C{}, "firmware, 0 blocks"}, 2},
    {Op::RunMode, Fault::LostAtRequest1, {"InterfaceLost", C{" ORV-NET Disconnected "}, "boot loader, 0 blocks"}, 2},
    {Op::RunMode, Fault::LostAtRequest4, {"Acknowledged", C{}, "firmware, 0 blocks"}, 2},
};

INSTANTIATE_TEST_SUITE_P(Cells, FaultMatrix, ::testing::ValuesIn(CELLS), [](const auto& info) {
    return std::string(OpName(info.param.op)) + "_" + FaultName(info.param.fault);
});

}  // namespace
}  // namespace orv::test
