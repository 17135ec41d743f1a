// A backup folder on disk, made from the input: under the names a backup uses
// (and one of its own), files of any content and size, folders, pipes, links
// to devices, to each other and out of the folder. Reading never hangs or
// fails loudly; a folder that is taken holds an image of its kind's size for
// every file it names; writing the backup taken again keeps the file outside
// as it was and gives the same backup back.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz/fuzz_support.h"
#include "model/input8_image.h"
#include "model/rs232_image.h"
#include "wholebus/backup_folder.h"

namespace fs = std::filesystem;

namespace {

const char* const NAMES[] = {"manifest.json", "input8-21001031.bin", "rs232-21002052.bin", "input8-21001031-at3.bin",
                             "other.bin"};
constexpr const char* OUTSIDE_TEXT = "precious outside data";

std::string Read(const fs::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

void Make(const fs::path& path, uint8_t kind, orv::fuzz::InputReader& input, const fs::path& outside)
{
    std::error_code ignored;
    switch (kind % 7) {
    case 0: {
        const std::vector<uint8_t> bytes = input.Bytes(input.Word());
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        break;
    }
    case 1:  // a sparse file of up to 16 MB
        std::ofstream(path, std::ios::binary).close();
        fs::resize_file(path, uintmax_t(input.Word()) << 8, ignored);
        break;
    case 2: fs::create_directory(path, ignored); break;
    case 3: mkfifo(path.c_str(), 0600); break;
    case 4: fs::create_symlink("/dev/zero", path, ignored); break;
    case 5: fs::create_symlink(outside, path, ignored); break;
    default: fs::create_symlink(NAMES[input.Byte() % std::size(NAMES)], path, ignored); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fs::path root = fs::temp_directory_path() / ("orv_fuzz_backup_folder_" + std::to_string(getpid()));
    const fs::path folder = root / "backup";
    const fs::path outside = root / "outside.txt";
    std::error_code ignored;
    fs::remove_all(root, ignored);
    fs::create_directories(folder);
    std::ofstream(outside, std::ios::binary) << OUTSIDE_TEXT;

    orv::fuzz::InputReader input(data, size);
    const size_t count = input.Byte() % 6;
    for (size_t i = 0; i < count && !input.Empty(); ++i) {
        const fs::path path = folder / NAMES[input.Byte() % std::size(NAMES)];
        if (!fs::exists(fs::symlink_status(path)))
            Make(path, input.Byte(), input, outside);
    }
    const orv::BackupFolder read = orv::ReadBackupFolder(folder.string());
    for (const std::string& problem : read.problems)
        FUZZ_CHECK(!problem.empty() && problem.find('\0') == std::string::npos);
    if (read.Readable()) {
        for (const orv::BackupDevice& device : read.devices) {
            if (!device.file)
                continue;
            const std::optional<orv::ConfigKind> kind = orv::ConfigKindOfType(device.record.typeCode);
            FUZZ_CHECK(kind);
            FUZZ_CHECK(device.image.size() ==
                       (*kind == orv::ConfigKind::Input8 ? orv::INPUT8_IMAGE_SIZE : orv::RS232_IMAGE_SIZE));
        }
        const orv::BackupSaveResult saved = orv::SaveBackupFolder(folder.string(), read.devices);
        if (saved.saved) {
            const orv::BackupFolder again = orv::ReadBackupFolder(folder.string());
            FUZZ_CHECK(again.Readable() && again.devices.size() == read.devices.size());
            for (size_t i = 0; i < read.devices.size(); ++i)
                FUZZ_CHECK(again.devices[i].file == read.devices[i].file && again.devices[i].image == read.devices[i].image);
        }
    }
    FUZZ_CHECK(Read(outside) == OUTSIDE_TEXT);
    fs::remove_all(root, ignored);
    return 0;
}
