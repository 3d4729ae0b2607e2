#include "ui/report/CategoryButtonBar.h"

#include <wx/string.h>

#include "ui/report/ReportWindowIds.h"
#include "ui/report/ReportWindowTexts.h"
#include "ui/skin/AccessibleInfo.h"
#include "ui/skin/SkinBitmapButton.h"
#include "ui/skin/SkinDialog.h"

namespace veradex {

// The user interface of a category's button: its id, its four normal images
// (up, down, focus, disabled), its hover image and its tooltip.
struct CategoryButtonBar::Face {
  Category category;
  int id;
  int up, down, focus, disabled;
  int hover;
  const char* tooltip;  // UTF-8
};

namespace {

using Face = CategoryButtonBar::Face;

constexpr CategoryButtonBar::Face kFaces[] = {
    {Category::kEmail, ReportWindowIds::kEmailSpam, 210, 209, 208, 210, 211, ReportWindowTexts::kEmailSpam},
    {Category::kTelephone, ReportWindowIds::kPhoneSpam, 214, 213, 224, 214, 215, ReportWindowTexts::kPhoneSpam},
    {Category::kResentAfterOptOut, ReportWindowIds::kResentSpam, 228, 225, 230, 228, 229,
     ReportWindowTexts::kResentSpam},
    {Category::kBulletinBoard, ReportWindowIds::kBoardSpam, 232, 231, 234, 232, 233, ReportWindowTexts::kBoardSpam},
    {Category::kElectronicMedia, ReportWindowIds::kMediaSpam, 238, 237, 252, 238, 239, ReportWindowTexts::kMediaSpam},
    {Category::kFax, ReportWindowIds::kFaxSpam, 254, 253, 261, 254, 260, ReportWindowTexts::kFaxSpam},
    {Category::kMaliciousCode, ReportWindowIds::kCodeSpam, 264, 263, 212, 264, 265, ReportWindowTexts::kCodeSpam},
};

const Face* FaceOf(Category category) {
  for (const Face& face : kFaces)
    if (face.category == category) return &face;
  return nullptr;
}

}  // namespace

CategoryButtonBar::CategoryButtonBar(SkinDialog& window, std::function<void(Category)> onPress) {
  std::size_t count = 0;
  const CategoryPage* pages = CategoryPage::All(&count);
  for (std::size_t i = 0; i < count; ++i) {
    const Face* face = FaceOf(pages[i].category);
    if (face == nullptr) continue;
    SkinBitmapButton* control = window.CreateButton(face->id, wxString(), wxRect(0, 0, 146, 69), face->up, face->down,
                                                    face->focus, face->disabled);
    // Announced as a toggle: the current category is the pressed one.
    AccessibleInfo::Describe(control, AccessibleInfo::Role::kToggleButton, wxString::FromUTF8(face->tooltip));
    AccessibleInfo::SetChecked(control, false);
    const int id = face->id;
    const Category category = face->category;
    control->Bind(wxEVT_ENTER_WINDOW, [this, id](wxMouseEvent& event) {
      hovered_ = id;
      UpdateLooks();
      event.Skip();
    });
    control->Bind(wxEVT_LEAVE_WINDOW, [this, id](wxMouseEvent& event) {
      if (hovered_ == id) hovered_ = 0;
      UpdateLooks();
      event.Skip();
    });
    control->Bind(wxEVT_BUTTON, [onPress, category](wxCommandEvent&) { onPress(category); });
    buttons_.push_back({face, category, control});
  }
}

void CategoryButtonBar::ApplyLayout() {
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i].face->id == ReportWindowIds::kCodeSpam)
      buttons_[i].control->SetSize(13, 521, 146, 74);
    else
      buttons_[i].control->SetSize(13, 107 + 69 * static_cast<int>(i), 146, 69);
  }
}

void CategoryButtonBar::SetupTooltips() {
  for (const Button& button : buttons_) button.control->SetToolTip(wxString::FromUTF8(button.face->tooltip));
}

void CategoryButtonBar::SetCurrent(Category category) {
  current_ = category;
  UpdateLooks();
  for (const Button& button : buttons_) AccessibleInfo::SetChecked(button.control, button.category == current_);
}

SkinBitmapButton* CategoryButtonBar::GetButton(int id) const {
  for (const Button& button : buttons_)
    if (button.face->id == id) return button.control;
  return nullptr;
}

SkinBitmapButton* CategoryButtonBar::GetCurrentButton() const {
  for (const Button& button : buttons_)
    if (button.category == current_) return button.control;
  return buttons_.empty() ? nullptr : buttons_.front().control;
}

void CategoryButtonBar::UpdateLooks() {
  for (const Button& button : buttons_) {
    const Face& face = *button.face;
    int up = face.up;
    if (button.category == current_) up = face.focus;
    if (face.id == hovered_) up = face.hover;
    button.control->SetLook(up, face.down, face.focus, face.disabled);  // repaints when it changes
  }
}

}  // namespace veradex
