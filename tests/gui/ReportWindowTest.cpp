// The report window: the send checks in their order, the description limit,
// the add button's limit, the list kept still while a report is under way,
// the keys that hide the window and the end of a run.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include <wx/dcclient.h>
#include <wx/gauge.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "gui/GuiTestSupport.h"
#include "gui/ReportWindowSetup.h"
#include "pages/CategoryNavigationState.h"
#include "profile/MemoryProfileStore.h"
#include "profile/PersonalProfile.h"
#include "profile/ServerSettings.h"
#include "report/ReportSender.h"
#include "report/ReportTexts.h"
#include "report/VersionCheck.h"
#include "support/RecordingMessageSink.h"
#include "support/ReportCentreHarness.h"
#include "support/TempDir.h"
#include "ui/report/AttachmentList.h"
#include "ui/report/CWebBrowser.h"
#include "ui/report/EmailReportPanel.h"
#include "ui/report/MailPreviewStrip.h"
#include "ui/report/ReportWindow.h"
#include "ui/report/Utf8Text.h"
#include "ui/skin/SkinBitmapButton.h"

#if defined(__WXGTK__) && defined(VERADEX_HAVE_X11_DESKTOP)
#include <X11/extensions/XTest.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#endif

namespace veradex {
namespace {

using test::RecordingMessageSink;
using test::ScopedMessageSink;
using test::TempDir;
using test::WaitFor;

std::string Ko(const char* utf8) { return Utf8Text::ToCp949(utf8); }

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// A loopback port nobody listens on: connecting is refused at once.
int ClosedPort() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(s);
  return ntohs(address.sin_port);
}

class ReportWindowTest : public test::ReportWindowFixture<> {
 protected:
  // A saved message of exactly bytes bytes.
  wxString Mail(const std::string& name, std::size_t bytes = 100) {
    return wxString::FromUTF8(files.Write(name, std::string(bytes, 'x')));
  }
  std::string LastMessage() const { return sink.Count() == 0 ? std::string() : sink.Texts().back(); }
};

TEST_F(ReportWindowTest, InitialisationLoadsTheProfileAndPreparesTheList) {
  EXPECT_TRUE(window->IsReady());
  EXPECT_TRUE(std::filesystem::is_directory(programDir.Path() + "/temp"));
  EXPECT_EQ(window->GetProgramDir(), wxString(programDir.Path() + "/"));
  EXPECT_EQ(Edit(ReportWindow::kName)->GetValue(), wxString::FromUTF8("홍길동"));
  EXPECT_EQ(Edit(ReportWindow::kTel3)->GetValue(), "4567");
  EXPECT_EQ(Edit(ReportWindow::kContent)->GetValue(), "");
  EXPECT_EQ(window->EmailReport().GetProgress(), 100);
  EXPECT_EQ(window->EmailReport().GetCountLabel(), wxString::FromUTF8("[총 0개 첨부]"));
  EXPECT_EQ(window->GetAttachmentList()->GetColumnCount(), 2);
  EXPECT_EQ(sink.Count(), 0u);
}

TEST_F(ReportWindowTest, OfflineStartKeepsTheEmailViewFullyUsable) {
  // Neither the version host nor the report host can be reached.
  const std::string nobody = "127.0.0.1:" + std::to_string(ClosedPort());
  store.WriteProfileString(profile::kServers, "version", nobody);
  store.WriteProfileString(profile::kServers, "report", nobody);
  ServerSettings::Reload();
  sink.Clear();
  auto* offline = new ReportWindow();
  offline->SetPageFolders(pageDir.Path(), std::string());
  ASSERT_TRUE(offline->Create());
  offline->SetPlainMessageSink(&plain);
  EXPECT_FALSE(offline->IsFullyInitialised());
  EXPECT_TRUE(offline->IsReady());
  EXPECT_EQ(offline->GetView(), View::kEmailReport);
  EXPECT_EQ(LastMessage(), ReportTexts::Get(ReportTexts::kVersionUnreachable));
  offline->LoadProfileFields();  // as the tray window does when it shows it
  offline->Show();

  // The list is set up as online: columns, header box, hint.
  AttachmentList* list = offline->GetAttachmentList();
  ASSERT_EQ(list->GetColumnCount(), 2);
  wxListItem header;
  header.SetMask(wxLIST_MASK_IMAGE);
  ASSERT_TRUE(list->GetColumn(0, header));
  EXPECT_EQ(header.GetImage(), 1);

  // One file by the add button, one by a drop; then the first is deleted.
  auto press = [&](int id) {
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(offline->GetButton(id));
    offline->GetButton(id)->GetEventHandler()->ProcessEvent(click);
  };
  offline->EmailReport().SetFileChooser([&] { return wxArrayString(1, Mail("added.eml", 300)); });
  press(ReportWindow::kAdd);
  list->HandleDrop(wxArrayString(1, Mail("dropped.msg", 400)));
  ASSERT_EQ(list->GetItemCount(), 2);
  EXPECT_EQ(list->GetItemText(0, 0), "added.eml");
  EXPECT_EQ(list->GetItemText(1, 0), "dropped.msg");
  EXPECT_EQ(list->GetItemText(1, 1), "400");
  EXPECT_TRUE(WaitFor([&] { return offline->EmailReport().GetCountLabel() == wxString::FromUTF8("[총 2개 첨부]"); }));
  if (const std::string dir = test::ScreenshotFolder(); !dir.empty()) {  // tools/screenshots.sh report-window
    window->Hide();
    offline->Move(0, 0);
    WaitFor([] { return false; }, std::chrono::milliseconds(500));
    wxExecute(wxString::Format("import -window root %s/report-window-offline.png", wxString::FromUTF8(dir.c_str())),
              wxEXEC_SYNC | wxEXEC_NODISABLE);
  }
  list->CheckItem(0, true);
  press(ReportWindow::kDelete);
  ASSERT_EQ(list->GetItemCount(), 1);
  EXPECT_EQ(list->Count(), 1);
  EXPECT_EQ(list->GetItemText(0, 0), "dropped.msg");
  EXPECT_TRUE(WaitFor([&] { return offline->EmailReport().GetCountLabel() == wxString::FromUTF8("[총 1개 첨부]"); }));

  // A send fails with the transfer's message and loses nothing.
  const wxString description = wxString::FromUTF8("불법 도박 광고");
  offline->GetEdit(ReportWindow::kContent)->ChangeValue(description);
  sink.Clear();
  offline->EmailReport().OnSend();
  ASSERT_TRUE(
      WaitFor([&] { return !offline->EmailReport().IsSending() && sink.Count() > 0; }, std::chrono::seconds(30)));
  WaitFor([] { return false; }, std::chrono::milliseconds(100));
  EXPECT_EQ(sink.Texts(), std::vector<std::string>{Ko("서버 연결에 실패 하였습니다.")});
  EXPECT_EQ(list->GetItemCount(), 1);
  EXPECT_EQ(offline->GetEdit(ReportWindow::kContent)->GetValue(), description);
  EXPECT_EQ(offline->EmailReport().GetCountLabel(), wxString::FromUTF8("[총 1개 첨부]"));
  offline->Destroy();
}

TEST_F(ReportWindowTest, SendRefusesInOrderAndKeepsTheForm) {
  for (int id : {ReportWindow::kName, ReportWindow::kTel1, ReportWindow::kEmail}) Edit(id)->ChangeValue("");
  Edit(ReportWindow::kPassword)->ChangeValue("");
  Edit(ReportWindow::kPasswordConfirm)->ChangeValue("");

  window->EmailReport().OnSend();
  EXPECT_EQ(LastMessage(), Ko("성명/상호를 입력하시기 바랍니다."));
  Edit(ReportWindow::kName)->ChangeValue(wxString::FromUTF8("김철수"));
  window->EmailReport().OnSend();
  EXPECT_EQ(LastMessage(), Ko("전화번호를 입력하시기 바랍니다."));
  Edit(ReportWindow::kTel1)->ChangeValue("010");
  window->EmailReport().OnSend();
  EXPECT_EQ(LastMessage(), Ko("신고건에 대한 처리를 위해선 이메일이 필요합니다."));
  Edit(ReportWindow::kEmail)->ChangeValue("kim@example.com");

  // A password without its confirmation: both are emptied.
  Edit(ReportWindow::kPassword)->ChangeValue("secret");
  window->EmailReport().OnSend();
  EXPECT_EQ(LastMessage(), Ko("비밀번호와 재확인 한 비밀번호가 일치 하지 않습니다."));
  EXPECT_EQ(Edit(ReportWindow::kPassword)->GetValue(), "");
  EXPECT_EQ(Edit(ReportWindow::kPasswordConfirm)->GetValue(), "");
  // An empty password is not compared with its confirmation.
  Edit(ReportWindow::kPasswordConfirm)->ChangeValue("stray");
  window->EmailReport().OnSend();
  EXPECT_EQ(LastMessage(), Ko("메일을 입력하여 주시기 바랍니다."));

  // The first file is too big: only its message; the second is not looked at.
  window->GetAttachmentList()->AddFile(Mail("big.eml", 2097153));
  window->GetAttachmentList()->AddFile(wxString::FromUTF8(files.File("missing.eml")));
  const std::size_t before = sink.Count();
  window->EmailReport().OnSend();
  EXPECT_EQ(sink.Count(), before + 1);
  EXPECT_EQ(LastMessage(), Ko("파일 크기는 2MByte 이하로 첨부 하셔야 합니다."));

  // Text code page 949 cannot carry is refused, naming the field; nothing is lost.
  const wxString withEmoji = wxString::FromUTF8("광고 \xF0\x9F\x98\x80 메일");
  Edit(ReportWindow::kContent)->ChangeValue(withEmoji);
  window->EmailReport().OnSend();
  EXPECT_EQ(LastMessage().rfind(Ko("신고내용에 "), 0), 0u) << LastMessage();
  EXPECT_EQ(Edit(ReportWindow::kContent)->GetValue(), withEmoji);
  const wxString nameWithEmoji = wxString::FromUTF8("김철수\xF0\x9F\x98\x80");
  Edit(ReportWindow::kName)->ChangeValue(nameWithEmoji);
  window->EmailReport().OnSend();
  EXPECT_EQ(LastMessage().rfind(Ko("성명/상호에 "), 0), 0u) << LastMessage();
  EXPECT_EQ(Edit(ReportWindow::kName)->GetValue(), nameWithEmoji);
  EXPECT_EQ(window->GetAttachmentList()->Count(), 2);
  EXPECT_FALSE(window->EmailReport().IsSending());
  for (const auto& message : sink.Messages()) EXPECT_EQ(message.style, 16u);
}

TEST_F(ReportWindowTest, BusyWhileSendingAndTheListStaysStill) {
  window->GetAttachmentList()->AddFile(Mail("a.eml"));
  window->GetAttachmentList()->CheckItem(0, true);
  window->EmailReport().SendingFlag() = true;
  window->EmailReport().OnSend();
  EXPECT_EQ(LastMessage(), Ko("현재 전송중입니다. 전송이 끝난후 보내주시기 바랍니다."));

  const std::string refused = Ko("현재 전송중입니다. 전송이 끝난후 첨부파일을 바꾸시기 바랍니다.");
  bool chooserAsked = false;
  window->EmailReport().SetFileChooser([&] {
    chooserAsked = true;
    return wxArrayString();
  });
  Press(ReportWindow::kAdd);
  EXPECT_EQ(LastMessage(), refused);
  Press(ReportWindow::kDelete);
  EXPECT_EQ(LastMessage(), refused);
  Press(ReportWindow::kCapture);
  EXPECT_EQ(LastMessage(), refused);
  wxArrayString dropped;
  dropped.Add(Mail("b.eml"));
  sink.Clear();
  window->GetAttachmentList()->HandleDrop(dropped);
  EXPECT_EQ(LastMessage(), refused);
  EXPECT_FALSE(chooserAsked);
  EXPECT_EQ(window->GetAttachmentList()->Count(), 1);
  window->EmailReport().SendingFlag() = false;
}

TEST_F(ReportWindowTest, DescriptionStopsAtFourThousandBytes) {
  wxTextCtrl* content = Edit(ReportWindow::kContent);
  content->SetValue(wxString('a', 5000));  // a paste
  EXPECT_EQ(content->GetValue(), wxString('a', 4000));
  EXPECT_EQ(content->GetInsertionPoint(), content->GetLastPosition());
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(LastMessage(), Ko("한글 2000자까지 입력하실 수 있습니다."));

  // 3998 bytes of Hangul and one more syllable: 4000 bytes, kept, one message.
  sink.Clear();
  const wxString syllable = wxString::FromUTF8("가");
  wxString hangul;
  for (int i = 0; i < 1999; ++i) hangul += syllable;
  content->ChangeValue(hangul);
  content->SetInsertionPointEnd();
  content->WriteText(syllable);
  EXPECT_EQ(content->GetValue(), hangul + syllable);
  EXPECT_EQ(sink.Count(), 1u);

  // A syllable across the limit is dropped whole: 3999 bytes remain.
  sink.Clear();
  content->SetValue(wxString('b', 3999) + syllable);
  EXPECT_EQ(content->GetValue(), wxString('b', 3999));
  EXPECT_EQ(sink.Count(), 1u);

  // A line break goes out as CR LF and counts two bytes: typed after 3998
  // bytes it reaches the limit and stays; after 3999 it does not fit.
  sink.Clear();
  content->ChangeValue(wxString('c', 3998));
  content->SetInsertionPointEnd();
  content->WriteText("\n");
  EXPECT_EQ(content->GetValue(), wxString('c', 3998) + "\n");
  EXPECT_EQ(sink.Count(), 1u);
  sink.Clear();
  content->SetValue(wxString('d', 3999) + "\n");
  EXPECT_EQ(content->GetValue(), wxString('d', 3999));
  EXPECT_EQ(sink.Count(), 1u);
  // Below the limit a break is no more than two bytes: no message.
  sink.Clear();
  content->SetValue(wxString('e', 3997) + "\n");
  EXPECT_EQ(sink.Count(), 0u);
}

TEST_F(ReportWindowTest, AddButtonStopsAtFiveFiles) {
  for (int i = 0; i < 4; ++i) window->GetAttachmentList()->AddFile(Mail("m" + std::to_string(i) + ".eml"));
  window->EmailReport().SetFileChooser([&] {
    wxArrayString chosen;
    for (const char* name : {"x.eml", "y.eml", "z.msg"}) chosen.Add(Mail(name));
    return chosen;
  });
  Edit(ReportWindow::kContent)->ChangeValue(wxString::FromUTF8("설명"));
  Press(ReportWindow::kAdd);
  EXPECT_EQ(window->GetAttachmentList()->Count(), 5);
  EXPECT_EQ(window->GetAttachmentList()->Entry(4).name, "x.eml");
  ASSERT_EQ(sink.Count(), 2u);
  EXPECT_EQ(sink.Texts()[0], Ko("5개 이상은 첨부하실 수 없습니다"));
  EXPECT_EQ(sink.Texts()[1], Ko("5개 이상은 첨부하실 수 없습니다"));
  EXPECT_EQ(Edit(ReportWindow::kContent)->GetValue(), wxString::FromUTF8("설명"));
  EXPECT_TRUE(WaitFor([&] { return window->EmailReport().GetCountLabel() == wxString::FromUTF8("[총 5개 첨부]"); }));

  // With five listed the button refuses before asking for files.
  bool asked = false;
  window->EmailReport().SetFileChooser([&] {
    asked = true;
    return wxArrayString();
  });
  Press(ReportWindow::kAdd);
  EXPECT_FALSE(asked);
  EXPECT_EQ(sink.Count(), 3u);

  // Delete with nothing checked does nothing.
  Press(ReportWindow::kDelete);
  EXPECT_EQ(window->GetAttachmentList()->Count(), 5);
}

TEST_F(ReportWindowTest, EscapeAndEnterHideTheWindowButEnterInTheDescriptionDoesNot) {
  auto key = [&](int code) {
    wxKeyEvent event(wxEVT_CHAR_HOOK);
    event.m_keyCode = code;
    event.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(event);
  };
  key(WXK_ESCAPE);
  EXPECT_FALSE(window->IsShown());
  window->Show();
  Edit(ReportWindow::kName)->SetFocus();
  key(WXK_RETURN);
  EXPECT_FALSE(window->IsShown());
}

TEST_F(ReportWindowTest, EndOfRunClearsOnlyTheDescriptionAndCleaningKeepsFolders) {
  Edit(ReportWindow::kContent)->ChangeValue(wxString::FromUTF8("광고 메일입니다"));
  Edit(ReportWindow::kName)->ChangeValue(wxString::FromUTF8("새 이름"));
  window->EmailReport().OnRunEnded();
  EXPECT_EQ(Edit(ReportWindow::kContent)->GetValue(), "");
  EXPECT_EQ(Edit(ReportWindow::kName)->GetValue(), wxString::FromUTF8("새 이름"));

  const std::string temp = programDir.Path() + "/temp";
  programDir.Write("temp/one.eml", "1");
  programDir.Write("temp/two.msg", "2");
  programDir.Write("temp/sub/kept.eml", "3");
  EXPECT_TRUE(window->EmailReport().CleanTempFolder());
  EXPECT_FALSE(std::filesystem::exists(temp + "/one.eml"));
  EXPECT_FALSE(std::filesystem::exists(temp + "/two.msg"));
  EXPECT_TRUE(std::filesystem::exists(temp + "/sub/kept.eml"));
}

TEST_F(ReportWindowTest, FrameDecorationsFollowTheWindowEdgesAndStayHidden) {
  const wxSize client = window->GetClientSize();
  const int w = client.GetWidth(), h = client.GetHeight();
  ASSERT_NE(window->FindWindow(1006), nullptr);
  EXPECT_EQ(window->FindWindow(1002)->GetRect(), wxRect(w - 10, 0, 10, 20));
  EXPECT_EQ(window->FindWindow(1004)->GetRect(), wxRect(w - 4, 20, 4, h - 24));
  EXPECT_EQ(window->FindWindow(1006)->GetRect(), wxRect(4, h - 4, w - 8, 4));
  for (int id : {1001, 1002, 1003, 1004, 1005, 1006, 1007, 1130, 1131, 1132}) {
    ASSERT_NE(window->FindWindow(id), nullptr) << id;
    EXPECT_FALSE(window->FindWindow(id)->IsShown()) << id;
  }
}

TEST_F(ReportWindowTest, EachCategoryButtonTakesItsCurrentLookAndGivesItBack) {
  // Control, category, then the normal, pressed, focused and disabled images
  // of the current look; the normal look has the disabled image as its up image.
  const struct {
    int id;
    Category category;
    int normal, pressed, focused, disabled;
  } buttons[] = {
      {ReportWindow::kEmailSpam, Category::kEmail, 208, 209, 208, 210},
      {ReportWindow::kPhoneSpam, Category::kTelephone, 224, 213, 224, 214},
      {ReportWindow::kResentSpam, Category::kResentAfterOptOut, 230, 225, 230, 228},
      {ReportWindow::kBoardSpam, Category::kBulletinBoard, 234, 231, 234, 232},
      {ReportWindow::kMediaSpam, Category::kElectronicMedia, 252, 237, 252, 238},
      {ReportWindow::kFaxSpam, Category::kFax, 261, 253, 261, 254},
      {ReportWindow::kCodeSpam, Category::kMaliciousCode, 212, 263, 212, 264},
  };
  for (const auto& b : buttons) {
    SCOPED_TRACE(b.id);
    window->SetCategory(b.category);
    SkinBitmapButton* button = window->GetButton(b.id);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetLookId(SkinBitmapButton::kLookUp), b.normal);
    EXPECT_EQ(button->GetLookId(SkinBitmapButton::kLookDown), b.pressed);
    EXPECT_EQ(button->GetLookId(SkinBitmapButton::kLookFocus), b.focused);
    EXPECT_EQ(button->GetLookId(SkinBitmapButton::kLookDisabled), b.disabled);
    window->SetCategory(Category::kNone);
    EXPECT_EQ(button->GetLookId(SkinBitmapButton::kLookUp), b.disabled);
  }
}

