#pragma once

#include <string>
#include <vector>

namespace veradex {

// Why a file may not join the attachment list, or may not be sent.
enum class AttachmentProblem {
  kNone,
  kTooMany,         // five files are listed already
  kDuplicate,       // a listed file has the same name (any case, any folder)
  kNotMailFile,     // a dropped item whose extension is neither eml nor msg
  kCannotOpen,      // the file does not open for reading (or is a folder)
  kTooLarge,        // more than 2 MiB
  kWrongExtension,  // the path does not end in ".eml" or ".msg"
};

// Every rule of the attachments: at most five files, no two of the same
// name, only saved mails (".eml", ".msg"), each at most 2 MiB when sent.
// Paths are native file-system bytes; messages are code page 949.
class AttachmentRules {
 public:
  static constexpr int kMaxFiles = 5;
  static constexpr long long kMaxBytes = 2097152;

  struct Verdict {
    AttachmentProblem problem = AttachmentProblem::kNone;
    int error = 0;  // the system's error number when the file did not open
    bool Passed() const { return problem == AttachmentProblem::kNone; }
  };

  // The part of the path after the last separator (the whole path without one).
  static std::string NameOf(const std::string& path);
  // File names compare with ASCII letters folded and every other character exact.
  static bool SameName(const std::string& a, const std::string& b);

  // Whether a file of this name may join the listed names: the limit first,
  // then the name. The full paths play no part.
  static AttachmentProblem CheckAdd(const std::vector<std::string>& listedNames, const std::string& name);
  // The drop-time test: the text after the last "." of the path (the whole
  // path when there is none) is "eml" or "msg" in any case.
  static AttachmentProblem CheckDropped(const std::string& path);
  // The size the list shows: the bytes of a regular file, 0 when it cannot
  // be read (the file is still listed; the send-time test refuses it).
  static long long ListedSize(const std::string& path);
  // The send-time test of one file: it must open, hold at most kMaxBytes and
  // end in ".eml" or ".msg", tested in that order.
  static Verdict CheckFile(const std::string& path);

  static std::string MessageOf(const Verdict& verdict);
  static std::string MessageOf(AttachmentProblem problem) { return MessageOf(Verdict{problem, 0}); }
  // A failed open as the cause codes of the message number them (2 not
  // found, 3 bad path, 4 too many open files, 5 access denied, ...).
  static int CauseOf(int error);
  static std::string DescriptionOf(int error);
};

}  // namespace veradex
