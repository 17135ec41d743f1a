// decode: captured bus traffic, hexadecimal bytes on standard input, as one
// line per frame or acknowledgement. The bytes go through the link's receiver
// one at a time and each body through the codec; what the receiver passes
// over or drops is reported as garbage or as a broken frame.
#include <cctype>
#include <istream>
#include <iterator>
#include <ostream>

#include "ctl/commands.h"
#include "link/commands.h"
#include "link/frame_codec.h"
#include "link/rx_receiver.h"

namespace orv {

namespace {

std::string HexBytes(const std::vector<uint8_t>& bytes)
{
    std::string text;
    for (uint8_t byte : bytes)
        text += StrF(text.empty() ? "%02X" : " %02X", byte);
    return text;
}

// The bytes of hexadecimal text with blanks and line breaks anywhere; nothing
// after the error line for anything else.
std::optional<std::vector<uint8_t>> ReadHex(Run& run)
{
    const std::string text((std::istreambuf_iterator<char>(run.terminal.in)), std::istreambuf_iterator<char>());
    std::string digits;
    int lineNumber = 1;
    for (char c : text) {
        if (c == '\n')
            ++lineNumber;
        if (std::isspace(static_cast<unsigned char>(c)))
            continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            run.Warn(StrF("line %d: '%c' is no hexadecimal digit", lineNumber, c));
            return std::nullopt;
        }
        digits += c;
    }
    if (digits.size() % 2 != 0) {
        run.Warn("an odd number of hexadecimal digits: the last byte is incomplete");
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < digits.size(); i += 2)
        bytes.push_back(uint8_t(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

// "to 255  from 0  MODULE_INFO_REQUEST  payload 00  crc good" for a message.
std::string FrameLine(const UnpackedMessage& message)
{
    const unsigned command = message.command;
    const char* name = CommandName(command);
    return StrF("frame  to %u  from %u  %s  payload %s  crc %s", message.destination, message.source,
                name ? name : StrF("command %u", command).c_str(),
                message.payload.empty() ? "-" : HexBytes(message.payload).c_str(), message.crcOk ? "good" : "bad");
}

class Decoder {
public:
    explicit Decoder(std::ostream& out) : out_(out) {}

    void Byte(uint8_t byte)
    {
        const RxState before = rx_.State();
        if (before == RxState::Idle && byte != FRAME_START && byte != ACK_BYTE) {
            garbage_.push_back(byte);
            return;
        }
        const RxEvent event = rx_.Step(byte);
        if (before == RxState::Idle) {
            FlushGarbage();
            if (event == RxEvent::Ack)
                out_ << "ack\n";
            else
                frame_ = {byte};
            return;
        }
        if (rx_.State() == RxState::Discard) {
            // A marker byte inside the frame cut it. The link ignores the bus
            // until its next request; a reader of captures reads on.
            out_ << "broken frame  " << HexBytes(frame_) << "  (cut by " << StrF("%02X", byte) << ")\n";
            frame_.clear();
            rx_.Reset();
            Byte(byte);
            return;
        }
        frame_.push_back(byte);
        if (rx_.State() == RxState::InFrame)
            return;
        const int count = int(frame_.size()) - 2;
        const std::optional<UnpackedMessage> message =
            event == RxEvent::BodyComplete ? UnpackMessage(rx_.Body(), count) : std::nullopt;
        if (message)
            out_ << FrameLine(*message) << '\n';
        else
            out_ << "broken frame  " << HexBytes(frame_) << "  (a body of " << count << (count == 1 ? " byte" : " bytes")
                 << " fits no message)\n";
        frame_.clear();
    }

    void End()
    {
        FlushGarbage();
        if (!frame_.empty())
            out_ << "unfinished frame  " << HexBytes(frame_) << '\n';
    }

private:
    void FlushGarbage()
    {
        if (garbage_.empty())
            return;
        out_ << "garbage  " << HexBytes(garbage_) << "  (" << garbage_.size()
             << (garbage_.size() == 1 ? " byte)\n" : " bytes)\n");
        garbage_.clear();
    }

    std::ostream& out_;
    RxReceiver rx_{uint8_t(BodyLengthForRaw(6))};
    std::vector<uint8_t> garbage_;
    std::vector<uint8_t> frame_;
};

}  // namespace

int DecodeCommand(Run& run)
{
    const std::optional<std::vector<uint8_t>> bytes = ReadHex(run);
    if (!bytes)
        return EXIT_FILE;
    Decoder decoder(run.terminal.out);
    for (uint8_t byte : *bytes)
        decoder.Byte(byte);
    decoder.End();
    return EXIT_OK;
}

}  // namespace orv
