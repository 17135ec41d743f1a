#include "config/rs232_build.h"

namespace orv {

void ShowRS232Refusal(Prompts& prompts, const RS232Refusal& refusal)
{
    prompts.Message(refusal.caption, refusal.text, Buttons::Ok, Icon::Exclamation);
}

std::optional<RS232BuiltImage> BuildRS232Image(const RS232Config& config, std::optional<size_t> skipRow,
                                               bool warnEmpty, Services& services)
{
    RS232Build build = BuildRS232ImageOrRefusal(config, skipRow, services.log);
    if (build.refusal)
        ShowRS232Refusal(services.prompts, *build.refusal);
    else if (build.leftOutEmptyRows && warnEmpty)
        ShowRS232Refusal(services.prompts, EmptyRowsWarning());
    return std::move(build.image);
}

std::optional<RS232Config> DeleteRS232Row(const RS232Config& config, size_t rowIndex, Services& services)
{
    const auto image = BuildRS232Image(config, rowIndex, false, services);
    if (!image)
        return std::nullopt;
    return ParseRS232Image(image->buffer);
}

}  // namespace orv
