#include "link/rx_receiver.h"

namespace orv {

RxEvent RxReceiver::Step(uint8_t byte)
{
    switch (state_) {
    case RxState::Idle:
        if (byte == FRAME_START) {
            count_ = 0;
            state_ = RxState::InFrame;
        } else if (byte == ACK_BYTE) {
            ackSeen_ = true;
            return RxEvent::Ack;
        }
        return RxEvent::None;
    case RxState::InFrame:
        if (byte == FRAME_END) {
            state_ = RxState::Idle;
            return count_ >= minimumBody_ && count_ <= RX_BODY_LIMIT ? RxEvent::BodyComplete : RxEvent::None;
        }
        if (byte & 0x80) {
            state_ = RxState::Discard;
            return RxEvent::None;
        }
        if (count_ < RX_BODY_LIMIT)
            body_[count_] = byte;
        if (count_ < UINT8_MAX)
            ++count_;
        return RxEvent::None;
    case RxState::Discard:
        return RxEvent::None;
    }
    return RxEvent::None;
}

}  // namespace orv
