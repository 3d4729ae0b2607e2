#pragma once

#include <string>
#include <vector>

namespace veradex {

// The report window's form as it stood when a send started: the submission
// worker works on this copy, never on the live controls. Texts are CP949.
struct ReportForm {
  std::string name, email, tel1, tel2, tel3, content, password;
  std::vector<std::string> attachmentPaths;
};

}  // namespace veradex
