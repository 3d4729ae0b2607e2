#pragma once

#include "net/TransferObserver.h"
#include "platform/MessageSink.h"

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
  // Refresh the attachment count label.
  virtual void OnAttachmentCountChanged() = 0;
};

}  // namespace veradex
