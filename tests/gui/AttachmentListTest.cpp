// The attachment list: the limit of five and duplicate names as the list
// applies them, the drop filter with link resolution, the header box and
// deleting checked rows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include <wx/frame.h>

#include "gui/GuiTestSupport.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "ui/report/AttachmentList.h"
#include "ui/report/Utf8Text.h"

namespace veradex {
namespace {

using test::RecordingMessageSink;
using test::ScopedMessageSink;
using test::TempDir;
using test::WaitFor;

class AttachmentListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = new wxFrame(nullptr, wxID_ANY, "list", wxDefaultPosition, wxSize(500, 200));
    list = new AttachmentList(frame, 1120, wxPoint(0, 0), wxSize(448, 125));
    list->SetupColumns();
    list->SetupHeaderCheckBox();
    list->SetPlainMessageSink(&plain);
    list->SetCountChangedHandler([this] { ++countNotices; });
    frame->Show();
  }
  void TearDown() override { test::DestroyAndWait(frame); }

  std::string Eml(const std::string& name, std::size_t bytes = 10) const {
    return dir.Write(name, std::string(bytes, 'x'));
  }
  static std::string Ko(const char* utf8) { return Utf8Text::ToCp949(utf8); }

  RecordingMessageSink sink;
  ScopedMessageSink scoped{&sink};
  RecordingMessageSink plain;
  TempDir dir;
  wxFrame* frame = nullptr;
  AttachmentList* list = nullptr;
  int countNotices = 0;
};

TEST_F(AttachmentListTest, FiveFilesAtMostAndNamesCompareWithoutCase) {
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list->AddFile(Eml("m" + std::to_string(i) + ".eml")), 1);
  EXPECT_TRUE(WaitFor([&] { return countNotices == 4; }));

  // Same name from another folder, in another case: a duplicate.
  EXPECT_EQ(list->AddFile(Eml("other/M0.EML")), -1);
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, Ko("동일한 파일이 첨부리스트에 존재합니다"));
  EXPECT_EQ(sink.Messages()[0].style, 16u);

  // A missing file is still listed, with size "0".
  EXPECT_EQ(list->AddFile(dir.File("missing.eml")), 1);
  EXPECT_EQ(list->Entry(4).sizeText, "0");
  EXPECT_EQ(list->Entry(0).sizeText, "10");
  EXPECT_EQ(list->Entry(0).name, "m0.eml");
  EXPECT_EQ(list->GetItemText(4, 0), "missing.eml");
  EXPECT_EQ(list->GetItemText(0, 1), "10");

  EXPECT_EQ(list->AddFile(Eml("sixth.eml")), -1);
  EXPECT_EQ(sink.Texts().back(), Ko("5개 이상은 첨부하실 수 없습니다"));
  EXPECT_EQ(list->Count(), 5);
}

TEST_F(AttachmentListTest, DropFilterSkipsWrongAndMissingItemsAndFollowsLinks) {
  const std::string target = Eml("real/target.eml");
  std::filesystem::create_symlink(target, dir.File("link.eml"));
  dir.Write("spam.desktop",
            "[Desktop Entry]\nType=Link\nName=spam\nURL=file://" + dir.Path() + "/real/desk%20top.msg\n");
  Eml("real/desk top.msg", 7);
  std::filesystem::create_directories(dir.File("x.msg"));

  wxArrayString dropped;
  dropped.Add(dir.Path() + "/notes.txt");     // wrong extension: plain notice
  dropped.Add(dir.Path() + "/gone.eml");      // missing: skipped silently
  dropped.Add(dir.Path() + "/x.msg");         // a folder: accepted with size 0
  dropped.Add(dir.Path() + "/link.eml");      // symbolic link: its target
  dropped.Add(dir.Path() + "/spam.desktop");  // desktop link: its target
  list->HandleDrop(dropped);

  ASSERT_EQ(plain.Count(), 1u);
  EXPECT_EQ(plain.Messages()[0].text, Ko("eml파일 또는 msg파일이 아닙니다"));
  EXPECT_EQ(plain.Messages()[0].style, 0u);
  EXPECT_EQ(sink.Count(), 0u);
  ASSERT_EQ(list->Count(), 3);
  EXPECT_EQ(list->Entry(0).name, "x.msg");
  EXPECT_EQ(list->Entry(0).sizeText, "0");
  EXPECT_EQ(list->Entry(1).path, wxString(target));
  EXPECT_EQ(list->Entry(1).name, "target.eml");
  EXPECT_EQ(list->Entry(2).name, "desk top.msg");
  EXPECT_EQ(list->Entry(2).sizeText, "7");

  // While changes are refused, a drop adds nothing.
  list->SetChangeGuard([] { return false; });
  wxArrayString more;
  more.Add(wxString(Eml("late.eml")));
  list->HandleDrop(more);
  EXPECT_EQ(list->Count(), 3);
}

TEST_F(AttachmentListTest, HeaderBoxChecksAllAndFollowsTheRows) {
  for (const char* name : {"a.eml", "b.eml", "c.eml"}) list->AddFile(Eml(name));
  EXPECT_FALSE(list->HeaderChecked());

  wxListEvent click(wxEVT_LIST_COL_CLICK, list->GetId());
  click.SetEventObject(list);
  click.m_col = 0;
  list->GetEventHandler()->ProcessEvent(click);
  EXPECT_TRUE(list->HeaderChecked());
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(list->IsItemChecked(i));

  list->CheckItem(1, false);
  EXPECT_TRUE(WaitFor([&] { return !list->HeaderChecked(); }));

  // A click on the second column changes nothing.
  click.m_col = 1;
  list->GetEventHandler()->ProcessEvent(click);
  EXPECT_FALSE(list->HeaderChecked());
  EXPECT_FALSE(list->IsItemChecked(1));

  // Deleting removes the checked rows only; a selection plays no part.
  list->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  EXPECT_EQ(list->RemoveChecked(), 2);
  ASSERT_EQ(list->Count(), 1);
  EXPECT_EQ(list->Entry(0).name, "b.eml");
  EXPECT_EQ(list->RemoveChecked(), 0);
  EXPECT_EQ(list->Count(), 1);
}

}  // namespace
}  // namespace veradex
