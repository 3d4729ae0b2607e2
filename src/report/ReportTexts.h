#pragma once

#include <string>

#include "net/NetError.h"

namespace veradex {

// Every message the report worker and the version check show, and which one
// a failed exchange with the centre's servers shows. The texts are written as
// UTF-8 in ReportTexts.cpp and handed out as code page 949 bytes, converted
// once on first use.
class ReportTexts {
 public:
  enum Text {
    kConnectFailed,       // 서버 연결에 실패 하였습니다.
    kSendFailed,          // 전송이 실패했습니다.
    kRegistrationFailed,  // 등록이 실패하였습니다.
    kUploadFailed,        // 파일업로드중 실패하였습니다
    kNotReceived,         // 민원인님의 질문이 접수되지 않았습니다. 다시 시도해 주십시오.
    kReportReceived,      // 정상적으로 접수되었습니다.
    kUpgrade,             // 새로운 버전으로 업그레이드 하십시오
    kVersionUnreachable,  // 서버로의 접속이 실패하여 버전정보를 불러올 수 없습니다. …
    kAttachmentsRemain,  // 접수되지 않은 첨부파일 %d개가 목록에 남아 있습니다. … (printf format)
    // The send checks and the attachment rules.
    kStillSending,
    kUnstorableField,
    kNoName,
    kNoTelephone,
    kNoEmail,
    kPasswordMismatch,
    kNoAttachment,
    kContentLimitBefore,
    kContentLimitAfter,
    kTooManyFiles,
    kDuplicateFile,
    kNotMailFile,
    kOpenErrorPrefix,
    kFileTooLarge,
    kWrongExtension,
    kFileNotFound,
    kBadPath,
    kTooManyOpenFiles,
    kAccessDenied,
    kFolderNotFile,
    kDeviceError,
    kFileInUse,
    // The mail-client capture.
    kCaptureFailedBefore,  // before the support address
    kCaptureFailedAfter,   // after it
    kOneMessageOnly,
    // The mail summaries and the report history.
    kSubjectLabel,
    kFromLabel,
    kDateLabel,
    kFirstHopLabel,
    kSizeLabel,
    kBodyLabel,
    kBytes,
    kMissing,
    kNotMail,
    kDamagedMail,
    kUnreadable,
    kCsvHeader,  // the header line of the exported table (comma-separated)
    kVerdictAccepted,
    kVerdictRefused,
    kVerdictNotSent,
    kHistoryUnavailable,  // the history cannot be kept (said once per run of the program)
    kHistoryDamaged,      // the damaged history file was kept aside; %s: where
    // The outbox: reports kept until the centre can be reached.
    kOutboxQuestion,        // 인터넷 연결이 복구되면 자동으로 보내시겠습니까?
    kOutboxDelivered,       // %d: reports received
    kOutboxRefused,         // %d: reports refused
    kOutboxCertificate,     // tries stopped: certificate refused
    kOutboxUpgrade,         // tries stopped: upgrade forced
    kOutboxWaitingTip,      // %d: reports waiting
    kOutboxWaiting,         // 대기 중
    kOutboxSendNow,         // 지금 보내기
    kOutboxCancel,          // 취소
    kOutboxCancelQuestion,  // asked before an entry and its copies go
    kOutboxTooMany,         // %d: the most that may wait
    kOutboxTooLarge,        // %d: megabytes the copies may take
    kOutboxNotKept,         // the entry could not be written
    kOutboxDamaged,         // %s: where damaged entries were kept aside
    kOutboxBusy,            // the entry is being sent just now
    kOutboxNextTry,         // label of the next try's time
    kOutboxTriesStopped,    // instead of a time when the tries stopped
    kTextCount,
    kReportFailed = kSendFailed,  // the closing message of a failed report
  };

  static const std::string& Get(Text text);

  // The message for a failed upload, report form or version page; the empty
  // text when the failure shows none.
  static const std::string& ForUpload(NetError error);
  static const std::string& ForForm(NetError error);
  static const std::string& ForPage(NetError error);
};

}  // namespace veradex