TEST_F(ReportWindowTest, EmailCategoryShowsTheFormAndHoverWinsOverTheCurrentLook) {
  window->ShowView(View::kBrowser);
  EXPECT_EQ(window->GetView(), View::kBrowser);
  EXPECT_FALSE(window->GetAttachmentList()->IsShown());
  EXPECT_EQ(window->GetBrowser()->GetRect(), wxRect(159, 105, 610, 490));
  Press(ReportWindow::kEmailSpam);
  EXPECT_EQ(window->GetView(), View::kEmailReport);
  EXPECT_EQ(window->GetCategory(), Category::kEmail);
  EXPECT_TRUE(window->GetAttachmentList()->IsShown());
  EXPECT_EQ(window->GetBrowser()->GetSize(), wxSize(1, 1));
  SkinBitmapButton* email = window->GetButton(ReportWindow::kEmailSpam);
  EXPECT_EQ(email->GetLookId(SkinBitmapButton::kLookUp), 208);  // current

  wxMouseEvent enter(wxEVT_ENTER_WINDOW);
  enter.SetEventObject(email);
  email->GetEventHandler()->ProcessEvent(enter);
  EXPECT_EQ(email->GetLookId(SkinBitmapButton::kLookUp), 211);  // hover
  wxMouseEvent leave(wxEVT_LEAVE_WINDOW);
  leave.SetEventObject(email);
  email->GetEventHandler()->ProcessEvent(leave);
  EXPECT_EQ(email->GetLookId(SkinBitmapButton::kLookUp), 208);  // current again
  EXPECT_EQ(window->GetButton(ReportWindow::kPhoneSpam)->GetLookId(SkinBitmapButton::kLookUp), 214);
}

