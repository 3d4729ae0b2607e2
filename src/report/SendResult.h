#pragma once

#include <algorithm>
#include <optional>
#include <vector>

#include "net/NetError.h"
#include "report/ReportForm.h"
#include "report/ReportRecorder.h"

namespace veradex {

// How one attachment's report of a run ended.
struct AttachmentOutcome {
  ReportVerdict verdict = ReportVerdict::kNotSent;
  bool tried = false;             // the run came to it (a stopped run never reaches the rest)
  bool unloadable = false;        // its file could not be loaded
  std::optional<NetError> error;  // the exchange that failed for it, if one did
};

// What a run of the submission worker did: the form as it was sent and each
// attachment's outcome, in the form's order. Whoever decides what becomes of
// a report that did not go through (the outbox) reads it.
struct SendResult {
  ReportForm form;
  std::vector<AttachmentOutcome> attachments;

  bool AllReceived() const {
    return !attachments.empty() && std::all_of(attachments.begin(), attachments.end(), [](const AttachmentOutcome& a) {
      return a.verdict == ReportVerdict::kAccepted;
    });
  }
};

}  // namespace veradex
