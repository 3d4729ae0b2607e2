// The outbox in the windows: the question after a send that could not reach
// the centre, the waiting rows of "신고 내역", the tray's tries and notice.
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/textctrl.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "ReportWindowSetup.h"
#include "app/TrayWindow.h"
#include "platform/Cp949.h"
#include "profile/MemoryProfileStore.h"
#include "profile/ServerSettings.h"
#include "report/Outbox.h"
#include "report/ReportHistory.h"
#include "report/ReportTexts.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "ui/report/AttachmentList.h"
#include "ui/report/EmailReportPanel.h"
#include "ui/report/HistoryWindow.h"
#include "ui/skin/SkinMessageBox.h"

namespace veradex {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WaitFor;

std::string Ko(const char* utf8) { return Cp949::FromUtf8(utf8); }

std::string Mail(const char* subjectUtf8, int n) {
  return "Message-ID: <o" + std::to_string(n) + "@spam.example>\r\nFrom: ad" + std::to_string(n) +
         "@spam.example\r\nSubject: " + Cp949::FromUtf8(subjectUtf8) + "\r\n\r\nbody\r\n";
}

// Records the messages and answers the outbox question as told; the
// question's box is drawn for the screenshot.
class QuestionSink : public test::RecordingMessageSink {
 public:
  int ShowMessage(const std::string& text, unsigned style) override {
    RecordingMessageSink::ShowMessage(text, style);
    if (text != ReportTexts::Get(ReportTexts::kOutboxQuestion)) return kIdOk;
    if (!shot) {
      shot = true;
      SkinMessageBox box(text, style, nullptr);
      if (box.CreateBox()) {
        EXPECT_TRUE(test::ShootIfAsked(&box, "outbox-question", 4)) << "outbox-question";
      }
    }
    return answer;
  }
  int answer = kIdYes;
  bool shot = false;
};

class OutboxQuestionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseTestCentre(store, centre, programDir.Path());
    test::UseSamplePerson();
    window = test::MakeReportWindow(pageDir.Path());
    ASSERT_NE(window, nullptr);
    window->SetOutbox(&outbox, [this] { ++kept; });
    window->Show();
    WaitFor([&] { return window->IsShownOnScreen(); }, std::chrono::seconds(2));
  }
  void TearDown() override { test::EndReportWindowTest(window); }

  test::ReportCentreHarness centre;
  MemoryProfileStore store;
  TempDir programDir, pageDir, files;
  QuestionSink sink;
  test::ScopedMessageSink scoped{&sink};
  Outbox outbox{files.File("outbox")};
  ReportWindow* window = nullptr;
  int kept = 0;
};

TEST_F(OutboxQuestionTest, AsksAfterAnUnreachableCentreAndKeepsOnlyOnYes) {
  const std::string question = ReportTexts::Get(ReportTexts::kOutboxQuestion);
  const struct {
    const char* what;
    bool centreDown;  // else the centre refuses the upload
    int answer;
    bool asked;
    int waiting;  // in the outbox afterwards
  } cases[] = {
      {"unreachable, No", true, kIdNo, true, 0},
      {"unreachable, Yes", true, kIdYes, true, 1},
      {"upload refused: not offered", false, kIdYes, false, 1},
  };
  const int port = centre.Centre().Port();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    sink.Clear();
    sink.answer = c.answer;
    if (c.centreDown) {
      centre.Centre().Stop();
    } else {
      ASSERT_TRUE(centre.Centre().Start(port));
      centre.Centre().SetAnswer(test::TestReportCentre::kUploadPath, test::TestReportCentre::Answer::UploadFailed());
    }
    const wxString description = wxString::FromUTF8("불법 대출 광고 메일");
    window->GetAttachmentList()->AddFile(
        wxString::FromUTF8(files.Write(std::string(c.what) + "/a.eml", Mail("대출", 1))));
    window->GetEdit(ReportWindow::kContent)->ChangeValue(description);
    const int keptBefore = kept;
    window->EmailReport().OnSend();
    ASSERT_TRUE(WaitFor([&] { return !window->EmailReport().IsSending(); }, std::chrono::seconds(30)));
    // The question, when there is one, comes after the failure's own message.
    WaitFor([&] { return sink.Count() >= (c.asked ? 2u : 1u); }, std::chrono::seconds(5));
    WaitFor([] { return false; }, std::chrono::milliseconds(200));
    const std::vector<test::RecordingMessageSink::Message> messages = sink.Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.front().text,
              ReportTexts::Get(c.centreDown ? ReportTexts::kConnectFailed : ReportTexts::kUploadFailed));
    EXPECT_EQ(messages.back().text == question, c.asked);
    if (c.asked) {
      EXPECT_EQ(messages.back().style, 0x24u);
    }
    EXPECT_EQ(outbox.WaitingCount(), c.waiting);
    const bool keptNow = c.asked && c.answer == kIdYes;
    EXPECT_EQ(kept - keptBefore, keptNow ? 1 : 0);
    EXPECT_EQ(window->GetAttachmentList()->Count(), keptNow ? 0 : 1);
    EXPECT_EQ(window->GetEdit(ReportWindow::kContent)->GetValue(), keptNow ? wxString() : description);
    if (keptNow) {
      const OutboxEntry entry = outbox.Waiting().front();
      EXPECT_EQ(entry.form.content, Ko("불법 대출 광고 메일"));
      EXPECT_EQ(entry.form.name, Ko("홍길동"));
      EXPECT_EQ(entry.waiting.size(), 1u);
    }
    while (window->GetAttachmentList()->Count() > 0) window->GetAttachmentList()->RemoveAt(0);
  }
}

