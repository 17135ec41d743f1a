#include "ctl/terminal_stop.h"

namespace orv {

void TerminalStop::Arm()
{
    if (armed_ || !source_)
        return;
    source_->Arm();
    armed_ = true;
}

void TerminalStop::Answer(const std::string& text)
{
    errors_.Line(prefix_ + text + "; Ctrl+C again abandons it");
}

}  // namespace orv
