#include "ctl/config_transfer.h"

#include <filesystem>
#include <system_error>

#include "config/safe_file_write.h"
#include "config/write_outcome_text.h"
#include "ctl/interface_lost.h"
#include "services/file_path.h"

namespace orv {

int ReadConfigToFile(Run& run, BusSession& session, const DeviceRecord& record, ConfigKind kind,
                     const std::string& path)
{
    const ReadOutcome read = ReadConfigImage(TransferProfileOf(kind), record.address, session.Seams());
    switch (read.result) {
    case ReadResult::InterfaceLost:
        return *FailIfInterfaceLost(run);
    case ReadResult::Failed:
        return run.Fail(EXIT_BUS, DescribeDevice(record) + " did not answer " +
                                      BlockOfCount(read.unansweredBlock.value_or(0), read.blockCount) +
                                      " of the configuration read");
    case ReadResult::Damaged:
        return run.Fail(EXIT_BUS, "the configuration read from " + DescribeDevice(record) +
                                      " is damaged (its layout or its CRC does not check)");
    case ReadResult::Intact:
        break;
    }
    const std::vector<uint8_t> file = FileFormOfRead(kind, read);
    const FileWriteResult written = WriteFileSafely(path, file.data(), file.size());
    if (!written.written)
        return run.Fail(EXIT_FILE, "cannot write " + path + ": " + written.reason);
    if (!written.warning.empty())
        run.Warn(written.warning);
    return EXIT_OK;
}

int WriteConfigFromFile(Run& run, BusSession& session, const DeviceRecord& record, ConfigKind kind,
                        const std::vector<uint8_t>& image, const std::string& again)
{
    const WriteOutcome outcome =
        WriteConfigImage(TransferProfileOf(kind), record.address, DeviceFormOfFile(kind, image), session.Seams());
    if (outcome.result == WriteResult::Saved)
        return EXIT_OK;
    const std::string text = WriteOutcomeText(outcome, DescribeDevice(record), InterfaceLostText(run), again);
    return outcome.abandonedAfterBlocks ? run.Stopped(text) : run.Fail(EXIT_BUS, text);
}

AnyConfigFile LoadAnyConfigFile(const std::string& path)
{
    AnyConfigFile file;
    file.input8 = LoadConfigFile(path, ConfigKind::Input8);
    file.rs232 = LoadConfigFile(path, ConfigKind::RS232);
    if (file.input8.status == ConfigFileStatus::Ok)
        file.kind = ConfigKind::Input8;
    else if (file.rs232.status == ConfigFileStatus::Ok)
        file.kind = ConfigKind::RS232;
    return file;
}

std::string AnyConfigFileProblem(const std::string& path, const AnyConfigFile& file)
{
    if (file.rs232.status == ConfigFileStatus::Damaged)
        return ConfigFileProblem(path, ConfigFileStatus::Damaged, ConfigKind::RS232);
    if (file.input8.status == ConfigFileStatus::WrongSize && file.rs232.status == ConfigFileStatus::WrongSize) {
        std::error_code error;
        const auto size = std::filesystem::file_size(PathOf(path), error);
        return path + " is " + std::to_string(size) +
               " bytes long: an Input8 file is 453 bytes long, an RS232 file 4064 bytes";
    }
    return ConfigFileProblem(path, file.input8.status, ConfigKind::Input8);
}

}  // namespace orv