TEST_F(ReportWindowTest, FullSendOfTwoAttachmentsEmptiesListDescriptionAndTempFolder) {
  window->GetAttachmentList()->AddFile(Mail("first.eml", 40000));
  window->GetAttachmentList()->AddFile(Mail("second.msg", 1000));
  programDir.Write("temp/captured1A2B.eml", "saved by the mail client");
  Edit(ReportWindow::kContent)->ChangeValue(wxString::FromUTF8("도박 광고 메일입니다."));
  window->EmailReport().SetProgress(0);

  window->EmailReport().OnSend();
  EXPECT_TRUE(window->EmailReport().IsSending());
  window->EmailReport().OnSend();  // a second press while the first report goes out
  EXPECT_EQ(LastMessage(), Ko("현재 전송중입니다. 전송이 끝난후 보내주시기 바랍니다."));

  ASSERT_TRUE(WaitFor([&] { return !window->EmailReport().IsSending() && window->GetAttachmentList()->Count() == 0; },
                      std::chrono::seconds(30)));
  EXPECT_TRUE(WaitFor([&] { return window->EmailReport().GetCountLabel() == wxString::FromUTF8("[총 0개 첨부]"); }));
  EXPECT_EQ(window->EmailReport().GetProgress(), 100);
  EXPECT_EQ(LastMessage(), ReportTexts::Get(ReportTexts::kReportReceived));
  EXPECT_EQ(Edit(ReportWindow::kContent)->GetValue(), "");
  EXPECT_EQ(Edit(ReportWindow::kName)->GetValue(), wxString::FromUTF8("홍길동"));
  EXPECT_FALSE(std::filesystem::exists(programDir.Path() + "/temp/captured1A2B.eml"));
  EXPECT_EQ(centre.Centre().RequestsTo(test::TestReportCentre::kUploadPath).size(), 2u);
  const auto posts = centre.Centre().RequestsTo(test::TestReportCentre::kFormPath);
  ASSERT_EQ(posts.size(), 2u);
  // The name goes out as CP949, percent-encoded: 홍 is C8 AB.
  EXPECT_NE(posts[0].Body().find("name=%C8%AB"), std::string::npos) << posts[0].Body();
}

