#include "ui/skin/SkinMessageBox.h"

#include <utility>

#include "platform/Cp949.h"
#include "platform/MessageSink.h"
#include "ui/skin/AccessibleInfo.h"
#include "ui/skin/DialogUnits.h"
#include "ui/skin/ResourceImages.h"
#include "ui/skin/SkinBitmapButton.h"
#include "ui/skin/SkinLabel.h"
#include "ui/skin/SkinTexts.h"
#include "ui/skin/SoundPlayer.h"

namespace veradex {

namespace {

const char kCaption[] = ":: Veradex ::";

}  // namespace

SkinMessageBox::SkinMessageBox(const std::string& cp949Text, unsigned style, wxWindow* parent)
    : SkinDialog(kSkinBitmap, kSkinBitmap), parent_(parent), style_(style), text_(Cp949::ToWx(cp949Text)) {}

int SkinMessageBox::MapResult(unsigned style, int endCode) {
  if ((style & 0x0F) == kMbYesNo) return endCode == kIdOk ? kIdYes : kIdNo;
  return endCode == kIdOk ? kIdOk : kIdCancel;
}

bool SkinMessageBox::CreateBox() {
  if (created_) return true;
  const wxSize templateSize = DialogUnits::Size(kWidthDu, kHeightDu);
  if (!Create(parent_, wxID_ANY, wxString::FromUTF8(kCaption), templateSize)) return false;
  created_ = true;

  // Creation order is the tab order of the layout.
  CreateCaption(wxString::FromUTF8(kCaption));
  questionPicture_ = CreatePicture(kQuestionPictureId, kQuestionBitmap, Du(34, 58, 18, 18));
  stopPicture_ = CreatePicture(kStopPictureId, kStopBitmap, Du(34, 54, 25, 22));
  okButton_ = CreateButton(kOkId, wxS("OK"), Du(6, 69, 52, 17), 147, 148, 147, 150);
  cancelButton_ = CreateButton(kCancelId, wxS("Cancel"), Du(61, 69, 52, 17), 135, 136, 135, 138);
  yesButton_ = CreateButton(kYesId, wxS("Yes"), Du(50, 76, 52, 17), 168, 164, 168, 161);
  noButton_ = CreateButton(kNoId, wxS("No"), Du(108, 76, 52, 17), 143, 139, 143, 141);
  for (SkinBitmapButton* button : {okButton_, cancelButton_, yesButton_, noButton_}) button->Hide();
  textLabel_ = CreateLabel(kTextId, text_, Du(63, 62, 119, 70), wxALIGN_LEFT);
  // A screen reader announces the box as an alert and reads its text.
  AccessibleInfo::Describe(this, AccessibleInfo::Role::kAlert, wxString::FromUTF8(kCaption), text_);
  const std::pair<SkinBitmapButton*, const char*> names[] = {{okButton_, SkinTexts::kOk},
                                                             {cancelButton_, SkinTexts::kCancel},
                                                             {yesButton_, SkinTexts::kYes},
                                                             {noButton_, SkinTexts::kNo}};
  for (const auto& name : names) AccessibleInfo::SetName(name.first, wxString::FromUTF8(name.second));

  Bind(wxEVT_BUTTON, &SkinMessageBox::OnButton, this);
  // The first button has the focus, so Enter or Space answers with it.
  Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
    if (event.IsShown()) {
      CallAfter([this] {
        for (SkinBitmapButton* button : {okButton_, yesButton_})
          if (button->IsShown()) {
            button->SetFocus();
            break;
          }
      });
    }
    event.Skip();
  });
  ApplyStyle();
  ApplySkinShape();
  return true;
}

void SkinMessageBox::PlaceButton(SkinBitmapButton* button, int x, int y) {
  button->Move(x, y);
  button->Show();
  button->Refresh();
}

void SkinMessageBox::ApplyStyle() {
  switch (style_ & 0xF0) {
    case kMbIconStop:
      stopPicture_->Show();
      SoundPlayer::Current().Beep(kMbIconStop);
      break;
    case kMbIconQuestion:
      questionPicture_->Show();
      SoundPlayer::Current().Beep(kMbIconQuestion);
      break;
    case kMbIconExclamation:
      // No picture of its own: the stop picture is the closest warning.
      stopPicture_->Show();
      SoundPlayer::Current().Beep(kMbIconExclamation);
      break;
    case kMbIconInformation:
      // No picture is bound for information.
      SoundPlayer::Current().Beep(kMbIconInformation);
      break;
    default:
      break;
  }

  const wxSize client = GetClientSize();
  const int cw = client.GetWidth();
  const int ch = client.GetHeight();
  const wxSize button = okButton_->GetSize();
  const int bw = button.GetWidth();
  const int bh = button.GetHeight();
  switch (style_ & 0x0F) {
    case kMbOk:
      PlaceButton(okButton_, (cw - bw) / 2, ch - bh - 35);
      SoundPlayer::Current().Beep(kMbIconInformation);
      break;
    case kMbOkCancel:
      PlaceButton(okButton_, cw / 2 - bw - 5, ch - bh - 15);
      PlaceButton(cancelButton_, cw / 2 + 5, ch - bh - 15);
      break;
    case kMbYesNo:
      PlaceButton(yesButton_, cw / 2 - bw - 5, ch - bh - 15);
      PlaceButton(noButton_, cw / 2 + 5, ch - bh - 15);
      break;
    default:
      break;
  }
  for (SkinBitmapButton* first : {okButton_, yesButton_}) {
    if (first->IsShown()) {
      first->SetFocus();
      break;
    }
  }
}

void SkinMessageBox::OnButton(wxCommandEvent& event) {
  switch (event.GetId()) {
    case kOkId:
    case kYesId:
      EndModal(kIdOk);
      break;
    case kCancelId:
    case kNoId:
      EndModal(kIdCancel);
      break;
    default:
      event.Skip();
  }
}

bool SkinMessageBox::OnSkinKey(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  if (key == WXK_ESCAPE) {
    if (IsModal()) EndModal(kIdCancel);
    return true;
  }
  if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
    // The focused button is the default one; without one, the first shown.
    for (SkinBitmapButton* button : {okButton_, cancelButton_, yesButton_, noButton_}) {
      if (button->IsShown() && button->HasFocus()) {
        button->Click();
        return true;
      }
    }
    for (SkinBitmapButton* button : {okButton_, yesButton_, cancelButton_, noButton_}) {
      if (button->IsShown()) {
        button->Click();
        return true;
      }
    }
    if (IsModal()) EndModal(kIdOk);
    return true;
  }
  return false;
}

int SkinMessageBox::DoModal() {
  if (!CreateBox()) return MapResult(style_, 0);
  return MapResult(style_, ShowModal());
}

}  // namespace veradex
