#pragma once

#include <string>
#include <vector>

#include "report/AttachedMail.h"

namespace veradex {

// The report window's form as it stood when a send started: the submission
// worker works on this copy, never on the live controls. Texts are CP949.
struct ReportForm {
  std::string name, email, tel1, tel2, tel3, content, password;
  std::vector<std::string> attachmentPaths;
  // What the attachment list read of each file when it was added, in the
  // same order; may be shorter (the rest is learnt from the uploaded bytes).
  std::vector<AttachedMail> attachedMails;
};

}  // namespace veradex