TEST_F(ReportWindowTest, FailedUploadKeepsListAndDescription) {
  centre.Centre().SetAnswer(test::TestReportCentre::kUploadPath, test::TestReportCentre::Answer::UploadFailed());
  window->GetAttachmentList()->AddFile(Mail("only.eml", 5000));
  const wxString description = wxString::FromUTF8("불법 대출 광고");
  Edit(ReportWindow::kContent)->ChangeValue(description);
  window->EmailReport().OnSend();
  ASSERT_TRUE(WaitFor([&] { return !window->EmailReport().IsSending(); }, std::chrono::seconds(30)));
  WaitFor([] { return false; }, std::chrono::milliseconds(100));
  EXPECT_EQ(window->GetAttachmentList()->Count(), 1);
  EXPECT_EQ(Edit(ReportWindow::kContent)->GetValue(), description);
  EXPECT_GE(sink.Count(), 1u);
  EXPECT_TRUE(centre.Centre().RequestsTo(test::TestReportCentre::kFormPath).empty());
}

TEST_F(ReportWindowTest, PartlyRefusedRunKeepsOnlyTheRefusedRowAndTheDescription) {
  using Answer = test::TestReportCentre::Answer;
  centre.Centre().SetAnswers(test::TestReportCentre::kFormPath,
                             {Answer::FormReceived(), Answer::FormNotReceived(), Answer::FormReceived()});
  // The first two are mail the capture saved in the temp folder.
  const wxString first =
      wxString::FromUTF8(programDir.Write("temp/captured1A2B.eml", "Subject: 1\r\n\r\nspam").c_str());
  const wxString second =
      wxString::FromUTF8(programDir.Write("temp/captured3C4D.eml", "Subject: 2\r\n\r\nspam").c_str());
  const wxString third = Mail("third.msg", 3000);
  for (const wxString& path : {first, second, third}) window->GetAttachmentList()->AddFile(path);
  // Typed with two line breaks, which go out as CR LF.
  const wxString description = wxString::FromUTF8("불법 대출 광고\n하루 세 번\n답장 금지");
  Edit(ReportWindow::kContent)->ChangeValue(description);

  window->EmailReport().OnSend();
  ASSERT_TRUE(WaitFor([&] { return !window->EmailReport().IsSending() && window->GetAttachmentList()->Count() == 1; },
                      std::chrono::seconds(30)));
  EXPECT_EQ(window->GetAttachmentList()->Entry(0).path, second);
  EXPECT_TRUE(WaitFor([&] { return window->EmailReport().GetCountLabel() == wxString::FromUTF8("[총 1개 첨부]"); }));
  EXPECT_EQ(Edit(ReportWindow::kContent)->GetValue(), description);
  const std::vector<std::string> texts = sink.Texts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[texts.size() - 2], ReportTexts::Get(ReportTexts::kReportReceived));
  EXPECT_EQ(texts.back(), Ko("접수되지 않은 첨부파일 1개가 목록에 남아 있습니다. 다시 보내주시기 바랍니다."));
  // The received capture goes with its row; the refused one and the user's file stay.
  EXPECT_FALSE(std::filesystem::exists(first.utf8_string()));
  EXPECT_TRUE(std::filesystem::exists(second.utf8_string()));
  EXPECT_TRUE(std::filesystem::exists(third.utf8_string()));

  const auto posts = centre.Centre().RequestsTo(test::TestReportCentre::kFormPath);
  ASSERT_EQ(posts.size(), 3u);
  for (const auto& post : posts) {
    const std::string body = post.Body();
    const std::size_t start = body.find("&content="), end = body.find("&filename=");
    ASSERT_NE(start, std::string::npos);
    const std::string content = body.substr(start, end - start);
    // Two breaks, each one CR LF, none doubled.
    EXPECT_EQ(Occurrences(content, "%0D%0A"), 2u) << content;
    EXPECT_EQ(Occurrences(content, "%0D"), 2u) << content;
    EXPECT_EQ(Occurrences(content, "%0A"), 2u) << content;
  }
}

