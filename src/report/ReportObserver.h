#pragma once

#include <cstddef>
#include <vector>

#include "net/TransferObserver.h"
#include "platform/MessageSink.h"
#include "report/SendResult.h"

namespace veradex {

// Everything the submission worker tells the report window. All calls come on
// the worker thread: ShowMessage blocks until the user has dismissed the
// message; OnProgress(n) sets the progress bar (0 to 100).
class ReportObserver : public MessageSink, public TransferObserver {
 public:
  // After a successful report, before the end messages: empty the temporary folder.
  virtual void OnCleanTempFolder() = 0;
  // The run has ended: clear the description and reload the controls.
  virtual void OnRunEnded() = 0;
  // The attachment list is to be emptied.
  virtual void OnAttachmentsCleared() = 0;
  // Some reports of the run were received and others not: the rows of the
  // received attachments (indices in the form's list) go, each with its
  // captured message if it was one; the other rows and the description stay.
  virtual void OnAttachmentsReceived(const std::vector<std::size_t>& received) = 0;
  // Refresh the attachment count label.
  virtual void OnAttachmentCountChanged() = 0;
  // The very last notice of every run: what became of each attachment.
  virtual void OnRunResult(const SendResult&) {}
};

}  // namespace veradex
