#include "ui/report/ReportVersionActions.h"

#include <cstdlib>

#include <wx/utils.h>

#include "platform/MessageSink.h"

namespace veradex {

int ReportVersionActions::ShowMessage(const std::string& text, unsigned style) {
  return MessageSink::Current().ShowMessage(text, style);
}

void ReportVersionActions::OpenUrl(std::string url) { wxLaunchDefaultBrowser(wxString::FromUTF8(url.c_str())); }

void ReportVersionActions::ExitProcess(int code) { std::exit(code); }

}  // namespace veradex