TEST_F(ReportWindowTest, StartsOnTheTelephonePageAndCategoryButtonsWriteTheirPages) {
  EXPECT_EQ(window->GetCategory(), Category::kTelephone);
  EXPECT_EQ(window->GetView(), View::kBrowser);
  EXPECT_EQ(window->GetButton(ReportWindow::kPhoneSpam)->GetLookId(SkinBitmapButton::kLookUp), 224);
  const std::string phonePage = test::ReadFileBytes(pageDir.Path() + "/PHONE_SPAM.html");
  EXPECT_NE(phonePage.find(Ko("홍길동")), std::string::npos);

  Press(ReportWindow::kFaxSpam);
  EXPECT_EQ(window->GetCategory(), Category::kFax);
  EXPECT_EQ(window->GetView(), View::kBrowser);
  EXPECT_TRUE(std::filesystem::exists(pageDir.Path() + "/Fax_Spam.html"));
  EXPECT_EQ(window->GetButton(ReportWindow::kFaxSpam)->GetLookId(SkinBitmapButton::kLookUp), 261);
  EXPECT_EQ(window->GetButton(ReportWindow::kPhoneSpam)->GetLookId(SkinBitmapButton::kLookUp), 214);

  // The lookup page changes neither the category nor the looks.
  Press(ReportWindow::kLookup);
  EXPECT_TRUE(std::filesystem::exists(pageDir.Path() + "/search.html"));
  EXPECT_EQ(window->GetCategory(), Category::kFax);

  // A template that cannot be read: a message, and nothing changes.
  std::filesystem::remove(pageDir.Path() + "/BOARD_SPAM.bak");
  Press(ReportWindow::kBoardSpam);
  EXPECT_EQ(sink.Count(), 1u);
  EXPECT_EQ(window->GetCategory(), Category::kFax);
  EXPECT_EQ(window->GetButton(ReportWindow::kBoardSpam)->GetLookId(SkinBitmapButton::kLookUp), 232);

  // Changed personal data shows at once on the current page.
  PersonalProfile::Global().name = Ko("바뀐이름");
  window->LoadProfileFields();
  window->RefreshCategoryPage();
  EXPECT_NE(test::ReadFileBytes(pageDir.Path() + "/Fax_Spam.html").find(Ko("바뀐이름")), std::string::npos);
  EXPECT_EQ(Edit(ReportWindow::kName)->GetValue(), wxString::FromUTF8("바뀐이름"));
}

