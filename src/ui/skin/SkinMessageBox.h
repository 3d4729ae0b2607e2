#pragma once

#include <string>

#include <wx/statbmp.h>

#include "ui/skin/SkinDialog.h"

namespace veradex {

class SkinBitmapButton;
class SkinLabel;

// The program's message box: skin 266, caption ":: Veradex ::", the message
// text, a picture and one or two buttons chosen by the style (the classic
// message-box bits: low four bits the buttons, 0 OK, 1 OK/Cancel, 4 Yes/No;
// next four the picture and sound, 0x10 stop, 0x20 question). DoModal()
// returns 1 (OK), 2 (Cancel), 6 (Yes) or 7 (No). Escape ends it as Cancel
// (No for Yes/No); Enter clicks the focused button, else the first shown.
// The window never grows: long texts wrap inside the text area and are cut
// at its bottom. GUI thread only: other threads go through SkinMessageSink.
class SkinMessageBox : public SkinDialog {
 public:
  // Control ids of the box's layout.
  enum ControlId {
    kOkId = 1000,
    kCaptionId = 1009,
    kQuestionPictureId = 1014,
    kStopPictureId = 1017,
    kCancelId = 1018,
    kYesId = 1019,
    kNoId = 1020,
    kTextId = 1021,
  };
  static constexpr int kSkinBitmap = 266;
  static constexpr int kQuestionBitmap = 270;
  static constexpr int kStopBitmap = 271;
  // The layout's own size in dialog units, used when the skin is missing.
  static constexpr int kWidthDu = 222;
  static constexpr int kHeightDu = 205;

  // text: code page 949 bytes.
  SkinMessageBox(const std::string& cp949Text, unsigned style, wxWindow* parent = nullptr);

  // Shows the box modally and returns the result code. A box that can't be
  // created counts as refused (2, or 7 for Yes/No).
  int DoModal();

  // Creates the window and its controls without showing it (DoModal does
  // this first; tests and screenshots use it alone).
  bool CreateBox();

  // The result for an end code of the dialog: Yes/No boxes give 6 for 1 and
  // 7 otherwise, all others 1 for 1 and 2 otherwise.
  static int MapResult(unsigned style, int endCode);

  unsigned GetStyle() const { return style_; }
  const wxString& GetMessageText() const { return text_; }

 protected:
  bool OnSkinKey(wxKeyEvent& event) override;

 private:
  void ApplyStyle();
  void PlaceButton(SkinBitmapButton* button, int x, int y);
  void OnButton(wxCommandEvent& event);

  wxWindow* parent_;
  unsigned style_;
  wxString text_;
  SkinBitmapButton* okButton_ = nullptr;
  SkinBitmapButton* cancelButton_ = nullptr;
  SkinBitmapButton* yesButton_ = nullptr;
  SkinBitmapButton* noButton_ = nullptr;
  wxStaticBitmap* questionPicture_ = nullptr;
  wxStaticBitmap* stopPicture_ = nullptr;
  SkinLabel* textLabel_ = nullptr;
  bool created_ = false;
};

}  // namespace veradex
