// Configuration .bin files of either kind: any bytes as a file, read by the
// core's file reader, by the panels' imports and by orvctl show, whose text
// sets nothing on a terminal. A file that is accepted shows what its device
// form would store.
#include <sstream>

#include "config/config_kind.h"
#include "config/input8_files.h"
#include "config/rs232_files.h"
#include "ctl/orvctl.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_rs232.h"
#include "model/input8_image.h"
#include "model/rs232_image.h"

namespace {

void CheckInput8(const std::string& path)
{
    const orv::ConfigFile file = orv::LoadConfigFile(path, orv::ConfigKind::Input8);
    orv::fuzz::QuietPrompts prompts;
    prompts.filePath = path;
    const std::optional<orv::Input8Config> imported = orv::ImportInput8Config(prompts);
    FUZZ_CHECK(imported.has_value() == (file.status == orv::ConfigFileStatus::Ok));
    if (!imported)
        return;
    FUZZ_CHECK(file.image.size() == orv::INPUT8_IMAGE_SIZE);
    const std::vector<uint8_t> device = orv::DeviceFormOfFile(orv::ConfigKind::Input8, file.image);
    FUZZ_CHECK(device.size() == orv::INPUT8_IMAGE_SIZE);
    FUZZ_CHECK(orv::DecodeInput8Image(device.data()) == *imported);
}

void CheckRS232(const std::string& path)
{
    const orv::ConfigFile file = orv::LoadConfigFile(path, orv::ConfigKind::RS232);
    orv::fuzz::QuietPrompts prompts;
    prompts.filePath = path;
    const std::optional<orv::RS232Config> imported = orv::ImportRS232Config(prompts);
    FUZZ_CHECK(imported.has_value() == (file.status == orv::ConfigFileStatus::Ok));
    if (!imported)
        return;
    FUZZ_CHECK(file.image.size() == orv::RS232_IMAGE_SIZE);
    std::vector<uint8_t> device = orv::DeviceFormOfFile(orv::ConfigKind::RS232, file.image);
    FUZZ_CHECK(!device.empty() && device.size() <= orv::RS232_IMAGE_SIZE);
    device.resize(orv::RS232_IMAGE_SIZE, 0);
    const std::optional<orv::RS232Config> written = orv::ParseRS232Image(device);
    FUZZ_CHECK(written && orv::fuzz::StoredForm(*written) == orv::fuzz::StoredForm(*imported));
}

void CheckShow(const std::string& path)
{
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    orv::Terminal terminal{in, out, err};
    const int status = orv::RunOrvctl({"show", path}, terminal);
    FUZZ_CHECK(status == orv::EXIT_OK || status == orv::EXIT_FILE);
    FUZZ_CHECK(orv::fuzz::TerminalSafe(out.str()) && orv::fuzz::TerminalSafe(err.str()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const orv::fuzz::ScratchFile file("config_files", data, size);
    CheckInput8(file.Path());
    CheckRS232(file.Path());
    CheckShow(file.Path());
    return 0;
}
