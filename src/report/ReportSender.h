#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "net/ServerConfig.h"
#include "report/ReportForm.h"
#include "report/ReportObserver.h"

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
  // 접수되지 않은 첨부파일 %d개가 목록에 남아 있습니다. 다시 보내주시기 바랍니다.
  static constexpr const char* kAttachmentsRemain =
      "\xc1\xa2\xbc\xf6\xb5\xc7\xc1\xf6\x20\xbe\xca\xc0\xba\x20\xc3\xb7\xba\xce\xc6\xc4\xc0\xcf\x20\x25\x64"
      "\xb0\xb3\xb0\xa1\x20\xb8\xf1\xb7\xcf\xbf\xa1\x20\xb3\xb2\xbe\xc6\x20\xc0\xd6\xbd\xc0\xb4\xcf\xb4\xd9\x2e"
      "\x20\xb4\xd9\xbd\xc3\x20\xba\xb8\xb3\xbb\xc1\xd6\xbd\xc3\xb1\xe2\x20\xb9\xd9\xb6\xf8\xb4\xcf\xb4\xd9\x2e";

  ReportSender(ReportForm form, ReportObserver& observer, const ServerConfig& servers);

  // The whole run, on the calling thread. The closing message follows the
  // last report's verdict. When every report was received the run ends with
  // OnCleanTempFolder, OnRunEnded, `sending` cleared, OnAttachmentsCleared
  // and OnAttachmentCountChanged. When none was, or a file that cannot be
  // loaded or a failed upload stopped the run before any was, only `sending`
  // is cleared: the list and the description stay. When some were received
  // and others not (refused, or never sent because the run stopped), the
  // received ones must not go out again: kAttachmentsRemain, then
  // OnAttachmentsReceived, `sending` cleared and OnAttachmentCountChanged;
  // the description stays.
  void Run(std::atomic<bool>& sending);

  // Starts Run on a new, detached thread with its own copy of the form and
  // the servers; the observer and `sending` must outlive the run (the report
  // window lives as long as the program). Returns false and clears `sending`
  // when the thread cannot be started.
  static bool Start(ReportForm form, ReportObserver& observer, const ServerConfig& servers, std::atomic<bool>& sending);
  // Workers started by Start whose thread has not yet ended. The program's
  // end must not run the process's exit handlers (the TLS library's clean-up
  // among them) under a worker that is still sending.
  static int RunningWorkers();

  // "SPM_%02d%02d_%02d_%2X.%s" with every space turned into "0".
  static std::string ServerFileName(int month, int day, int second, int random, const std::string& extension);
  // kAttachmentsRemain for count attachments.
  static std::string RemainText(int count);

 private:
  std::string FormText(const std::string& serverFileName) const;
  // The end of a run in which not every report was received (received[i]:
  // the verdict of attachment i). Clears `sending`.
  void KeepUnreceived(const std::vector<bool>& received, std::atomic<bool>& sending);

  ReportForm form_;
  ReportObserver& observer_;
  ServerConfig servers_;
};

}  // namespace veradex
