#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include <wx/dcclient.h>
#include <wx/statbmp.h>

#include "GuiTestSupport.h"
#include "ModalTestSupport.h"
#include "platform/MessageSink.h"
#include "ui/skin/DialogUnits.h"
#include "ui/skin/SkinBitmapButton.h"
#include "ui/skin/SkinLabel.h"
#include "ui/skin/SkinMessageBox.h"
#include "ui/skin/SkinMessageSink.h"
#include "ui/skin/SoundPlayer.h"

namespace veradex {
namespace {

using test::EndNextModal;
using test::PressButton;
using test::PressKey;

class RecordingPlayer : public SoundPlayer {
 public:
  void Beep(unsigned type) override { beeps.push_back(type); }
  std::vector<unsigned> beeps;
};

class SkinMessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { SoundPlayer::SetCurrent(&player); }
  void TearDown() override { SoundPlayer::SetCurrent(nullptr); }

  static bool Shown(wxWindow* box, int id) {
    wxWindow* child = box->FindWindow(id);
    return child != nullptr && child->IsShown();
  }
  static wxPoint Where(wxWindow* box, int id) { return box->FindWindow(id)->GetPosition(); }

  // Runs the box with a style, doing action once it is up; returns DoModal's result.
  int Run(unsigned style, std::function<void(SkinMessageBox*)> action) {
    SkinMessageBox box("\xB8\xDE\xBD\xC3\xC1\xF6", style, nullptr);  // "메시지"
    auto done = EndNextModal<SkinMessageBox>(action);
    const int result = box.DoModal();
    EXPECT_TRUE(done->ran);
    EXPECT_FALSE(done->endedByTimeout);
    return result;
  }

  RecordingPlayer player;
};

TEST_F(SkinMessageBoxTest, StopStyleShowsOneCentredOkButtonAndBeepsTwice) {
  SkinMessageBox box("text", kStyleStop, nullptr);
  ASSERT_TRUE(box.CreateBox());
  const wxSize client = box.GetClientSize();
  const wxSize button = box.FindWindow(SkinMessageBox::kOkId)->GetSize();
  EXPECT_EQ(button, DialogUnits::Size(52, 17));

  EXPECT_TRUE(Shown(&box, SkinMessageBox::kOkId));
  EXPECT_FALSE(Shown(&box, SkinMessageBox::kCancelId));
  EXPECT_FALSE(Shown(&box, SkinMessageBox::kYesId));
  EXPECT_FALSE(Shown(&box, SkinMessageBox::kNoId));
  EXPECT_EQ(Where(&box, SkinMessageBox::kOkId),
            wxPoint((client.GetWidth() - button.GetWidth()) / 2, client.GetHeight() - button.GetHeight() - 35));
  EXPECT_TRUE(Shown(&box, SkinMessageBox::kStopPictureId));
  EXPECT_FALSE(Shown(&box, SkinMessageBox::kQuestionPictureId));
  EXPECT_EQ(player.beeps, (std::vector<unsigned>{0x10, 0x40}));

  EXPECT_EQ(box.GetTitle(), wxS(":: Veradex ::"));
  auto* caption = dynamic_cast<SkinLabel*>(box.FindWindow(SkinMessageBox::kCaptionId));
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->GetLabel(), wxS(":: Veradex ::"));
  EXPECT_EQ(caption->GetRect(), wxRect(0, 8, client.GetWidth() - 20, 20));
  EXPECT_EQ(box.FindWindow(SkinMessageBox::kTextId)->GetLabel(), wxS("text"));
  EXPECT_EQ(box.FindWindow(SkinMessageBox::kTextId)->GetRect(), DialogUnits::ToPixels(63, 62, 119, 70));
}

TEST_F(SkinMessageBoxTest, StopStyleResults) {
  EXPECT_EQ(Run(kStyleStop, [](SkinMessageBox* box) { PressButton(box, SkinMessageBox::kOkId); }), kIdOk);
  EXPECT_EQ(Run(kStyleStop, [](SkinMessageBox* box) { PressKey(box, WXK_ESCAPE); }), kIdCancel);
  EXPECT_EQ(Run(kStyleStop, [](SkinMessageBox* box) { PressKey(box, WXK_RETURN); }), kIdOk);
}

TEST_F(SkinMessageBoxTest, QuestionStyleShowsYesLeftAndNoRightOfTheCentre) {
  SkinMessageBox box("quit?", kStyleQuestion, nullptr);
  ASSERT_TRUE(box.CreateBox());
  const wxSize client = box.GetClientSize();
  const wxSize button = box.FindWindow(SkinMessageBox::kOkId)->GetSize();
  EXPECT_FALSE(Shown(&box, SkinMessageBox::kOkId));
  EXPECT_FALSE(Shown(&box, SkinMessageBox::kCancelId));
  ASSERT_TRUE(Shown(&box, SkinMessageBox::kYesId));
  ASSERT_TRUE(Shown(&box, SkinMessageBox::kNoId));
  const int y = client.GetHeight() - button.GetHeight() - 15;
  EXPECT_EQ(Where(&box, SkinMessageBox::kYesId), wxPoint(client.GetWidth() / 2 - button.GetWidth() - 5, y));
  EXPECT_EQ(Where(&box, SkinMessageBox::kNoId), wxPoint(client.GetWidth() / 2 + 5, y));
  // Ten pixels between them.
  EXPECT_EQ(Where(&box, SkinMessageBox::kNoId).x - Where(&box, SkinMessageBox::kYesId).x - button.GetWidth(), 10);
  EXPECT_TRUE(Shown(&box, SkinMessageBox::kQuestionPictureId));
  EXPECT_FALSE(Shown(&box, SkinMessageBox::kStopPictureId));
  EXPECT_EQ(player.beeps, (std::vector<unsigned>{0x20}));
}

