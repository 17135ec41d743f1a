// The receiver of the bus link: a state machine fed one byte at a time that
// tells acknowledgements from frames and collects frame bodies. It does no
// input or output; the link reads the bytes and decodes the bodies.
#pragma once

#include <cstdint>

#include "link/frame_codec.h"

namespace orv {

enum class RxState { Idle, InFrame, Discard };

enum class RxEvent {
    None,
    Ack,           // ACK_BYTE outside any frame
    BodyComplete,  // an end marker closed a body of minimum..RX_BODY_LIMIT bytes
};

class RxReceiver {
public:
    // The link takes bodies from RX_BODY_MINIMUM on: every message it expects
    // carries at least 2 payload bytes.
    RxReceiver() = default;
    // A reader of captured traffic passes BodyLengthForRaw(6) to take the
    // tool's own requests of 0 and 1 payload bytes too.
    explicit RxReceiver(uint8_t minimumBody) : minimumBody_(minimumBody) {}

    RxEvent Step(uint8_t byte);
    // Back to Idle; the only way out of Discard.
    void Reset() { state_ = RxState::Idle; }

    RxState State() const { return state_; }
    bool AckSeen() const { return ackSeen_; }
    void ClearAck() { ackSeen_ = false; }
    // The body collected up to the last BodyComplete.
    const uint8_t* Body() const { return body_; }
    uint8_t Count() const { return count_; }

private:
    uint8_t minimumBody_ = RX_BODY_MINIMUM;
    RxState state_ = RxState::Idle;
    uint8_t body_[RX_BODY_LIMIT] = {};
    // Body bytes since the start marker; bytes past the buffer are counted but
    // not stored, and the count stops at 255 so that a long run never wraps
    // back into the decodable range.
    uint8_t count_ = 0;
    bool ackSeen_ = false;
};

}  // namespace orv