TEST_F(ReportWindowTest, FirstCompletionOfTheReportPageRendersTheTelephonePage) {
  Press(ReportWindow::kMediaSpam);
  std::filesystem::remove(pageDir.Path() + "/PHONE_SPAM.html");
  // The centre answers the real page too; whether it has completed already
  // must not matter: from here on no event is dispatched but the ones below.
  CategoryNavigationState::Process().Reset();
  auto send = [&](wxEventType type, const std::string& url) {
    wxCommandEvent event(type, ReportWindow::kBrowser);
    event.SetString(wxString::FromUTF8(url.c_str()));
    event.SetEventObject(window->GetBrowser());
    window->GetBrowser()->GetEventHandler()->ProcessEvent(event);
  };
  send(EVT_NAVIGATE_COMPLETE2, ServerSettings::Current().ReportUrl("/h_singo/singo.jsp"));
  send(EVT_DOCUMENT_COMPLETE, ServerSettings::Current().ReportUrl("/h_singo/singo.jsp"));
  EXPECT_TRUE(std::filesystem::exists(pageDir.Path() + "/PHONE_SPAM.html"));
  EXPECT_EQ(window->GetCategory(), Category::kTelephone);
  EXPECT_EQ(window->GetView(), View::kBrowser);
  // Only the first time in the process.
  Press(ReportWindow::kMediaSpam);
  send(EVT_NAVIGATE_COMPLETE2, ServerSettings::Current().ReportUrl("/h_singo/singo.jsp"));
  EXPECT_EQ(window->GetCategory(), Category::kElectronicMedia);
}

TEST_F(ReportWindowTest, PointerOverACategoryButtonShowsItsHoverImage) {
  SkinBitmapButton* fax = window->GetButton(ReportWindow::kFaxSpam);
  SkinBitmapButton* phone = window->GetButton(ReportWindow::kPhoneSpam);
  wxUIActionSimulator pointer;
  const wxRect faxArea = fax->GetScreenRect();
  pointer.MouseMove(faxArea.GetLeft() + 20, faxArea.GetTop() + 20);
  EXPECT_TRUE(WaitFor([&] { return fax->GetLookId(SkinBitmapButton::kLookUp) == 260; }, std::chrono::seconds(3)));
  const wxRect phoneArea = phone->GetScreenRect();
  pointer.MouseMove(phoneArea.GetLeft() + 20, phoneArea.GetTop() + 20);
  // The current category's button under the pointer: hover wins.
  EXPECT_TRUE(WaitFor([&] { return phone->GetLookId(SkinBitmapButton::kLookUp) == 215; }, std::chrono::seconds(3)));
  EXPECT_TRUE(WaitFor([&] { return fax->GetLookId(SkinBitmapButton::kLookUp) == 254; }, std::chrono::seconds(3)));
  pointer.MouseMove(window->GetScreenRect().GetRight() + 100, 5);
  EXPECT_TRUE(WaitFor([&] { return phone->GetLookId(SkinBitmapButton::kLookUp) == 224; }, std::chrono::seconds(3)));
}

TEST_F(ReportWindowTest, PreviewStripShowsTheMailUnderThePointerElseTheSelectedOne) {
  Press(ReportWindow::kEmailSpam);
  AttachmentList* list = window->GetAttachmentList();
  MailPreviewStrip* strip = window->EmailReport().GetPreviewStrip();
  ASSERT_TRUE(strip->IsShown());
  const std::string received =
      "Received: from mx.spam.example (mx.spam.example [203.0.113.7]) by mail.example.kr; Mon, 7 Dec 2026 "
      "10:00:01 +0900\r\n";
  const std::string longSubject =
      "초특가 무담보 저금리 대출 상담 안내 및 신용등급 상관없이 당일 승인 가능한 특별 이벤트 마감 임박 지금 바로 "
      "신청하세요";
  const std::string mails[] = {
      received + "From: ad@spam.example\r\nSubject: 대출 광고\r\nDate: Mon, 7 Dec 2026 10:00:00 +0900\r\n\r\nx\r\n",
      "From: event@spam.example\r\nSubject: " + longSubject + "\r\n\r\nx\r\n",
      std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + std::string(64, '\x01'),
  };
  for (std::size_t i = 0; i < 3; ++i)
    ASSERT_EQ(list->AddFile(wxString::FromUTF8(files.Write("mail" + std::to_string(i) + ".eml", mails[i]))), 1);

  wxWindow* rows = list->GetChildren().front();
  auto pointer = [&](wxEventType type, long row) {
    wxPoint at(20, rows->GetClientSize().GetHeight() - 1);  // below the rows
    int flags = 0;
    for (int y = 0; row >= 0 && y < rows->GetClientSize().GetHeight(); ++y) {
      if (list->HitTest(wxPoint(20, y), flags) != row) continue;
      at.y = y + 4;
      break;
    }
    wxMouseEvent event(type);
    event.SetPosition(at);
    event.SetEventObject(rows);
    rows->GetEventHandler()->ProcessEvent(event);
  };
  auto select = [&](long row) { list->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED); };
  auto u = [](const char* utf8) { return wxString::FromUTF8(utf8); };
  const wxColour black = strip->GetForegroundColour(), red(200, 30, 30);
  using Line = MailPreviewStrip::Line;
  const std::vector<Line> firstMail = {{u("제목"), u("대출 광고"), black},
                                       {u("보낸 사람"), u("ad@spam.example"), black},
                                       {u("날짜"), u("2026-12-07 10:00 +0900"), black},
                                       {u("처음 받은 곳"), u("mx.spam.example [203.0.113.7]"), black}};
  const std::vector<Line> picture = {{wxString(), u("메일 파일이 아닙니다. 보내기 전에 파일을 확인해 주십시오."), red}};
  const struct {
    const char* what;
    std::function<void()> act;
    std::vector<Line> lines;
  } cases[] = {
      {"nothing selected", [] {}, {}},
      {"first row selected", [&] { select(0); }, firstMail},
      {"pointer over the picture", [&] { pointer(wxEVT_MOTION, 2); }, picture},
      {"pointer gone: the selection again", [&] { pointer(wxEVT_LEAVE_WINDOW, -1); }, firstMail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.act();
    WaitFor([&] { return strip->GetShownLines().size() == c.lines.size(); }, std::chrono::seconds(3));
    const std::vector<Line> shown = strip->GetShownLines();
    ASSERT_EQ(shown.size(), c.lines.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
      EXPECT_EQ(shown[i].label, c.lines[i].label);
      EXPECT_EQ(shown[i].text, c.lines[i].text);
      EXPECT_EQ(shown[i].colour, c.lines[i].colour);
    }
  }

  // The long subject is cut with "…" to the room beside the labels, as the
  // font measures it: the most whole characters that fit, never fewer.
  select(1);
  WaitFor([&] { return strip->GetShownLines().size() == 4 && strip->GetShownLines()[1].text != firstMail[1].text; },
          std::chrono::seconds(3));
  const std::vector<Line> shown = strip->GetShownLines();
  ASSERT_EQ(shown.size(), 4u);
  const wxString subject = u(longSubject.c_str()), ellipsis = u("…");
  ASSERT_TRUE(shown[0].text.EndsWith(ellipsis)) << shown[0].text;
  const wxString kept = shown[0].text.Left(shown[0].text.length() - 1);
  ASSERT_TRUE(subject.StartsWith(kept)) << kept;
  wxClientDC dc(strip);
  dc.SetFont(strip->GetFont());
  int labels = 0;
  for (const Line& line : shown) labels = std::max(labels, dc.GetTextExtent(line.label).GetWidth());
  const int room = strip->GetClientSize().GetWidth() - labels - 10;
  EXPECT_LE(dc.GetTextExtent(shown[0].text).GetWidth(), room);
  EXPECT_GT(dc.GetTextExtent(subject.Left(kept.length() + 1) + ellipsis).GetWidth(), room);
  EXPECT_EQ(shown[1].text, u("event@spam.example"));

  // The browser view hides the strip with the rest of the form.
  Press(ReportWindow::kPhoneSpam);
  EXPECT_FALSE(strip->IsShown());
}

