#pragma once

#include <cstddef>
#include <string>

#include "platform/FileStamp.h"

namespace veradex {

class MessageSink;
struct AttachedMail;

// What became of one attachment's report.
enum class ReportVerdict : int {
  kAccepted = 1,  // the centre said the report was received
  kRefused = 2,   // the report was posted but not received
  kNotSent = 3,   // the file could not be loaded or uploaded
};

// One attachment's report as it ended.
struct ReportedAttachment {
  std::string path;            // as the file system spells it
  std::string serverFileName;  // the name it was uploaded under ("SPM_...")
  ReportVerdict verdict = ReportVerdict::kNotSent;
  std::string answer;  // the centre's answer to the report form (code page 949 as sent); empty when none
  // The file's bytes as they were uploaded, for the length of the call;
  // nullptr when the file was not loaded (the recorder then reads the file).
  const char* content = nullptr;
  std::size_t contentLength = 0;
  // What was read of the file when it was attached (may be null), and the
  // stamp of the file the uploaded bytes came from: when that is still the
  // file read then, its summary and SHA-256 describe the upload.
  const AttachedMail* attached = nullptr;
  FileStamp loadedStamp{};
};

// Told by the submission worker, on its own thread, how each report of a run
// ended. Whatever it does must not stop the run: problems of its own are said
// through the sink (the worker's message box) and swallowed.
class ReportRecorder {
 public:
  virtual ~ReportRecorder() = default;
  // A run begins; the reports that follow belong to it.
  virtual void OnRunStarted() = 0;
  virtual void OnAttachmentReported(const ReportedAttachment& report, MessageSink& sink) = 0;
};

}  // namespace veradex
