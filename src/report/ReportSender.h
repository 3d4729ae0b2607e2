#pragma once

#include <atomic>
#include <string>

#include "net/ServerConfig.h"
#include "report/ReportForm.h"
#include "report/ReportObserver.h"
#include "report/ReportRecorder.h"

namespace veradex {

// The worker that delivers an e-mail spam report: for every attachment one
// upload of the file and one post of the twelve-field report form naming it.
// The verdict of the last post decides the closing message.
class ReportSender {
 public:
  static constexpr const char* kUploadPath = "/attach_query/attach.jsp";
  static constexpr const char* kFormPath = "/common/input_1.jsp";
  static constexpr const char* kUploadField = "attach";
  // 정상적으로 접수되었습니다.
  static constexpr const char* kReportReceived =
      "\xc1\xa4\xbb\xf3\xc0\xfb\xc0\xb8\xb7\xce\x20\xc1\xa2\xbc\xf6\xb5\xc7\xbe\xfa\xbd\xc0\xb4\xcf\xb4\xd9\x2e";
  // 전송이 실패했습니다.
  static constexpr const char* kReportFailed =
      "\xc0\xfc\xbc\xdb\xc0\xcc\x20\xbd\xc7\xc6\xd0\xc7\xdf\xbd\xc0\xb4\xcf\xb4\xd9\x2e";

  // recorder (may be null) hears how each attachment's report ended.
  ReportSender(ReportForm form, ReportObserver& observer, const ServerConfig& servers,
               ReportRecorder* recorder = nullptr);

  // The whole run, on the calling thread. A completed run ends with the
  // message, OnCleanTempFolder (success only), OnRunEnded, `sending` cleared,
  // OnAttachmentsCleared and OnAttachmentCountChanged; a run completes when
  // the last report was received. A run stopped by a file that cannot be
  // loaded or an upload that fails, and a run whose last report was refused,
  // only clear `sending` (the last with the failure message): the list and
  // the description stay.
  void Run(std::atomic<bool>& sending);

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

 private:
  std::string FormText(const std::string& serverFileName) const;
  void Record(const std::string& path, const std::string& serverFileName, ReportVerdict verdict,
              const std::string& answer = std::string());

  ReportForm form_;
  ReportObserver& observer_;
  ServerConfig servers_;
  ReportRecorder* recorder_;
};

}  // namespace veradex
