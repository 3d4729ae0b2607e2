#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "net/MultipartPart.h"
#include "net/ServerConfig.h"
#include "report/ReportForm.h"
#include "report/ReportObserver.h"
#include "report/ReportRecorder.h"
#include "report/SendResult.h"

namespace veradex {

// The worker that delivers an e-mail spam report: for every attachment one
// upload of the file and one post of the twelve-field report form naming it.
// The verdict of the last post decides the closing message.
class ReportSender {
 public:
  static constexpr const char* kUploadPath = "/attach_query/attach.jsp";
  static constexpr const char* kFormPath = "/common/input_1.jsp";
  static constexpr const char* kUploadField = "attach";

  // recorder (may be null) hears how each attachment's report ended.
  ReportSender(ReportForm form, ReportObserver& observer, const ServerConfig& servers,
               ReportRecorder* recorder = nullptr);

  // The whole run, on the calling thread. The closing message follows the
  // last report's verdict. When every report was received the run ends with
  // OnCleanTempFolder, OnRunEnded, `sending` cleared, OnAttachmentsCleared
  // and OnAttachmentCountChanged. When none was, or a file that cannot be
  // loaded or a failed upload stopped the run before any was, only `sending`
  // is cleared: the list and the description stay. When some were received
  // and others not (refused, or never sent because the run stopped), the
  // received ones must not go out again: ReportTexts::kAttachmentsRemain, then
  // OnAttachmentsReceived, `sending` cleared and OnAttachmentCountChanged;
  // the description stays. Every run ends with OnRunResult, whose result is
  // also returned.
  SendResult Run(std::atomic<bool>& sending);

  // Starts Run on a new, detached thread with its own copy of the form and
  // the servers; the observer and `sending` must outlive the run (the report
  // window lives as long as the program). Returns false and clears `sending`
  // when the thread cannot be started.
  static bool Start(ReportForm form, ReportObserver& observer, const ServerConfig& servers, std::atomic<bool>& sending,
                    ReportRecorder* recorder = nullptr);
  // Workers started by Start whose thread has not yet ended. The program's
  // end must not run the process's exit handlers (the TLS library's clean-up
  // among them) under a worker that is still sending.
  static int RunningWorkers();

  // "SPM_%02d%02d_%02d_%2X.%s" with every space turned into "0".
  static std::string ServerFileName(int month, int day, int second, int random, const std::string& extension);
  // ReportTexts::kAttachmentsRemain for count attachments.
  static std::string RemainText(int count);

 private:
  void RunReports(std::atomic<bool>& sending);
  std::string FormText(const std::string& serverFileName) const;
  // The end of a run in which not every report was received (received[i]:
  // the verdict of attachment i). Clears `sending`.
  void KeepUnreceived(const std::vector<bool>& received, std::atomic<bool>& sending);
  // Tells the recorder of attachment `index`; `loaded` is its part when its file was loaded.
  void Record(std::size_t index, const std::string& serverFileName, ReportVerdict verdict,
              const MultipartPart* loaded = nullptr, const std::string& answer = std::string());

  ReportForm form_;
  ReportObserver& observer_;
  ServerConfig servers_;
  ReportRecorder* recorder_;
  SendResult result_;
};

}  // namespace veradex
