// decode: captured bus traffic, hexadecimal bytes on standard input, as one
// line per frame or acknowledgement. The bytes go through the link's receiver
// one at a time and each body through the codec; what the receiver passes
// over or drops is reported as garbage or as a broken frame.
#include <cctype>
#include <cerrno>
#include <cstring>
#include <istream>
#include <ostream>

#include "ctl/commands.h"
#include "ctl/device_list.h"
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

// Hexadecimal text with blanks and line breaks anywhere, taken line by line
// as it arrives, so that endless input is decoded as it comes and no line
// can take more memory than MAX_LINE_LENGTH.
class HexLines {
public:
    static constexpr size_t MAX_LINE_LENGTH = 4096;

    HexLines(Run& run, std::istream& in) : run_(run), in_(in) {}

    // The bytes of the next line; nothing at the end of the input, or after
    // the error line (then Failed is true).
    std::optional<std::vector<uint8_t>> Next()
    {
        std::string line;
        int c = 0;
        while ((c = in_.get()) != std::char_traits<char>::eof() && c != '\n') {
            if (line.size() == MAX_LINE_LENGTH)
                return Fail(StrF("line %d is longer than %zu characters", lineNumber_ + 1, MAX_LINE_LENGTH));
            line += char(c);
        }
        if (c == std::char_traits<char>::eof() && line.empty())
            return std::nullopt;
        ++lineNumber_;
        std::vector<uint8_t> bytes;
        for (char digit : line) {
            const auto byte = static_cast<unsigned char>(digit);
            if (std::isspace(byte))
                continue;
            if (!std::isxdigit(byte))
                return Fail(StrF("line %d: '", lineNumber_) + TerminalText(std::string(1, digit)) +
                            "' is no hexadecimal digit");
            const int value = std::isdigit(byte) ? byte - '0' : std::toupper(byte) - 'A' + 10;
            if (pending_ < 0) {
                pending_ = value;
            } else {
                bytes.push_back(uint8_t(pending_ << 4 | value));
                pending_ = -1;
            }
        }
        return bytes;
    }

    // At the end of the input: false, after the error line, when a byte is incomplete.
    bool EndsComplete()
    {
        if (pending_ >= 0)
            Fail("an odd number of hexadecimal digits: the last byte is incomplete");
        return !failed_;
    }

    bool Failed() const { return failed_; }

private:
    std::nullopt_t Fail(const std::string& text)
    {
        run_.Warn(text);
        failed_ = true;
        return std::nullopt;
    }

    Run& run_;
    std::istream& in_;
    int lineNumber_ = 0;
    int pending_ = -1;  // the first digit of a byte whose second is still to come
    bool failed_ = false;
};

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
            if (garbage_.size() == GARBAGE_LINE_BYTES)
                FlushGarbage();
            return;
        }
        const RxEvent event = rx_.Step(byte);
        if (before == RxState::Idle) {
            FlushGarbage();
            if (event == RxEvent::Ack)
                out_ << "ack\n";
            else
                StartFrame(byte);
            return;
        }
        if (rx_.State() == RxState::Discard) {
            // A marker byte inside the frame cut it. The link ignores the bus
            // until its next request; a reader of captures reads on.
            out_ << "broken frame  " << FrameText() << "  (cut by " << StrF("%02X", byte) << ")\n";
            frame_.clear();
            rx_.Reset();
            Byte(byte);
            return;
        }
        ++frameLength_;
        if (frame_.size() < size_t(MAX_FRAME))
            frame_.push_back(byte);
        if (rx_.State() == RxState::InFrame)
            return;
        const int count = frameLength_ - 2;
        const std::optional<UnpackedMessage> message =
            event == RxEvent::BodyComplete ? UnpackMessage(rx_.Body(), count) : std::nullopt;
        if (message)
            out_ << FrameLine(*message) << '\n';
        else
            out_ << "broken frame  " << FrameText() << "  (a body of " << count << (count == 1 ? " byte" : " bytes")
                 << " fits no message)\n";
        frame_.clear();
    }

    void End()
    {
        FlushGarbage();
        if (!frame_.empty())
            out_ << "unfinished frame  " << FrameText() << '\n';
    }

private:
    // Noise is reported in lines of this many bytes, however long it goes on.
    static constexpr size_t GARBAGE_LINE_BYTES = 64;

    void StartFrame(uint8_t byte)
    {
        frame_ = {byte};
        frameLength_ = 1;
    }

    // The frame's bytes; of a frame longer than any message, the first MAX_FRAME.
    std::string FrameText() const
    {
        return HexBytes(frame_) + (frameLength_ > int(frame_.size()) ? " ..." : "");
    }

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
    int frameLength_ = 0;
};

}  // namespace

int DecodeCommand(Run& run)
{
    HexLines lines(run, run.terminal.in);
    Decoder decoder(run.terminal.out);
    while (const std::optional<std::vector<uint8_t>> bytes = lines.Next()) {
        for (uint8_t byte : *bytes)
            decoder.Byte(byte);
        run.terminal.out.flush();
    }
    // A read that failed (standard input a folder) ends the lines as the end of the input would.
    if (run.terminal.in.bad())
        return run.Fail(EXIT_FILE, "cannot read the standard input" +
                                       (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()));
    if (lines.Failed() || !lines.EndsComplete())
        return EXIT_FILE;
    decoder.End();
    return EXIT_OK;
}

}  // namespace orv
