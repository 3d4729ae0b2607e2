// The report history seen from the windows: a report run leaves its rows,
// a mail the centre already accepted is only added again when the user says
// so, and the history window lists, filters, exports and sends again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <wx/textctrl.h>

#include "gui/GuiTestSupport.h"
#include "gui/ReportWindowSetup.h"
#include "pages/CategoryNavigationState.h"
#include "profile/MemoryProfileStore.h"
#include "profile/PersonalProfile.h"
#include "profile/ServerSettings.h"
#include "report/ReportHistory.h"
#include "report/ReportSender.h"
#include "support/RecordingMessageSink.h"
#include "support/ReportCentreHarness.h"
#include "support/TempDir.h"
#include "ui/report/AttachmentList.h"
#include "ui/report/DuplicateQuestion.h"
#include "ui/report/EmailReportPanel.h"
#include "ui/report/HistoryWindow.h"
#include "ui/report/ReportWindow.h"
#include "ui/report/Utf8Text.h"

namespace veradex {
namespace {

using test::TestReportCentre;
using test::WaitFor;

std::string Ko(const char* utf8) { return Utf8Text::ToCp949(utf8); }

std::string MailText(const std::string& id, const char* subjectUtf8) {
  return "Message-ID: <" + id + ">\r\nFrom: ad@spam.example\r\nSubject: " + std::string(subjectUtf8) +
         "\r\nDate: Mon, 7 Dec 2026 10:00:00 +0900\r\n\r\nbody\r\n";
}

class ReportHistoryGuiTest : public test::ReportWindowFixture<> {
 protected:
  void BeforeShow() override {
    window->SetReportHistory(&history);
    window->ShowEmailView();
  }

