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

#include "config/config_kind.h"
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

// Reads folder's manifest and checks every file it names, without any bus.
// Only regular files are read, the manifest up to a bound. A file is a
// device's only when its name carries the device's kind and serial number
// and its size is that of its kind (an RS232 header inside the image).
BackupFolder ReadBackupFolder(const std::string& folder);

// The devices of the manifest text; nothing when it is no manifest.
std::optional<std::vector<BackupDevice>> ParseBackupManifest(const std::string& text);

struct BackupSaveResult {
    // True when the folder holds the whole new backup: every file and the
    // manifest that names them. False leaves the folder as it was.
    bool saved = false;
    // When not saved: the file that could not be written, its device, and why.
    std::string problem;
    // Saved, but the folder could not be flushed: to be shown as warnings.
    std::vector<std::string> warnings;
};

// Replaces the backup in folder by devices, whole or not at all: the files of
// devices (those with file and image) and the manifest are written as new
// files first, and take their names only when all are written, the manifest
// last. Files of the folder that no device names are left as they are.
BackupSaveResult SaveBackupFolder(const std::string& folder, std::vector<BackupDevice> devices,
                                  FolderFlush flushFolder = FlushFolder);

}  // namespace orv
