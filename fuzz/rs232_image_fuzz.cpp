// RS232 images as a device or a file may hold them: any 4064 bytes. An image
// is accepted or refused as a whole; what an accepted one shows is what its
// device form carries, and saving what it shows stores the same rows again
// (rows without a string are not stored) or is refused with a message.
#include <algorithm>

#include "config/config_kind.h"
#include "config/rs232_build.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_rs232.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> buffer(orv::RS232_IMAGE_SIZE, 0);
    std::copy_n(data, std::min(size, buffer.size()), buffer.begin());

    const std::optional<size_t> length = orv::RS232ImageLength(buffer);
    const std::optional<orv::RS232Config> shown = orv::ParseRS232Image(buffer);
    FUZZ_CHECK(length.has_value() == shown.has_value());
    if (!shown)
        return 0;
    FUZZ_CHECK(*length >= orv::RS232_HEADER_SIZE + 2 && *length <= orv::RS232_IMAGE_SIZE);
    FUZZ_CHECK(shown->rows.size() <= orv::RS232_MAX_ROWS);
    const std::optional<orv::fuzz::StoredRS232> stored = orv::fuzz::StoredForm(*shown);
    FUZZ_CHECK(stored.has_value());

    // What is written to the device is what was shown.
    std::vector<uint8_t> device = orv::DeviceFormOfFile(orv::ConfigKind::RS232, buffer);
    FUZZ_CHECK(device.size() == *length);
    device.resize(orv::RS232_IMAGE_SIZE, 0);
    const std::optional<orv::RS232Config> written = orv::ParseRS232Image(device);
    FUZZ_CHECK(written && orv::fuzz::StoredForm(*written) == stored);

    // Saving what is shown stores the same rows, and the image of that is stable.
    orv::fuzz::QuietPrompts prompts;
    orv::NullLog log;
    orv::SteadyClock clock;
    orv::Services services{clock, log, prompts};
    // String entries of a foreign image may share bytes, so that what it shows
    // can be more than an image holds: the builder then refuses, and says so.
    const auto built = orv::BuildRS232Image(*shown, std::nullopt, false, services);
    if (!built) {
        FUZZ_CHECK(prompts.boxes > 0);
        return 0;
    }
    const std::optional<orv::RS232Config> reread = orv::ParseRS232Image(built->buffer);
    FUZZ_CHECK(reread && orv::fuzz::StoredForm(*reread) == stored);
    return 0;
}
