#pragma once

#include <wx/string.h>

#include "report/AttachedMail.h"

namespace veradex {

// One row of the attachment list: the file as the user attached it.
struct AttachmentEntry {
  wxString name;      // the part of the path after the last separator
  wxString path;      // the full path exactly as it was added; this is what is uploaded
  wxString sizeText;  // size in bytes when added, plain decimal; "0" when unreadable
  wxString summary;   // what the file is (subject, sender, ...), or that it is no mail
  bool notMail = false;
  AttachedMail mail;  // what was read of the file when it was added
};

}  // namespace veradex