TEST_F(SkinMessageBoxTest, QuestionStyleResults) {
  EXPECT_EQ(Run(kStyleQuestion, [](SkinMessageBox* box) { PressButton(box, SkinMessageBox::kYesId); }), kIdYes);
  EXPECT_EQ(Run(kStyleQuestion, [](SkinMessageBox* box) { PressButton(box, SkinMessageBox::kNoId); }), kIdNo);
  EXPECT_EQ(Run(kStyleQuestion, [](SkinMessageBox* box) { PressKey(box, WXK_ESCAPE); }), kIdNo);
}

TEST_F(SkinMessageBoxTest, OkCancelWithoutPictureIsSilent) {
  {
    SkinMessageBox box("x", kMbOkCancel, nullptr);
    ASSERT_TRUE(box.CreateBox());
    const wxSize client = box.GetClientSize();
    const wxSize button = box.FindWindow(SkinMessageBox::kOkId)->GetSize();
    const int y = client.GetHeight() - button.GetHeight() - 15;
    EXPECT_EQ(Where(&box, SkinMessageBox::kOkId), wxPoint(client.GetWidth() / 2 - button.GetWidth() - 5, y));
    EXPECT_EQ(Where(&box, SkinMessageBox::kCancelId), wxPoint(client.GetWidth() / 2 + 5, y));
    EXPECT_TRUE(Shown(&box, SkinMessageBox::kCancelId));
    EXPECT_FALSE(Shown(&box, SkinMessageBox::kStopPictureId));
    EXPECT_FALSE(Shown(&box, SkinMessageBox::kQuestionPictureId));
    EXPECT_TRUE(player.beeps.empty());
  }
  EXPECT_EQ(Run(kMbOkCancel, [](SkinMessageBox* box) { PressButton(box, SkinMessageBox::kOkId); }), kIdOk);
  EXPECT_EQ(Run(kMbOkCancel, [](SkinMessageBox* box) { PressButton(box, SkinMessageBox::kCancelId); }), kIdCancel);
}

TEST_F(SkinMessageBoxTest, UnknownButtonValueShowsNoButtonAndEscapeCancels) {
  {
    SkinMessageBox box("x", 2, nullptr);
    ASSERT_TRUE(box.CreateBox());
    for (int id : {SkinMessageBox::kOkId, SkinMessageBox::kCancelId, SkinMessageBox::kYesId, SkinMessageBox::kNoId})
      EXPECT_FALSE(Shown(&box, id)) << id;
  }
  EXPECT_EQ(Run(2, [](SkinMessageBox* box) { PressKey(box, WXK_ESCAPE); }), kIdCancel);
  EXPECT_EQ(Run(3, [](SkinMessageBox* box) { PressKey(box, WXK_ESCAPE); }), kIdCancel);
}

TEST_F(SkinMessageBoxTest, LongTextWrapsInsideItsAreaAndNeverGrowsTheBox) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "\xC7\xD1\xB1\xDB\xC0\xDA ";  // "한글자 " x 60
  text += "\r\nlast";
  SkinMessageBox box(text, kStyleStop, nullptr);
  ASSERT_TRUE(box.CreateBox());
  auto* label = dynamic_cast<SkinLabel*>(box.FindWindow(SkinMessageBox::kTextId));
  ASSERT_NE(label, nullptr);
  const wxRect area = DialogUnits::ToPixels(63, 62, 119, 70);
  EXPECT_EQ(label->GetRect(), area);
  const std::vector<wxString> lines = label->GetShownLines();
  EXPECT_GT(lines.size(), 3u);
  wxClientDC dc(label);
  dc.SetFont(label->GetFont());
  for (const wxString& line : lines) EXPECT_LE(dc.GetTextExtent(line).GetWidth(), area.GetWidth()) << line;
  EXPECT_EQ(lines.back(), wxS("last"));
  EXPECT_EQ(box.GetClientSize(), box.HasSkin() ? box.GetSkinBitmap().GetSize() : DialogUnits::Size(222, 205));
}

TEST_F(SkinMessageBoxTest, ResultMapping) {
  EXPECT_EQ(SkinMessageBox::MapResult(kStyleQuestion, 1), kIdYes);
  EXPECT_EQ(SkinMessageBox::MapResult(kStyleQuestion, 2), kIdNo);
  EXPECT_EQ(SkinMessageBox::MapResult(kStyleQuestion, 0), kIdNo);
  EXPECT_EQ(SkinMessageBox::MapResult(kStyleStop, 1), kIdOk);
  EXPECT_EQ(SkinMessageBox::MapResult(kStyleStop, wxID_CANCEL), kIdCancel);
}

TEST_F(SkinMessageBoxTest, SinkShowsTheBoxForAWorkerThreadAndWaitsForTheAnswer) {
  SkinMessageSink sink;
  auto done = EndNextModal<SkinMessageBox>([](SkinMessageBox* box) {
    EXPECT_EQ(box->FindWindow(SkinMessageBox::kTextId)->GetLabel(), wxS("from worker"));
    PressButton(box, SkinMessageBox::kNoId);
  });
  int answer = 0;
  std::thread worker([&]() { answer = sink.ShowMessage("from worker", kStyleQuestion); });
  EXPECT_TRUE(test::WaitFor([&]() { return answer != 0; }));
  worker.join();
  EXPECT_EQ(answer, kIdNo);
  EXPECT_TRUE(done->ran);

  // On the GUI thread it shows the box directly.
  EndNextModal<SkinMessageBox>([](SkinMessageBox* box) { PressButton(box, SkinMessageBox::kOkId); });
  EXPECT_EQ(sink.ShowMessage("here", kStyleStop), kIdOk);
}

}  // namespace
}  // namespace veradex
