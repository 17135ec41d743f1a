// A backup folder's manifest: any bytes as its text. A manifest that is
// accepted is written again and read back as the same devices and files.
#include "fuzz/fuzz_support.h"
#include "wholebus/backup_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::vector<orv::BackupDevice>> devices = orv::ParseBackupManifest(text);
    if (!devices)
        return 0;
    const std::optional<std::vector<orv::BackupDevice>> again = orv::ParseBackupManifest(orv::BackupManifestText(*devices));
    FUZZ_CHECK(again && again->size() == devices->size());
    for (size_t i = 0; i < devices->size(); ++i) {
        const orv::DeviceRecord& a = (*devices)[i].record;
        const orv::DeviceRecord& b = (*again)[i].record;
        FUZZ_CHECK(a.name == b.name && a.serialNumber == b.serialNumber && a.address == b.address &&
                   a.firmwareMajor == b.firmwareMajor && a.firmwareMinor == b.firmwareMinor &&
                   a.configured == b.configured && a.typeCode == b.typeCode);
        FUZZ_CHECK((*devices)[i].file == (*again)[i].file);
    }
    return 0;
}
