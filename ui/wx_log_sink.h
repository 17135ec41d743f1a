// The core's log lines go into wx's log, whose target is the log window.
#pragma once

#include "services/log.h"

namespace orv {

class WxLogSink final : public LogSink {
public:
    void Message(const std::string& line) override;
};

}  // namespace orv