  ReportHistory history{files.File("history")};
};

TEST_F(ReportHistoryGuiTest, AReportLeavesItsRowsAndAnAcceptedMailIsOnlyAddedAgainOnYes) {
  centre.Centre().SetAnswers(TestReportCentre::kFormPath,
                             {TestReportCentre::Answer::FormReceived(), TestReportCentre::Answer::FormNotReceived(),
                              TestReportCentre::Answer::FormReceived()});
  const wxString first = wxString::FromUTF8(files.Write("first.eml", MailText("a@spam.example", "대출 광고")));
  const wxString second = wxString::FromUTF8(files.Write("second.eml", MailText("b@spam.example", "도박")));
  const wxString picture = wxString::FromUTF8(files.Write("picture.eml", std::string("\x89PNG\r\n\x1a\n\0\0", 10)));
  for (const wxString& path : {first, second, picture}) ASSERT_EQ(List().AddFile(path), 1);

  // Each row shows what it is; the picture is marked as no mail.
  List().SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  EXPECT_TRUE(WaitFor([&] { return List().ShownSummary().Contains(wxString::FromUTF8("대출 광고")); }));
  // The pointer over a row shows that row's summary instead.
  wxWindow* rowsWindow = List().GetChildren().front();
  wxRect pictureRow;
  ASSERT_TRUE(List().GetItemRect(2, pictureRow));
  wxMouseEvent move(wxEVT_MOTION);
  move.SetPosition(wxPoint(pictureRow.x + 20, pictureRow.y + pictureRow.height / 2 - rowsWindow->GetPosition().y));
  move.SetEventObject(rowsWindow);
  rowsWindow->GetEventHandler()->ProcessEvent(move);
  EXPECT_TRUE(List().ShownSummary().StartsWith(Utf8Text::Wx("메일 파일이 아닙니다")));
  EXPECT_FALSE(List().Entry(0).notMail);
  EXPECT_TRUE(List().Entry(2).notMail);
  EXPECT_EQ(List().GetItemText(2, 0), "picture.eml");  // the two columns stay as they were
  if (!test::ScreenshotFolder().empty()) {
    // The first report page shown at start turns to the browser view once; the picture is of the list.
    WaitFor([&] { return window->GetView() == View::kBrowser; }, std::chrono::seconds(5));
    window->ShowEmailView();
    EXPECT_TRUE(test::ShootIfAsked(window, "report-window-summaries", 10)) << "report-window-summaries";
  }

  window->EmailReport().OnSend();
  ASSERT_TRUE(WaitFor([&] { return !window->EmailReport().IsSending(); }, std::chrono::seconds(30)));
  ASSERT_TRUE(WaitFor([&] { return history.Entries().size() == 3; }));
  const std::vector<HistoryEntry> rows = history.Entries();
  EXPECT_EQ(rows[2].verdict, ReportVerdict::kAccepted);
  EXPECT_EQ(rows[2].subject, Ko("대출 광고"));
  EXPECT_EQ(rows[1].verdict, ReportVerdict::kRefused);
  EXPECT_EQ(rows[0].verdict, ReportVerdict::kAccepted);
  // The refused report's row stays for another try; the received ones go.
  ASSERT_TRUE(WaitFor([&] { return List().Count() == 1; }));
  EXPECT_EQ(List().Entry(0).path, second);
  List().RemoveAt(0);

  // The accepted mail again, by any route: the question; No adds nothing, Yes adds it.
  sink.Clear();
  sink.SetAnswer(kIdNo);
  EXPECT_EQ(List().AddFile(first), -1);
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Texts()[0], Utf8Text::ToCp949(DuplicateQuestion::QuestionText(rows[2].time)));
  EXPECT_EQ(sink.Messages()[0].style, kMbYesNo | kMbIconQuestion);
  List().HandleDrop(wxArrayString(1, &first));
  EXPECT_EQ(List().Count(), 0);
  sink.SetAnswer(kIdYes);
  EXPECT_EQ(List().AddFile(first), 1);
  // A refused one, and a mail without Message-ID known by content, are judged alike.
  sink.Clear();
  EXPECT_EQ(List().AddFile(second), 1);
  EXPECT_EQ(sink.Count(), 0u);
  sink.SetAnswer(kIdNo);
  EXPECT_EQ(List().AddFile(picture), -1);
  EXPECT_EQ(sink.Count(), 1u);
}

TEST_F(ReportHistoryGuiTest, HistoryWindowListsFiltersExportsAndSendsAgain) {
  const std::string refusedFile = files.Write("refused.eml", MailText("r@spam.example", "refused"));
  const auto add = [&](std::time_t time, const char* subject, ReportVerdict verdict, const std::string& path) {
    HistoryEntry entry;
    entry.time = time;
    entry.localPath = path;
    entry.sentName = "SPM_1207_05_1A3.eml";
    entry.sha256 = std::string(64, 'c');
    entry.subject = Ko(subject);
    entry.from = "ad@spam.example";
    entry.verdict = verdict;
    entry.answer = Ko("접수되었습니다.");
    entry.run = 1;
    ASSERT_TRUE(history.Add(entry));
  };
  add(1796605200, "대출 광고", ReportVerdict::kAccepted, files.File("gone.eml"));
  add(1796605260, "도박 안내", ReportVerdict::kRefused, refusedFile);
  add(1796605320, "무료 쿠폰", ReportVerdict::kNotSent, files.File("gone.eml"));

  auto* historyWindow = new HistoryWindow(nullptr, history, [&](const std::string& path) {
    return window->GetAttachmentList()->AddFile(wxString::FromUTF8(path)) == 1;
  });
  historyWindow->Show();
  ASSERT_EQ(historyWindow->RowCount(), 3);
  EXPECT_EQ(historyWindow->RowText(0, HistoryWindow::kSubjectColumn), wxString::FromUTF8("무료 쿠폰"));
  EXPECT_EQ(historyWindow->RowText(2, HistoryWindow::kSubjectColumn), wxString::FromUTF8("대출 광고"));
  EXPECT_EQ(historyWindow->RowText(1, HistoryWindow::kVerdictColumn), wxString::FromUTF8("접수 안 됨"));

  historyWindow->SelectRow(1);
  historyWindow->Move(40, 40);
  EXPECT_TRUE(test::ShootIfAsked(historyWindow, "history-window", 10)) << "history-window";

  historyWindow->SetFilter(wxString::FromUTF8("대출"));
  ASSERT_EQ(historyWindow->RowCount(), 1);
  historyWindow->SelectRow(0);
  EXPECT_TRUE(historyWindow->DetailText().Contains(std::string(64, 'c')));
  EXPECT_TRUE(historyWindow->DetailText().Contains(wxString::FromUTF8("접수되었습니다.")));
  EXPECT_FALSE(historyWindow->CanResend());

  // The export holds the rows shown, in UTF-8 after a byte-order mark.
  const std::string csvPath = files.File("export.csv");
  ASSERT_TRUE(historyWindow->ExportCsv(wxString::FromUTF8(csvPath)));
  const std::string csv = test::ReadFileBytes(csvPath);
  EXPECT_EQ(csv.rfind("\xEF\xBB\xBF", 0), 0u);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2);
  EXPECT_NE(csv.find("\xEB\x8C\x80\xEC\xB6\x9C \xEA\xB4\x91\xEA\xB3\xA0"), std::string::npos);  // 대출 광고
  EXPECT_FALSE(historyWindow->ExportCsv(wxString::FromUTF8(files.File("no/such/folder/x.csv"))));

  // "다시 보내기": the refused report's file goes back into the list; a file
  // that is gone is only named.
  historyWindow->SetFilter(wxString());
  historyWindow->SelectRow(1);
  ASSERT_TRUE(historyWindow->CanResend());
  EXPECT_TRUE(historyWindow->ResendSelected());
  ASSERT_EQ(List().Count(), 1);
  EXPECT_EQ(List().Entry(0).path, wxString::FromUTF8(refusedFile));
  sink.Clear();
  historyWindow->SelectRow(0);
  EXPECT_FALSE(historyWindow->ResendSelected());
  EXPECT_EQ(sink.Count(), 1u);
  EXPECT_EQ(List().Count(), 1);
  historyWindow->Destroy();
}

}  // namespace
}  // namespace veradex
