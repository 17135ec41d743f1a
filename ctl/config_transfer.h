// Configurations between a device and a .bin file, as read-config,
// write-config, backup and restore move them, each failure named in one line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/config_kind.h"
#include "ctl/run.h"

namespace orv {

// Reads the configuration of record's device (of kind) and writes its file
// form to path. EXIT_OK, or the status after the error line.
int ReadConfigToFile(Run& run, BusSession& session, const DeviceRecord& record, ConfigKind kind,
                     const std::string& path);

// Writes a file image (as LoadConfigFile gave it) to record's device in the
// device form; succeeds only when every block was acknowledged and the
// read-back equals what was written. EXIT_OK, or EXIT_BUS after the error line.
// again: the command line that writes it again, named in the error line of a
// write that stopped part-way (nothing named when empty). A write abandoned
// by a second Ctrl+C gives EXIT_STOPPED after its line.
int WriteConfigFromFile(Run& run, BusSession& session, const DeviceRecord& record, ConfigKind kind,
                        const std::vector<uint8_t>& image, const std::string& again = {});

// A file loaded as either kind: the kind whose checks it passes, Input8 first
// (a multiple of 453 bytes), then RS232.
struct AnyConfigFile {
    std::optional<ConfigKind> kind;
    ConfigFile input8;
    ConfigFile rs232;

    const ConfigFile& As(ConfigKind k) const { return k == ConfigKind::Input8 ? input8 : rs232; }
};
AnyConfigFile LoadAnyConfigFile(const std::string& path);

// Why a file passes neither kind's checks, in words.
std::string AnyConfigFileProblem(const std::string& path, const AnyConfigFile& file);

}  // namespace orv
