// The report worker's link to the window once the window has gone (as at the
// end of the program while a report is still under way).
#include <gtest/gtest.h>

#include <thread>

#include "report/ReportSender.h"
#include "report/ReportTexts.h"
#include "support/RecordingMessageSink.h"
#include "ui/report/ReportWindowObserver.h"

namespace veradex {
namespace {

TEST(ReportWindowObserverTest, WorkerMessagesAfterTheWindowWentAreRefusedUnseen) {
  test::RecordingMessageSink sink;
  test::ScopedMessageSink scoped(&sink);
  ReportWindowObserver observer(nullptr);
  observer.Detach();

  int failed = -1;
  int question = -1;
  std::thread worker([&] {
    failed = observer.ShowMessage(ReportTexts::Get(ReportTexts::kReportFailed), kStyleStop);
    question = observer.ShowMessage("?", kStyleQuestion);
    // Notices for the window are dropped, not queued for a GUI that may be gone.
    observer.OnProgress(50);
    observer.OnRunEnded();
    observer.OnAttachmentsCleared();
    observer.OnAttachmentsReceived({0});
    observer.OnAttachmentCountChanged();
  });
  worker.join();
  EXPECT_EQ(sink.Count(), 0u);
  EXPECT_EQ(failed, kIdCancel);
  EXPECT_EQ(question, kIdNo);
}

}  // namespace
}  // namespace veradex