class OutboxHistoryTest : public ::testing::Test {
 protected:
  TempDir temp;
  Outbox outbox{temp.File("outbox")};
  ReportHistory history{temp.File("history")};
  test::RecordingMessageSink sink;
  test::ScopedMessageSink scoped{&sink};
};

TEST_F(OutboxHistoryTest, ListsWaitingReportsFirstWithTheirNextTryAndCancelsAfterAsking) {
  HistoryEntry old;
  old.time = 1765000000;
  old.subject = Ko("지난 신고");
  old.verdict = ReportVerdict::kAccepted;
  ASSERT_TRUE(history.Add(old));
  ReportForm form;
  form.name = Ko("홍길동");
  form.content = Ko("도박 광고");
  form.attachmentPaths = {temp.Write("a.eml", Mail("도박 광고", 1)), temp.Write("b.eml", Mail("대출 광고", 2))};
  const std::string first = outbox.Add(form, 1765100000);
  form.attachmentPaths = {temp.Write("c.eml", Mail("불법 의약품", 3))};
  const std::string second = outbox.Add(form, 1765100060);
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());

  int sendNow = 0, changed = 0;
  std::time_t next = 1765103600;
  auto* window = new HistoryWindow(nullptr, history, nullptr);
  HistoryWindow::WaitingReports waiting;
  waiting.outbox = &outbox;
  waiting.nextTry = [&next] { return next; };
  waiting.sendNow = [&sendNow] { ++sendNow; };
  waiting.isBeingSent = [&second](const std::string& id) { return id == second; };
  waiting.changed = [&changed] { ++changed; };
  window->SetWaitingReports(std::move(waiting));
  window->Show();

  ASSERT_EQ(window->RowCount(), 3);
  EXPECT_EQ(window->WaitingRowCount(), 2);
  const wxString waitingMark = wxString::FromUTF8("대기 중");
  for (long row : {0L, 1L}) EXPECT_TRUE(window->RowText(row, HistoryWindow::kVerdictColumn).StartsWith(waitingMark));
  EXPECT_EQ(window->RowText(0, HistoryWindow::kSubjectColumn), wxString::FromUTF8("도박 광고, 대출 광고"));
  EXPECT_EQ(window->RowText(2, HistoryWindow::kSubjectColumn), wxString::FromUTF8("지난 신고"));
  window->SelectRow(0);
  EXPECT_TRUE(window->CanCancel());
  EXPECT_TRUE(window->CanSendNow());
  EXPECT_FALSE(window->CanResend());
  EXPECT_NE(window->DetailText().Find(wxString::FromUTF8("다음 시도")), wxNOT_FOUND);
  EXPECT_NE(window->DetailText().Find(wxString::FromUTF8("도박 광고")), wxNOT_FOUND);
  EXPECT_TRUE(test::ShootIfAsked(window, "history-waiting", 4)) << "history-waiting";

  window->SendWaitingNow();
  EXPECT_EQ(sendNow, 1);

  // Cancel asks first; No keeps it, the entry being sent cannot go, Yes removes it and its copies.
  OutboxEntry entry;
  ASSERT_TRUE(outbox.Find(first, &entry));
  const struct {
    long row;
    int answer;
    bool cancelled;
    const char* lastMessage;
  } cases[] = {
      {0, kIdNo, false, "보류된 신고를 취소하시겠습니까?\n보관해 둔 첨부파일도 함께 지워집니다."},
      {1, kIdYes, false, "지금 보내는 중인 신고입니다. 잠시 후 다시 시도해 주십시오."},
      {0, kIdYes, true, "보류된 신고를 취소하시겠습니까?\n보관해 둔 첨부파일도 함께 지워집니다."},
  };
  for (const auto& c : cases) {
    sink.SetAnswer(c.answer);
    window->SelectRow(c.row);
    EXPECT_EQ(window->CancelSelected(), c.cancelled) << c.row;
    EXPECT_EQ(sink.Texts().back(), Ko(c.lastMessage));
  }
  EXPECT_FALSE(fs::exists(entry.folder));
  EXPECT_EQ(outbox.WaitingCount(), 1);
  EXPECT_EQ(window->WaitingRowCount(), 1);
  EXPECT_EQ(changed, 1);

  // Stopped tries show when they resume.
  next = 0;
  window->Reload();
  EXPECT_EQ(window->RowText(0, HistoryWindow::kVerdictColumn),
            waitingMark + " " + wxString::FromUTF8("프로그램을 다시 시작할 때"));
  test::DestroyAndWait(window);
}

