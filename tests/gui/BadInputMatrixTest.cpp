// Every bad input the report window meets, walked in one real window against
// the test report centre: each ends with its exact message (or none) and
// loses nothing the user typed or attached, unless the program empties it on
// purpose (a delivered report, a cut description).
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <vector>

#include <wx/textctrl.h>

#include "gui/GuiTestSupport.h"
#include "gui/ReportWindowSetup.h"
#include "pages/CategoryNavigationState.h"
#include "pages/CategoryPage.h"
#include "platform/NativePath.h"
#include "profile/ConfigProfileStore.h"
#include "profile/MemoryProfileStore.h"
#include "profile/PersonalProfile.h"
#include "profile/ServerSettings.h"
#include "report/ReportTexts.h"
#include "support/RecordingMessageSink.h"
#include "support/ReportCentreHarness.h"
#include "support/TempDir.h"
#include "ui/report/AttachmentList.h"
#include "ui/report/EmailReportPanel.h"
#include "ui/report/ReportWindow.h"
#include "ui/report/Utf8Text.h"
#include "ui/skin/SkinBitmapButton.h"

namespace veradex {
namespace {

using test::TempDir;
using test::WaitFor;
using Answer = test::TestReportCentre::Answer;
using Fault = test::TestReportCentre::Fault;

std::string Ko(const char* utf8) { return Utf8Text::ToCp949(utf8); }
std::string Text(ReportTexts::Text text) { return ReportTexts::Get(text); }

const char kDescription[] = "불법 도박 광고 메일입니다";

class BadInputMatrixTest;

// One bad input: what it does, and what must be seen afterwards.
struct BadInput {
  const char* name;
  std::function<void(BadInputMatrixTest&)> act;
  std::vector<std::string> messages;                         // skinned boxes, in order
  std::vector<std::string> plainMessages;                    // the platform's plain box
  std::vector<std::string> rows;                             // names in the attachment list afterwards
  std::string content = kDescription;                        // the description afterwards (UTF-8)
  std::function<void(BadInputMatrixTest&)> check = nullptr;  // anything more
};

class BadInputMatrixTest : public test::ReportWindowFixture<> {
 public:
  void SetUp() override {
    // A dribbling centre is given up after two seconds instead of twenty.
    store.WriteProfileString(profile::kServers, "answer_limit", "2");
    store.WriteProfileString(profile::kServers, "send_window", "2");
    ReportWindowFixture::SetUp();
  }

  // A saved message of `bytes` bytes in a folder of its own.
  wxString Mail(const std::string& name, std::size_t bytes = 3000) {
    return wxString::FromUTF8(files.Write("m" + std::to_string(++made) + "/" + name, std::string(bytes, 'x')));
  }
  void Add(const wxString& path) { List().AddFile(path); }
  void Drop(const wxString& path) { List().HandleDrop(wxArrayString(1, path)); }
  // Presses send and waits until the worker (if one started) has finished.
  void Send() {
    window->EmailReport().OnSend();
    ASSERT_TRUE(WaitFor([&] { return !window->EmailReport().IsSending(); }, std::chrono::seconds(40)));
    WaitFor([] { return false; }, std::chrono::milliseconds(100));  // its last notices
  }
  // One attachment, the centre answering `path` with `answer`, then send.
  void SendAgainst(const char* path, Answer answer, std::size_t bytes = 3000) {
    centre.Centre().SetAnswer(path, std::move(answer));
    Add(Mail("mail.eml", bytes));
    Send();
  }
  // A damaged profile file: the program starts with what can be read of it,
  // keeps the damaged file aside and loses nothing of the form.
  void OpenDamagedProfile(const std::string& bytes) {
    TempDir folder;
    const std::string path = folder.Write("veradex.conf", bytes);
    ConfigProfileStore damaged("veradex", folder.Path());
    EXPECT_TRUE(damaged.WasDamaged());
    EXPECT_EQ(test::ReadFileBytes(damaged.DamagedCopyPath()), bytes);
    EXPECT_EQ(damaged.GetProfileString(profile::kOptions, "EMail"), "kim@example.com");
    EXPECT_TRUE(damaged.WriteProfileString(profile::kOptions, "Tel1", "031"));
    PersonalProfile loaded;
    loaded.Load(damaged);
    EXPECT_EQ(loaded.email, "kim@example.com");
    EXPECT_NE(test::ReadFileBytes(path), bytes);  // a clean file took its place
  }

