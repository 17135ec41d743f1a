// A backup folder: manifest.json, which lists every device the bus showed
// (address, name, serial number, firmware, configured, its file or null),
// and one .bin file per configured ORV-Input8 and ORV-RS232, named by kind
// and serial number ("input8-21001031.bin"; "input8-21001031-at3.bin" when
// two devices carry one serial number). orvctl and the GUI read and write
// the same folders.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/image_forms.h"
#include "config/safe_file_write.h"
#include "network/device_registry.h"

namespace orv {

inline constexpr const char* BACKUP_MANIFEST = "manifest.json";

// One device of a backup: as the bus showed it, and, when it was saved, its
// file's name in the folder and the image the file holds (file form).
struct BackupDevice {
    DeviceRecord record;  // sharedAddress is always false; typeCode follows from the name
    std::optional<std::string> file;
    std::vector<uint8_t> image;
};

// Called before each configuration a bus-wide operation reads: how many are
// read so far, how many there are, and the device. False stops the reads (a
// window's Cancel); the devices not read are reported as such.
using ReadStep = std::function<bool(size_t done, size_t total, const DeviceRecord& device)>;

struct BackupFolder {
    // Why the folder cannot be used, one line each (a missing manifest, a
    // refused file ...); empty when every file checked.
    std::vector<std::string> problems;
    std::vector<BackupDevice> devices;

    bool Readable() const { return problems.empty(); }
    // The devices with a configuration file.
    size_t ConfigurationCount() const;
};

// The file a backup keeps record's configuration in; withAddress adds the
// address. Nothing for a kind without a configuration.
std::optional<std::string> BackupFileNameOf(const DeviceRecord& record, bool withAddress = false);

// A serial number as the tool shows it, "21 00 10 31" or "21001031" (blanks
// anywhere, hexadecimal digits of either case); nothing for other text.
std::optional<SerialNumber> ParseSerialText(const std::string& text);

// The manifest as JSON text, one device per line.
std::string BackupManifestText(const std::vector<BackupDevice>& devices);

// Reads folder's manifest and checks every file it names as the kind's import
// does (its size, an RS232 header inside the image), without any bus.
BackupFolder ReadBackupFolder(const std::string& folder);

// The devices of the manifest text; nothing when it is no manifest.
std::optional<std::vector<BackupDevice>> ParseBackupManifest(const std::string& text);

struct BackupSaveResult {
    // The devices whose file could not be written, with the reason.
    std::vector<std::pair<DeviceRecord, std::string>> failed;
    bool manifestWritten = false;
    std::string manifestProblem;
    // Files saved that may still lack something (a folder that would not
    // flush), to be shown as warnings.
    std::vector<std::string> warnings;
};

// Writes the files of devices (those with file and image) by the safe write,
// then the manifest, in which a device whose file failed has none. A file
// that fails keeps what it held before; so does every other file of the
// folder that no device names.
BackupSaveResult SaveBackupFolder(const std::string& folder, std::vector<BackupDevice> devices,
                                  FolderFlush flushFolder = FlushFolder);

}  // namespace orv
