// Ctrl+C as the core sees it in orvctl: the requests counted by the
// terminal's stop source, and the core's answer to one told on standard
// error, with what a further Ctrl+C does.
#pragma once

#include <string>
#include <utility>

#include "ctl/orvctl.h"
#include "ctl/terminal_prompts.h"
#include "services/stop_requests.h"

namespace orv {

class TerminalStop final : public StopRequests {
public:
    // prefix: "orvctl: write-config: ", before every answer.
    TerminalStop(ErrorLine& errors, std::string prefix, StopSource* source)
        : errors_(errors), prefix_(std::move(prefix)), source_(source)
    {
    }

    // From now on Ctrl+C is counted instead of ending the program.
    void Arm();
    int Count() override { return armed_ && source_ ? source_->Count() : 0; }
    bool Asked() { return Count() > 0; }
    // "orvctl: write-config: finishing the write of block 7 of 15; Ctrl+C again abandons it".
    void Answer(const std::string& text) override;

    // Whether the run has said what became of the stop it was asked for.
    bool told = false;

private:
    ErrorLine& errors_;
    std::string prefix_;
    StopSource* source_;
    bool armed_ = false;
};

}  // namespace orv