TEST(OutboxTrayTest, TriesAtStartAndTellsWhatArrivedInANotificationAndTheTip) {
  test::ReportCentreHarness centre;
  MemoryProfileStore store;
  TempDir temp;
  test::UseTestCentre(store, centre, temp.Path());
  test::RecordingMessageSink sink;
  test::ScopedMessageSink scoped{&sink};
  Outbox outbox(temp.File("outbox"));
  ReportHistory history(temp.File("history"));
  ReportForm form;
  form.name = Ko("홍길동");
  form.email = "hong@example.com";
  form.tel1 = "02";
  for (int i = 0; i < 2; ++i) {
    form.attachmentPaths = {temp.Write(std::to_string(i) + ".eml", Mail("광고", i))};
    ASSERT_FALSE(outbox.Add(form).empty());
  }
  const int port = centre.Centre().Port();
  centre.Centre().Stop();

  std::vector<std::string> notices;
  TrayWindow::Parts parts;
  parts.history = &history;
  parts.outbox = &outbox;
  parts.notify = [&notices](const std::string& text) { notices.push_back(text); };
  parts.notificationAreaAvailable = [] { return true; };
  auto* tray = new TrayWindow(std::move(parts));
  tray->InstallTrayIcon();
  EXPECT_EQ(tray->TrayTip(), "Veradex\n" + Ko("보낼 신고 2건 대기 중"));

  // The try at start finds the centre down: nothing to tell, both wait.
  ASSERT_TRUE(WaitFor([&] { return tray->IsOutboxRoundRunning(); }, std::chrono::seconds(5)));
  ASSERT_TRUE(WaitFor([&] { return !tray->IsOutboxRoundRunning(); }, std::chrono::seconds(30)));
  EXPECT_TRUE(notices.empty());
  EXPECT_EQ(outbox.WaitingCount(), 2);

  // The centre is back; "지금 보내기" does not wait for the minute.
  ASSERT_TRUE(centre.Centre().Start(port));
  tray->SendWaitingNow();
  ASSERT_TRUE(WaitFor([&] { return !notices.empty(); }, std::chrono::seconds(30)));
  EXPECT_EQ(notices, std::vector<std::string>{Ko("보류된 신고 2건이 접수되었습니다.")});
  EXPECT_EQ(tray->TrayTip(), "Veradex");
  EXPECT_EQ(outbox.WaitingCount(), 0);
  EXPECT_EQ(centre.Centre().RequestsTo(test::TestReportCentre::kFormPath).size(), 2u);
  ASSERT_EQ(history.Entries().size(), 3u);  // the try at start stopped at the first upload
  EXPECT_EQ(history.Entries()[0].verdict, ReportVerdict::kAccepted);
  tray->Destroy();
  WaitFor([] { return false; }, std::chrono::milliseconds(50));
  ProfileStore::SetCurrent(nullptr);
  ServerSettings::Reload();
}

}  // namespace
}  // namespace veradex
