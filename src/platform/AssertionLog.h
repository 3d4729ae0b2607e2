#pragma once

#include <cstdint>
#include <string>

#include <wx/string.h>

namespace veradex {

// Where a failed toolkit assertion goes in the program: one line on standard
// error and in the log file $XDG_STATE_HOME/Ambrel/veradex/veradex.log
// (~/.local/state when XDG_STATE_HOME is unset or relative; on Windows below
// %LOCALAPPDATA%). The folders are made on demand (0700); the file is only
// ever readable by its owner (0600) and starts afresh once it has grown to
// 1 MiB, the former content kept as veradex.log.1. The program then goes on:
// the user never sees the toolkit's assertion dialog.
class AssertionLog {
 public:
  static constexpr std::uintmax_t kRotateBytes = 1024 * 1024;

  // The log file's path; empty when no home folder is known.
  static std::string DefaultPath();

  // One line: time, place, function, condition and message.
  static std::string FormatLine(const wxString& file, int line, const wxString& function, const wxString& condition,
                                const wxString& message);
  // Appends text and a line end to the log at path, rotating first when the
  // file has reached kRotateBytes. False when the file cannot be written.
  static bool Append(const std::string& path, const std::string& text);

  // The toolkit's assertion handler (wxSetAssertHandler): standard error and
  // the default log file; never shows anything. Safe on any thread.
  static void Handler(const wxString& file, int line, const wxString& function, const wxString& condition,
                      const wxString& message);
};

}  // namespace veradex
