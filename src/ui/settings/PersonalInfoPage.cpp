#include "ui/settings/PersonalInfoPage.h"

#include <algorithm>

#include <wx/choice.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include "platform/Cp949.h"
#include "ui/settings/SettingsTexts.h"
#include "ui/skin/AccessibleInfo.h"
#include "ui/skin/SkinLabel.h"

namespace veradex {

const PersonalInfoPage::Binding PersonalInfoPage::kBindings[] = {
    {kNameEdit, &Fields::name, 0},
    {kEmailEdit, &Fields::email, 0},
    {kTel1Edit, &Fields::tel1, 4},
    {kTel2Edit, &Fields::tel2, 4},
    {kTel3Edit, &Fields::tel3, 4},
    {kMobile1Edit, &Fields::mtel1, 3},
    {kMobile2Edit, &Fields::mtel2, 4},
    {kMobile3Edit, &Fields::mtel3, 4},
    {kReportPasswordEdit, &Fields::reportPassword, 0},
};

namespace {

// Layout of the page in pixels: labels in a column on the left, the edits to
// their right, one row every 32 pixels.
constexpr int kLabelX = 24;
constexpr int kLabelWidth = 90;
constexpr int kEditX = 122;
constexpr int kRowTop = 22;
constexpr int kRowStep = 32;
constexpr int kEditHeight = 24;
constexpr int kWideEdit = 200;
constexpr int kPartWidth = 52;
constexpr int kPartGap = 22;

// The report password sits a little lower: its label has two lines and the
// carrier list above it is taller than an edit.
int RowY(int row) { return kRowTop + row * kRowStep + (row >= 5 ? 8 : 0); }

SkinLabel* AddLabel(wxWindow* parent, const char* utf8, int row, int extraHeight = 0) {
  return new SkinLabel(parent, wxID_ANY, SettingsTexts::Wx(utf8), wxPoint(kLabelX, RowY(row) + 4 - extraHeight / 2),
                       wxSize(kLabelWidth, 18 + extraHeight));
}

wxTextCtrl* AddEdit(wxWindow* parent, int id, int x, int row, int width, bool digits) {
  wxTextCtrl* edit =
      new wxTextCtrl(parent, id, wxEmptyString, wxPoint(x, RowY(row)), wxSize(width, kEditHeight), wxBORDER_SIMPLE);
  if (digits) edit->SetValidator(wxTextValidator(wxFILTER_DIGITS));
  return edit;
}

// An edit announced by the label of its row.
wxTextCtrl* AddLabelledEdit(wxWindow* parent, SkinLabel* label, int id, int x, int row, int width, bool digits,
                            const wxString& name = wxString()) {
  wxTextCtrl* edit = AddEdit(parent, id, x, row, width, digits);
  AccessibleInfo::SetLabelledBy(edit, label, name);
  return edit;
}

// Three number parts with a dash between them, all announced by the row's label.
void AddNumberParts(wxWindow* parent, SkinLabel* label, int row, int id1, int id2, int id3) {
  const int ids[] = {id1, id2, id3};
  for (int i = 0; i < 3; ++i) {
    const int x = kEditX + i * (kPartWidth + kPartGap);
    AddLabelledEdit(parent, label, ids[i], x, row, kPartWidth, true,
                    label->GetLabel() + " " + SettingsTexts::Wx(SettingsTexts::kNumberParts[i]));
    if (i < 2) {
      new SkinLabel(parent, wxID_ANY, "-", wxPoint(x + kPartWidth + 7, RowY(row) + 4), wxSize(kPartGap - 14, 18),
                    wxALIGN_CENTRE_HORIZONTAL);
    }
  }
}

}  // namespace

PersonalInfoPage::PersonalInfoPage(wxWindow* parent, const wxRect& rect) : SettingsPage(parent, 136, rect) {
  AddLabelledEdit(this, AddLabel(this, "신고인명", 0), kNameEdit, kEditX, 0, kWideEdit, false);
  AddLabelledEdit(this, AddLabel(this, "E-Mail", 1), kEmailEdit, kEditX, 1, kWideEdit, false);
  AddNumberParts(this, AddLabel(this, "전화번호", 2), 2, kTel1Edit, kTel2Edit, kTel3Edit);
  AddNumberParts(this, AddLabel(this, "휴대전화번호", 3), 3, kMobile1Edit, kMobile2Edit, kMobile3Edit);
  SkinLabel* carrierLabel = AddLabel(this, "통신사", 4);
  carrierList_ = new wxChoice(this, kCarrierList, wxPoint(kEditX, RowY(4)), wxSize(100, -1));
  AccessibleInfo::SetLabelledBy(carrierList_, carrierLabel);
  // The label's two lines are one name.
  AddLabelledEdit(this, AddLabel(this, "신고확인용\n 비밀번호", 5, 18), kReportPasswordEdit, kEditX, 5, kWideEdit,
                  false, SettingsTexts::Wx("신고확인용 비밀번호"));
  LetLabelsDrag();
}

wxTextCtrl* PersonalInfoPage::Edit(int id) const { return dynamic_cast<wxTextCtrl*>(FindWindow(id)); }

void PersonalInfoPage::TransferToControls() {
  for (const Binding& binding : kBindings) {
    wxTextCtrl* edit = Edit(binding.id);
    if (edit == nullptr) continue;
    const wxString value = Cp949::ToWx(fields_.*binding.field);
    // The limit stops longer input from being typed. A stored value that is
    // already longer is shown whole rather than cut, so a save never loses it.
    unsigned long limit = 0;
    if (binding.maxLength > 0) limit = std::max<unsigned long>(binding.maxLength, value.length());
    edit->SetMaxLength(limit);
    edit->ChangeValue(value);
  }
  carrierList_->SetSelection(fields_.carrier >= 0 && fields_.carrier < static_cast<int>(carrierList_->GetCount())
                                 ? fields_.carrier
                                 : wxNOT_FOUND);
}

bool PersonalInfoPage::TransferFromControls(wxTextCtrl** unstorable) {
  std::string values[sizeof(kBindings) / sizeof(kBindings[0])];
  int index = 0;
  for (const Binding& binding : kBindings) {
    wxTextCtrl* edit = Edit(binding.id);
    if (edit != nullptr && !Cp949::FromWx(edit->GetValue(), &values[index])) {
      if (unstorable != nullptr) *unstorable = edit;
      return false;
    }
    ++index;
  }
  index = 0;
  for (const Binding& binding : kBindings) fields_.*binding.field = values[index++];
  fields_.carrier = carrierList_->GetSelection();
  return true;
}

}  // namespace veradex
