#pragma once

#include <cstddef>
#include <string>

namespace veradex {

// What stops the send button, in the order it is tested; the first one found
// is the answer.
enum class FormProblem {
  kNone,
  kSending,           // a report is under way
  kUnstorableText,    // a field holds a character code page 949 cannot carry
  kNoName,            // name or company name empty
  kNoTelephone,       // first telephone part empty (the others may be)
  kNoEmail,           // e-mail empty (its form is not tested)
  kPasswordMismatch,  // a password that differs from its confirmation
  kNoAttachment,      // the attachment list is empty
};

// The form checks of the e-mail report and the description's length limit.
// Texts are code page 949 bytes. The attachments themselves are tested by
// AttachmentRules afterwards, row by row.
class ReportFormCheck {
 public:
  // The description stops short of this many bytes (2000 Hangul syllables).
  static constexpr std::size_t kContentLimit = 4000;

  struct Fields {
    bool sending = false;
    // The label of the first field that could not be converted to code page
    // 949; empty when every field could.
    std::string unstorableField;
    std::string name, tel1, email, password, passwordConfirm;
    std::size_t attachmentCount = 0;
  };

  static FormProblem Check(const Fields& fields);
  // The message for a problem; kUnstorableText names the field.
  static std::string MessageOf(FormProblem problem, const std::string& field = std::string());

  // The description has reached the limit and must be cut.
  static bool ReachesContentLimit(const std::string& content);
  // How many whole characters of the description fit below the limit: a
  // double-byte character across it goes whole, never half of it.
  static std::size_t CharactersWithinLimit(const std::string& content);
  static std::string ContentLimitMessage();
};

}  // namespace veradex