#if defined(__WXGTK__) && defined(VERADEX_HAVE_X11_DESKTOP)
// The text of the first label inside a widget (depth first), or empty.
wxString LabelTextIn(GtkWidget* widget) {
  if (GTK_IS_LABEL(widget) && gtk_widget_get_visible(widget))
    return wxString::FromUTF8(gtk_label_get_text(GTK_LABEL(widget)));
  wxString text;
  if (GTK_IS_CONTAINER(widget)) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* child = children; child != nullptr && text.empty(); child = child->next)
      text = LabelTextIn(GTK_WIDGET(child->data));
    g_list_free(children);
  }
  return text;
}

// The tooltip on the display now, as the X server has it: the text of the
// toolkit's tooltip window whose X window is mapped, viewable and on the
// screen; empty when there is none.
wxString ToolTipOnScreen() {
  Display* display = gdk_x11_get_default_xdisplay();
  wxString text;
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* item = toplevels; item != nullptr; item = item->next) {
    GtkWindow* candidate = GTK_WINDOW(item->data);
    if (gtk_window_get_type_hint(candidate) != GDK_WINDOW_TYPE_HINT_TOOLTIP) continue;
    GdkWindow* native = gtk_widget_get_window(GTK_WIDGET(candidate));
    if (native == nullptr || !GDK_IS_X11_WINDOW(native)) continue;
    XWindowAttributes shown;
    if (XGetWindowAttributes(display, gdk_x11_window_get_xid(native), &shown) == 0 || shown.map_state != IsViewable)
      continue;
    Window child;
    int x = 0, y = 0;
    XTranslateCoordinates(display, gdk_x11_window_get_xid(native), DefaultRootWindow(display), 0, 0, &x, &y, &child);
    const Screen* screen = DefaultScreenOfDisplay(display);
    if (x + shown.width <= 0 || y + shown.height <= 0 || x >= WidthOfScreen(screen) || y >= HeightOfScreen(screen))
      continue;
    text = LabelTextIn(GTK_WIDGET(candidate));
  }
  g_list_free(toplevels);
  return text;
}

// Moves the real pointer (XTest) to a point on the screen, in a few steps
// as a hand on the mouse does, letting the toolkit take each one.
void MovePointerTo(const wxPoint& point) {
  Display* display = gdk_x11_get_default_xdisplay();
  Window root = 0, child = 0;
  int fromX = 0, fromY = 0, windowX = 0, windowY = 0;
  unsigned int buttons = 0;
  XQueryPointer(display, DefaultRootWindow(display), &root, &child, &fromX, &fromY, &windowX, &windowY, &buttons);
  constexpr int kSteps = 5;
  for (int step = 1; step <= kSteps; ++step) {
    XTestFakeMotionEvent(display, -1, fromX + (point.x - fromX) * step / kSteps,
                         fromY + (point.y - fromY) * step / kSteps, CurrentTime);
    XSync(display, False);
    WaitFor([] { return !wxTheApp->Pending(); }, std::chrono::seconds(1));
  }
}

