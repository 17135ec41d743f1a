#include "port/port_records.h"

namespace orv {

void PortFailures::Fail(const std::string& line, std::string why)
{
    why_ = std::move(why);
    if (line == logged_)
        return;
    logged_ = line;
    log_->Message(line);
}

}  // namespace orv