  // The table: one row per bad input.
  std::vector<BadInput> Inputs();

  int made = 0;
};

// Writing the profile under a file-size limit below its size: the write
// fails, the process lives on, and the old file is untouched and alone.
// Runs in a child process, where the limit cannot harm the tests.
void ProfileWriteFailsHalfWay(BadInputMatrixTest& test) {
  const std::string old = "[Options]\nName=" + std::string(200, 'a') + "\n";
  const std::string path = test.files.Write("profile/veradex.conf", old);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit limit{64, 64};
    setrlimit(RLIMIT_FSIZE, &limit);
    ConfigProfileStore store("veradex", test.files.Path() + "/profile");
    const bool written = store.WriteProfileString(profile::kOptions, "Name", std::string(300, 'b'));
    const bool kept = store.GetProfileString(profile::kOptions, "Name") == std::string(300, 'b');
    _exit(!written && kept ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
  EXPECT_EQ(test::ReadFileBytes(path), old);
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(test.files.Path() + "/profile"))
    left.push_back(entry.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"veradex.conf"});
}

std::vector<BadInput> BadInputMatrixTest::Inputs() {
  const std::string connectFailed = Text(ReportTexts::kConnectFailed);
  const std::string sendFailed = Text(ReportTexts::kSendFailed);
  const std::string registrationFailed = Text(ReportTexts::kRegistrationFailed);
  std::vector<BadInput> inputs = {
      {"SixthFile",
       [](BadInputMatrixTest& t) {
         for (const char* name : {"1.eml", "2.eml", "3.eml", "4.msg", "5.eml"}) t.Add(t.Mail(name));
         t.Drop(t.Mail("6.eml"));
       },
       {Text(ReportTexts::kTooManyFiles)},
       {},
       {"1.eml", "2.eml", "3.eml", "4.msg", "5.eml"}},
      {"DuplicateNameInAnotherCase",
       [](BadInputMatrixTest& t) {
         t.Add(t.Mail("spam.eml"));
         t.Add(t.Mail("SPAM.EML"));
       },
       {Text(ReportTexts::kDuplicateFile)},
       {},
       {"spam.eml"}},
      {"DroppedTextFile",
       [](BadInputMatrixTest& t) { t.Drop(t.Mail("notes.txt")); },
       {},
       {Text(ReportTexts::kNotMailFile)},
       {}},
      {"OneByteOverTwoMiB",
       [](BadInputMatrixTest& t) {
         t.Add(t.Mail("big.eml", 2097153));
         t.Send();
       },
       {Text(ReportTexts::kFileTooLarge)},
       {},
       {"big.eml"}},
      {"VanishedAfterAdding",
       [](BadInputMatrixTest& t) {
         const wxString path = t.Mail("gone.eml");
         t.Add(path);
         std::filesystem::remove(path.utf8_string());
         t.Send();
       },
       {Text(ReportTexts::kOpenErrorPrefix) + "2): " + Text(ReportTexts::kFileNotFound)},
       {},
       {"gone.eml"}},
      {"UnreadableFile",
       [](BadInputMatrixTest& t) {
         const wxString path = t.Mail("locked.eml");
         t.Add(path);
         std::filesystem::permissions(path.utf8_string(), std::filesystem::perms::none);
         t.Send();
       },
       {Text(ReportTexts::kOpenErrorPrefix) + "5): " + Text(ReportTexts::kAccessDenied)},
       {},
       {"locked.eml"}},
      {"FolderNamedMsg",
       [](BadInputMatrixTest& t) {
         const std::string folder = t.files.Path() + "/x.msg";
         std::filesystem::create_directory(folder);
         t.Drop(wxString::FromUTF8(folder));
         EXPECT_EQ(t.List().GetItemText(0, 1), "0");
         t.Send();
       },
       {Text(ReportTexts::kOpenErrorPrefix) + "5): " + Text(ReportTexts::kFolderNotFile)},
       {},
       {"x.msg"}},
      {"SymbolicLinkLoop",
       [](BadInputMatrixTest& t) {
         const std::string a = t.files.Path() + "/loop.eml", b = t.files.Path() + "/loop2.eml";
         std::filesystem::create_symlink(b, a);
         std::filesystem::create_symlink(a, b);
         t.Drop(wxString::FromUTF8(a));
       },
       {},
       {},
       {}},
      {"DesktopLinkToAMissingFile",
       [](BadInputMatrixTest& t) {
         const std::string link = t.files.Write(
             "spam.desktop", "[Desktop Entry]\nType=Link\nName=spam\nURL=file://" + t.files.Path() + "/missing.eml\n");
         t.Drop(wxString::FromUTF8(link));
       },
       {},
       {},
       {}},
      // Not UTF-8, yet a name the file system holds: listed, and delivered.
      {"NameWithInvalidUtf8Bytes",
       [](BadInputMatrixTest& t) {
         const std::string path = t.files.Write("spam\xff\xfe.eml", "Subject: spam\r\n\r\nbuy");
         t.Drop(NativePath::ToWx(path));
         ASSERT_EQ(t.List().Count(), 1);
         EXPECT_EQ(NativePath::FromWx(t.List().Entry(0).path), path);
         t.Send();
       },
       {Text(ReportTexts::kReportReceived)},
       {},
       {},
       ""},
      {"FiveThousandPastedBytes",
       [](BadInputMatrixTest& t) { t.Edit(ReportWindow::kContent)->SetValue(wxString('a', 5000)); },
       {Ko("한글 2000자까지 입력하실 수 있습니다.")},
       {},
       {},
       std::string(4000, 'a')},
      {"MissingTemplate",
       [](BadInputMatrixTest& t) {
         const std::string path = t.pageDir.Path() + "/PHONE_SPAM.bak";
         const std::string kept = test::ReadFileBytes(path);
         std::filesystem::remove(path);
         const Category category = t.window->GetCategory();
         t.Press(ReportWindow::kPhoneSpam);
         EXPECT_EQ(t.window->GetCategory(), category);
         t.pageDir.Write("PHONE_SPAM.bak", kept);
       },
       {Ko("페이지 양식 파일을 읽을 수 없습니다: ") + pageDir.Path() + "/PHONE_SPAM.bak"},
       {},
       {}},
      // Larger than the old fixed buffer: filled and written whole.
      {"TemplateOverOneHundredThousandBytes",
       [](BadInputMatrixTest& t) {
         const std::string path = t.pageDir.Path() + "/Fax_Spam.bak";
         const std::string kept = test::ReadFileBytes(path);
         t.pageDir.Write("Fax_Spam.bak", std::string(150000, ' ') + "__name__");
         t.Press(ReportWindow::kFaxSpam);
         const std::string page = test::ReadFileBytes(t.pageDir.Path() + "/Fax_Spam.html");
         EXPECT_EQ(page, std::string(150000, ' ') + Ko("홍길동"));
         EXPECT_EQ(t.window->GetCategory(), Category::kFax);
         t.pageDir.Write("Fax_Spam.bak", kept);
         t.window->ShowEmailView();
       },
       {},
       {},
       {}},
      {"ProfileWithNulBytes",
       [](BadInputMatrixTest& t) {
         static const char bytes[] = "[Options]\nEMail=kim@example.com\nName=a\0b\n";
         t.OpenDamagedProfile(std::string(bytes, sizeof bytes - 1));
       },
       {},
       {},
       {}},
      {"ProfileWithTruncatedUtf8",
       [](BadInputMatrixTest& t) { t.OpenDamagedProfile("[Options]\nEMail=kim@example.com\nName=\xed\x99\n"); },
       {},
       {},
       {}},
      {"ProfileOfTenMiBGarbage",
       [](BadInputMatrixTest& t) {
         std::string garbage = "[Options]\nEMail=kim@example.com\n";
         for (std::size_t i = 0; garbage.size() < (10u << 20); ++i)
           garbage += static_cast<char>((i * 2654435761u) >> 13);
         t.OpenDamagedProfile(garbage);
       },
       {},
       {},
       {}},
      {"ProfileWriteFailsHalfWay", ProfileWriteFailsHalfWay, {}, {}, {}},
      // The servers misbehaving: the list and the description stay.
      {"ServerAnswersGarbage",
       [](BadInputMatrixTest& t) {
         Answer garbage;
         garbage.raw = std::string("\x00\x01garbage\xff\r\n\r\n", 14);
         t.SendAgainst(test::TestReportCentre::kUploadPath, garbage);
       },
       {registrationFailed},
       {},
       {"mail.eml"}},
      {"ServerAnswersNothing",
       [](BadInputMatrixTest& t) {
         Answer nothing = Answer::UploadAccepted();
         nothing.fault = Fault::kCloseBeforeStatus;
         t.SendAgainst(test::TestReportCentre::kUploadPath, nothing);
       },
       {registrationFailed},
       {},
       {"mail.eml"}},
      {"ServerAnswersAHeadOfOneMiB",
       [](BadInputMatrixTest& t) {
         Answer longHead;
         longHead.raw = "HTTP/1.1 200 OK\r\nX-Pad: " + std::string(1 << 20, 'p') + "\r\nSet-Cookie: a=b\r\n\r\n";
         t.SendAgainst(test::TestReportCentre::kUploadPath, longHead);
       },
       {registrationFailed},
       {},
       {"mail.eml"}},
      // The report form's answer never ends: no verdict, nothing received.
      {"ServerAnswersAnEndlessBody",
       [](BadInputMatrixTest& t) {
         Answer endless = Answer::FormReceived();
         endless.fault = Fault::kEndlessBody;
         t.SendAgainst(test::TestReportCentre::kFormPath, endless);
       },
       {sendFailed},
       {},
       {"mail.eml"}},
      {"ServerSendsATlsAlert",
       [](BadInputMatrixTest& t) {
         Answer alert = Answer::UploadAccepted();
         alert.fault = Fault::kTlsAlert;
         t.SendAgainst(test::TestReportCentre::kUploadPath, alert);
       },
       {registrationFailed},
       {},
       {"mail.eml"}},
      {"ServerClosesMidUpload",
       [](BadInputMatrixTest& t) {
         t.centre.Centre().SetReceiveBufferBytes(4096);
         Answer reset = Answer::UploadAccepted();
         reset.fault = Fault::kResetMidUpload;
         t.SendAgainst(test::TestReportCentre::kUploadPath, reset, 2097152);
       },
       {sendFailed},
       {},
       {"mail.eml"}},
      // A byte every half second: the answer is given up at the limit.
      {"ServerTricklesItsAnswer",
       [](BadInputMatrixTest& t) {
         t.centre.Centre().SetPauseMilliseconds(500);
         Answer trickled = Answer::UploadAccepted();
         trickled.delivery = test::TestReportCentre::Delivery::kTrickle;
         t.SendAgainst(test::TestReportCentre::kUploadPath, trickled);
       },
       {registrationFailed},
       {},
       {"mail.eml"}},
      // A kilobyte every three seconds: fewer than one in the send window.
      {"ServerTrickleReadsTheUpload",
       [](BadInputMatrixTest& t) {
         t.centre.Centre().SetReceiveBufferBytes(4096);
         t.centre.Centre().SetPauseMilliseconds(3000);
         Answer slow = Answer::UploadAccepted();
         slow.fault = Fault::kTrickleReadUpload;
         t.SendAgainst(test::TestReportCentre::kUploadPath, slow, 2097152);
       },
       {sendFailed},
       {},
       {"mail.eml"}},
  };
  // Text code page 949 cannot carry, in each field in turn: refused, naming
  // the field, and the text stays as typed.
  const struct {
    int id;
    const char* label;
  } fields[] = {{ReportWindow::kName, "성명/상호"},
                {ReportWindow::kTel1, "전화번호"},
                {ReportWindow::kTel2, "전화번호"},
                {ReportWindow::kTel3, "전화번호"},
                {ReportWindow::kEmail, "E-Mail"},
                {ReportWindow::kPassword, "비밀번호"},
                {ReportWindow::kPasswordConfirm, "비밀번호 확인"},
                {ReportWindow::kContent, "신고내용"}};
  for (const auto& field : fields) {
    const int id = field.id;
    const wxString typed = wxString::FromUTF8("12\xF0\x9F\x98\x80");
    inputs.push_back({"EmojiInAField",
                      [id, typed](BadInputMatrixTest& t) {
                        t.Add(t.Mail("kept.eml"));
                        t.Edit(id)->ChangeValue(typed);
                        t.Send();
                        EXPECT_EQ(t.Edit(id)->GetValue(), typed) << id;
                      },
                      {Ko(field.label) + Text(ReportTexts::kUnstorableField)},
                      {},
                      {"kept.eml"},
                      id == ReportWindow::kContent ? typed.utf8_string() : std::string(kDescription)});
  }
  return inputs;
}

TEST_F(BadInputMatrixTest, EveryBadInputEndsWithItsMessageAndLosesNothing) {
  for (const BadInput& input : Inputs()) {
    SCOPED_TRACE(input.name);
    // Permissions do not stop the superuser from reading.
    if (std::string(input.name) == "UnreadableFile" && geteuid() == 0) continue;
    // A fresh form: the profile's data, a description, an empty list, a
    // centre that behaves.
    List().RemoveAll();
    window->LoadProfileFields();
    window->ShowEmailView();
    Edit(ReportWindow::kContent)->ChangeValue(wxString::FromUTF8(kDescription));
    centre.Centre().SetAnswer(test::TestReportCentre::kUploadPath, Answer::UploadAccepted());
    centre.Centre().SetAnswer(test::TestReportCentre::kFormPath, Answer::FormReceived());
    centre.Centre().SetPauseMilliseconds(100);
    centre.Centre().SetReceiveBufferBytes(0);
    sink.Clear();
    plain.Clear();

    input.act(*this);

    EXPECT_EQ(sink.Texts(), input.messages);
    EXPECT_EQ(plain.Texts(), input.plainMessages);
    std::vector<std::string> rows;
    for (int i = 0; i < List().Count(); ++i) rows.push_back(List().Entry(i).name.utf8_string());
    EXPECT_EQ(rows, input.rows);
    EXPECT_TRUE(WaitFor([&] {
      return window->EmailReport().GetCountLabel() ==
             wxString::Format(wxString::FromUTF8("[총 %d개 첨부]"), List().Count());
    }));
    EXPECT_EQ(Edit(ReportWindow::kContent)->GetValue().utf8_string(), input.content);
    if (std::string(input.name) != "EmojiInAField") {
      EXPECT_EQ(Edit(ReportWindow::kName)->GetValue(), wxString::FromUTF8("홍길동"));
      EXPECT_EQ(Edit(ReportWindow::kEmail)->GetValue(), "hong@example.com");
    }
    EXPECT_FALSE(window->EmailReport().IsSending());
    for (const auto& message : sink.Messages()) EXPECT_EQ(message.style, 16u);
    if (input.check) input.check(*this);
  }
}

}  // namespace
}  // namespace veradex
