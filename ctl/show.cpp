// show: the configuration in a .bin file as text, one line per row, so that
// two backups can be compared with diff.
#include <ostream>
#include <span>

#include "ctl/commands.h"
#include "ctl/config_transfer.h"
#include "ctl/device_list.h"
#include "model/catalogue.h"
#include "model/input8_image.h"
#include "model/rs232_image.h"
#include "wholebus/config_diff.h"

namespace orv {

namespace {

std::string Numbers(const std::vector<int>& spins, const std::vector<std::string>& texts)
{
    std::string line = "params";
    for (int value : spins)
        line += " " + std::to_string(value);
    for (const std::string& text : texts)
        line += " " + (text.empty() ? std::string("0") : text);
    return line;
}

std::string ChangeText(ChangeType change)
{
    switch (change) {
    case ChangeType::Change: return "Change";
    case ChangeType::Open: return "Open";
    case ChangeType::Close: return "Close";
    }
    return StrF("change %u", unsigned(change));
}

void ShowInput8(const std::vector<uint8_t>& image, std::ostream& out)
{
    const Input8Config config = DecodeInput8Image(image.data());
    out << "Input8 " << QuotedText(config.name) << '\n';
    for (size_t r = 0; r < config.rows.size(); ++r) {
        const InputRow& row = config.rows[r];
        const std::string destination = row.destination == 0 ? "Unused" : std::to_string(row.destination);
        std::string line = StrF("row %2zu  input %u  %-6s  to %-9s  %-18s", r + 1, unsigned(row.input) + 1,
                                ChangeText(row.change).c_str(), destination.c_str(), ActionName(row.action).c_str());
        const ParameterValues values = DecodeParameters(row.action, row.parameters);
        if (GetParamSpec(row.action)) {
            line += "  " + Numbers(values.spins, values.texts);
        } else if (row.action != ACTION_UNUSED) {
            line += "  bytes";
            for (uint8_t byte : row.parameters)
                line += StrF(" %02X", byte);
        } else if (!values.freeText.empty()) {
            line += "  text " + QuotedText(values.freeText);
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
}

void ShowRS232(const std::vector<uint8_t>& image, std::ostream& out)
{
    const std::optional<RS232Config> config = ParseRS232Image(std::span<const uint8_t>(image.data(), image.size()));
    out << "RS232 " << QuotedText(config->name) << "  rate " << config->baudRate << '\n';
    for (size_t r = 0; r < config->rows.size(); ++r) {
        const RS232Row& row = config->rows[r];
        // A Hex text ends in the blank after its last byte, which is no part
        // of the string; an ASCII text is shown as it is, trailing blanks too.
        std::string text = row.text;
        if (row.type == StringType::Hex)
            text.erase(text.find_last_not_of(' ') + 1);
        const std::string string = (row.type == StringType::Hex ? "hex " : "ascii ") + QuotedText(text);
        std::string destination = std::to_string(row.destination);
        if (row.destination == DEST_UNUSED)
            destination = "Unused";
        else if (row.destination == DEST_BROADCAST)
            destination = "Broadcast";
        std::string line = StrF("row %2zu  %-24s  to %-9s  %-18s", r + 1, string.c_str(), destination.c_str(),
                                ActionName(row.action).c_str());
        if (GetParamSpec(row.action))
            line += "  " + Numbers(row.spinValues, row.freeTexts);
        else if (!row.command.empty())
            line += "  command " + QuotedText(row.command);
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
}

}  // namespace

int ShowCommand(Run& run)
{
    const std::string& path = run.line.operands[0];
    const AnyConfigFile file = LoadAnyConfigFile(path);
    if (!file.kind)
        return run.Fail(EXIT_FILE, AnyConfigFileProblem(path, file));
    if (*file.kind == ConfigKind::Input8)
        ShowInput8(file.input8.image, run.terminal.out);
    else
        ShowRS232(file.rs232.image, run.terminal.out);
    return EXIT_OK;
}

}  // namespace orv
