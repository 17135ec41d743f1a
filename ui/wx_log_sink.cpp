#include "ui/wx_log_sink.h"

#include <wx/log.h>

#include "ui/wx_text.h"

namespace orv {

void WxLogSink::Message(const std::string& line)
{
    wxLogMessage("%s", ToWx(line));
}

}  // namespace orv
