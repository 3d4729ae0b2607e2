// What a screen reader meets in the report window and the message box, read
// over AT-SPI by a child program (tests/gui/accessibility_tree.py) while this
// process keeps its event loop running to answer it. Runs where the accessibility bridge is on (the
// ctest entry AccessibilityTree clears NO_AT_BRIDGE); skips elsewhere.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <wx/process.h>
#include <wx/utils.h>

#include "gui/GuiTestSupport.h"
#include "gui/ReportWindowSetup.h"
#include "platform/Cp949.h"
#include "ui/report/AttachmentList.h"
#include "ui/report/ReportWindow.h"
#include "ui/report/WebEngine.h"
#include "ui/skin/SkinMessageBox.h"

namespace veradex {
namespace {

using test::WaitFor;

// One line of the reader's output.
struct Node {
  int depth = 0;
  std::string role, name, description, states, labelledBy, text;
  bool Has(char state) const { return states.find(state) != std::string::npos; }
};

// Runs the reader on this process and returns the tree; the event loop runs
// meanwhile so the bridge can answer.
std::vector<Node> ReadTree(const test::TempDir& folder) {
  const std::string out = folder.Path() + "/tree.tsv";
  const std::string errors = folder.Path() + "/tree.err";
  // The reader needs the system's Python (its GObject bindings).
  const wxString command =
      wxString::Format("sh -c '/usr/bin/python3 %s/tests/gui/accessibility_tree.py %ld 20 > %s 2> %s'",
                       VERADEX_SOURCE_DIR, static_cast<long>(::getpid()), out, errors);
  // Shared with the process object, which may outlive this call.
  auto ended = std::make_shared<bool>(false);
  auto* process = new wxProcess();
  // Skipped on, the end event reaches wxProcess's own handling, which
  // deletes the object once nobody else handled it.
  process->Bind(wxEVT_END_PROCESS, [ended](wxProcessEvent& event) {
    *ended = true;
    event.Skip();
  });
  if (wxExecute(command, wxEXEC_ASYNC | wxEXEC_NODISABLE, process) <= 0) {
    delete process;
    return {};
  }
  EXPECT_TRUE(WaitFor([&] { return *ended; }, std::chrono::seconds(60))) << "the AT-SPI reader did not finish";
  std::ifstream errorText(errors);
  const std::string problems((std::istreambuf_iterator<char>(errorText)), std::istreambuf_iterator<char>());
  EXPECT_EQ(problems, "") << "the AT-SPI reader failed";
  std::vector<Node> nodes;
  std::ifstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::stringstream split(line);
    std::string cell;
    while (std::getline(split, cell, '\t')) cells.push_back(cell);
    cells.resize(8);
    Node node;
    node.depth = std::atoi(cells[0].c_str());
    node.role = cells[1];
    node.name = cells[2];
    node.description = cells[3];
    node.states = cells[4];
    node.labelledBy = cells[5];
    node.text = cells[7];
    nodes.push_back(node);
  }
  return nodes;
}

const Node* Find(const std::vector<Node>& nodes, const std::string& role, const std::string& name) {
  for (const Node& node : nodes)
    if (node.role == role && node.name == name) return &node;
  return nullptr;
}

class AccessibilityTreeTest : public test::ReportWindowFixture<> {
 protected:
  void SetUp() override {
    if (std::getenv("NO_AT_BRIDGE") != nullptr) GTEST_SKIP() << "the accessibility bridge is off (NO_AT_BRIDGE)";
    if (getenv("VERADEX_DUMP"))
      std::system(
          "gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus --method "
          "org.freedesktop.DBus.Properties.Set org.a11y.Status ScreenReaderEnabled '<true>' >&2");
    test::ReportWindowFixture<>::SetUp();
  }
  test::TempDir output;
};

TEST_F(AccessibilityTreeTest, EveryControlOfTheMailViewHasARoleANameAndItsLabel) {
  WaitForStartPage();
  Press(ReportWindow::kEmailSpam);
  AttachmentList& list = List();
  ASSERT_EQ(list.AddFile(wxString::FromUTF8(files.Write("spam-one.eml", "Subject: a\r\n\r\nx"))), 1);
  ASSERT_EQ(list.AddFile(wxString::FromUTF8(files.Write("광고메일.eml", "Subject: b\r\n\r\ny"))), 1);
  list.CheckItem(1, true);
  const std::vector<Node> nodes = ReadTree(output);
  ASSERT_FALSE(nodes.empty());

  // Whatever can take the keyboard says what it is.
  for (const Node& node : nodes) {
    if (!node.Has('s') || !node.Has('f')) continue;
    EXPECT_FALSE(node.name.empty()) << node.role << " without a name";
    EXPECT_NE(node.role, "panel") << node.name;
    EXPECT_NE(node.role, "filler") << node.name;
    EXPECT_NE(node.role, "unknown") << node.name;
  }

  // Each field, the role and name it is announced with, and the label naming it.
  const struct {
    const char* role;
    const char* name;
    const char* label;
  } fields[] = {
      {"text", "성명/상호", "성명/상호"},
      {"text", "전화번호 앞자리", "전화번호"},
      {"text", "전화번호 가운데자리", "전화번호"},
      {"text", "전화번호 뒷자리", "전화번호"},
      {"text", "E-Mail", "E-Mail"},
      {"password text", "비밀번호", "비밀번호"},
      {"password text", "비밀번호 확인", "비밀번호 확인"},
      {"text", "신고내용", "신고내용"},
  };
  for (const auto& field : fields) {
    const Node* node = Find(nodes, field.role, field.name);
    ASSERT_NE(node, nullptr) << field.name;
    EXPECT_TRUE(node->Has('s') && node->Has('f')) << field.name;
    EXPECT_EQ(node->labelledBy, field.label) << field.name;
  }

  // The picture buttons, the list with its columns and named rows, the progress bar.
  const struct {
    const char* role;
    const char* name;
  } named[] = {{"push button", "메뉴"},          {"push button", "환경설정"},     {"push button", "민원확인"},
               {"push button", "첨부파일 추가"}, {"push button", "신고하기"},     {"push button", "닫기"},
               {"toggle button", "E-MAIL 스팸"}, {"table", "첨부파일 목록"},      {"table row", "spam-one.eml"},
               {"table row", "광고메일.eml"},    {"progress bar", "전송 진행률"}, {"label", "성명/상호"}};
  for (const auto& control : named) EXPECT_NE(Find(nodes, control.role, control.name), nullptr) << control.name;
  EXPECT_EQ(Find(nodes, "table", "첨부파일 목록")->description, "파일명, 용량");
  EXPECT_FALSE(Find(nodes, "table row", "spam-one.eml")->Has('c'));
  EXPECT_TRUE(Find(nodes, "table row", "광고메일.eml")->Has('c'));
  // The current category is the checked one.
  EXPECT_TRUE(Find(nodes, "toggle button", "E-MAIL 스팸")->Has('c'));
  EXPECT_FALSE(Find(nodes, "toggle button", "팩스 스팸")->Has('c'));
}

TEST_F(AccessibilityTreeTest, MessageBoxIsAnAlertWhoseTextIsRead) {
  const std::string text = "서버로의 접속이 실패하였습니다.";
  SkinMessageBox box(Cp949::FromUtf8(text.c_str()), 0x10, nullptr);
  ASSERT_TRUE(box.CreateBox());
  box.Show();
  WaitFor([&] { return box.IsShownOnScreen(); }, std::chrono::seconds(2));
  const std::vector<Node> nodes = ReadTree(output);
  box.Hide();
  const Node* alert = Find(nodes, "alert", ":: Veradex ::");
  ASSERT_NE(alert, nullptr);
  EXPECT_EQ(alert->description, text);
  EXPECT_NE(Find(nodes, "label", text), nullptr);
  EXPECT_NE(Find(nodes, "push button", "확인"), nullptr);
}

TEST_F(AccessibilityTreeTest, TheReportPageNamesItsFieldsSaysWhichAreRequiredAndAnnouncesItsError) {
  // The telephone page, read through the report window: the page's process
  // and its engine's are embedded in the window's tree.
  WebEngineView* engine = LoadedStartPage();
  ASSERT_NE(engine, nullptr);
  std::vector<Node> nodes;
  for (int attempt = 0; attempt < 10 && Find(nodes, "entry", "보낸 번호") == nullptr; ++attempt)
    nodes = ReadTree(output);
  ASSERT_NE(Find(nodes, "document web", "전화 스팸 신고"), nullptr) << "the page is not in the tree";

  const struct {
    const char* role;
    const char* name;
    bool required;
  } fields[] = {
      {"entry", "보낸 번호", true},
      {"entry", "받은 날짜", false},
      {"combo box", "스팸 종류", false},
      {"entry", "광고 내용", true},
      {"entry", "이름", true},
      {"entry", "전자우편", true},
      {"entry", "전화번호 앞자리", true},
      {"entry", "전화번호 가운데자리", false},
      {"entry", "휴대전화 앞자리", false},
      {"combo box", "통신사", false},
      {"password text", "민원 비밀번호", true},
  };
  for (const auto& field : fields) {
    const Node* node = Find(nodes, field.role, field.name);
    ASSERT_NE(node, nullptr) << field.name;
    EXPECT_TRUE(node->Has('f')) << field.name;
    EXPECT_EQ(node->Has('r'), field.required) << field.name;
  }
  for (const Node& node : nodes) {
    if (node.Has('s') && node.Has('f')) {
      EXPECT_FALSE(node.name.empty()) << node.role << " without a name";
    }
  }

  // A report sent without a required field: the page says what is missing,
  // as an alert.
  const wxString shown = PageScript(engine,
                                    "document.querySelector('[name=spam_tel]').value = '';"
                                    "document.forms[0].requestSubmit();"
                                    "document.querySelector('.error').textContent");
  EXPECT_EQ(shown, wxString::FromUTF8("보낸 번호: 꼭 적어 주십시오."));
  const auto alerted = [](const std::vector<Node>& tree) {
    for (const Node& node : tree)
      if ((node.role == "alert" || node.role == "notification") && node.text == "보낸 번호: 꼭 적어 주십시오.")
        return true;
    return false;
  };
  for (int attempt = 0; attempt < 5 && !alerted(nodes); ++attempt) nodes = ReadTree(output);
  EXPECT_TRUE(alerted(nodes)) << "the page's error is not an alert in the tree";
}

}  // namespace
}  // namespace veradex