TEST_F(ReportWindowTest, ToolTipsOnScreenAreEachControlsOwn) {
  WaitFor([] { return CategoryNavigationState::Process().FirstReportPageSeen(); }, std::chrono::seconds(10));
  Press(ReportWindow::kEmailSpam);
  window->Move(0, 0);
  window->Raise();
  // The X server has the window where wxWidgets says it is.
  ASSERT_TRUE(WaitFor([&] {
    int x = -1, y = -1;
    gdk_window_get_origin(gtk_widget_get_window(window->GetHandle()), &x, &y);
    return wxPoint(x, y) == window->GetScreenPosition();
  }));
  AttachmentList* list = window->GetAttachmentList();
  const std::string first =
      "Subject: =?UTF-8?B?" + std::string("64yA7LacIOq0keqzoA==") + "?=\r\nFrom: a@spam.example\r\n\r\nx\r\n";
  ASSERT_EQ(list->AddFile(wxString::FromUTF8(files.Write("first.eml", first))), 1);
  ASSERT_EQ(list->AddFile(
                wxString::FromUTF8(files.Write("second.eml", "Subject: second\r\nFrom: b@spam.example\r\n\r\nx\r\n"))),
            1);
  ASSERT_NE(list->Entry(0).summary, list->Entry(1).summary);
  auto rowPoint = [&](long row) {
    wxRect rect;
    list->GetItemRect(row, rect);
    return list->ClientToScreen(wxPoint(rect.x + 40, rect.y + rect.height / 2));
  };
  auto middleOf = [&](int id) { return window->GetButton(id)->GetScreenRect().GetPosition() + wxPoint(10, 10); };
  const wxString none;
  const struct {
    const char* where;
    wxPoint point;
    wxString tip;  // empty: no tip at all
  } cases[] = {
      {"fax button", middleOf(ReportWindow::kFaxSpam), wxString::FromUTF8("팩스 스팸")},
      {"first row", rowPoint(0), list->Entry(0).summary},
      {"second row", rowPoint(1), list->Entry(1).summary},
      {"add button", middleOf(ReportWindow::kAdd), none},
      {"name field", window->GetEdit(ReportWindow::kName)->GetScreenRect().GetPosition() + wxPoint(10, 10), none},
      {"bare background", window->ClientToScreen(wxPoint(620, 125)), wxString("Dunmere")},
      {"capture button", middleOf(ReportWindow::kCapture), none},
      {"first row again", rowPoint(0), list->Entry(0).summary},
  };
  // The first tip after the window came to its place shows only after one
  // more move of the pointer (the toolkit's first tip of a window): the
  // pointer comes to rest on the window's bare surface first.
  const wxPoint bare = window->ClientToScreen(wxPoint(620, 125));
  MovePointerTo(bare);
  if (!WaitFor([&] { return ToolTipOnScreen() == "Dunmere"; }, std::chrono::seconds(2))) {
    MovePointerTo(bare + wxPoint(2, 0));
    ASSERT_TRUE(WaitFor([&] { return ToolTipOnScreen() == "Dunmere"; }, std::chrono::seconds(5)));
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.where);
    MovePointerTo(c.point);
    if (!c.tip.empty()) {
      EXPECT_TRUE(WaitFor([&] { return ToolTipOnScreen() == c.tip; }, std::chrono::seconds(5)))
          << "shown: " << ToolTipOnScreen();
    } else {
      // The tip of the place before goes; none comes in its place.
      EXPECT_TRUE(WaitFor([&] { return ToolTipOnScreen().empty(); }, std::chrono::seconds(5)))
          << "shown: " << ToolTipOnScreen();
      EXPECT_FALSE(WaitFor([&] { return !ToolTipOnScreen().empty(); }, std::chrono::milliseconds(1500)))
          << "shown: " << ToolTipOnScreen();
    }
  }
}
#endif

// Screenshots of both views for review: run tools/screenshots.sh report-window.
TEST_F(ReportWindowTest, Screenshots) {
  const std::string folder = test::ScreenshotFolder();
  if (folder.empty()) GTEST_SKIP() << "VERADEX_SCREENSHOT_DIR not set";
  const char* dir = folder.c_str();
  window->Move(0, 0);
  // The first completed load of the report page brings the telephone page
  // back; let that happen before switching to the e-mail view.
  WaitFor([] { return CategoryNavigationState::Process().FirstReportPageSeen(); }, std::chrono::seconds(10));
  WaitFor([] { return false; }, std::chrono::milliseconds(500));
  Press(ReportWindow::kEmailSpam);
  wxExecute("xdotool mousemove 1000 740", wxEXEC_SYNC | wxEXEC_NODISABLE);
  AttachmentList* list = window->GetAttachmentList();
  list->AddFile(Mail("spam-one.eml"));
  list->AddFile(Mail("광고메일.msg", 2048));
  WaitFor([] { return false; }, std::chrono::milliseconds(500));
  wxExecute(wxString::Format("import -window root %s/report-window-mail.png", dir), wxEXEC_SYNC | wxEXEC_NODISABLE);
  // The preview strip: a file that is no mail, then a mail with a long Korean subject.
  list->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  WaitFor([] { return false; }, std::chrono::milliseconds(300));
  wxExecute(wxString::Format("import -window root %s/report-window-preview-not-mail.png", dir),
            wxEXEC_SYNC | wxEXEC_NODISABLE);
  list->AddFile(wxString::FromUTF8(files.Write(
      "대출광고.eml",
      "Received: from mx.spam.example (mx.spam.example [203.0.113.7]) by mail.example.kr; Mon, 7 Dec 2026 10:00:01 "
      "+0900\r\nFrom: =?UTF-8?B?7J2067Kk7Yq47YyA?= <event@spam.example>\r\nDate: Mon, 7 Dec 2026 10:00:00 +0900\r\n"
      "Subject: 초특가 무담보 저금리 대출 상담 안내 및 신용등급 상관없이 당일 승인 가능한 특별 이벤트 마감 임박 "
      "지금 바로 신청하세요\r\n\r\nx\r\n")));
  list->SetItemState(2, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  WaitFor([] { return false; }, std::chrono::milliseconds(300));
  wxExecute(wxString::Format("import -window root %s/report-window-preview-long-subject.png", dir),
            wxEXEC_SYNC | wxEXEC_NODISABLE);
  window->GetAttachmentList()->RemoveAll();
  WaitFor([] { return false; }, std::chrono::milliseconds(300));
  wxExecute(wxString::Format("import -window root %s/report-window-empty.png", dir), wxEXEC_SYNC | wxEXEC_NODISABLE);
  Press(ReportWindow::kPhoneSpam);
  WaitFor([] { return false; }, std::chrono::milliseconds(3000));
  wxExecute(wxString::Format("import -window root %s/report-window-browser.png", dir), wxEXEC_SYNC | wxEXEC_NODISABLE);
}

}  // namespace
}  // namespace veradex
