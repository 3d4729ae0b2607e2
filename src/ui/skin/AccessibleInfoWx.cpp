// Platforms other than GTK: wxWidgets' own accessibility objects (on Windows,
// Microsoft Active Accessibility), where the wx build has them; without them
// the calls do nothing.
#include "ui/skin/AccessibleInfo.h"

#include <wx/access.h>
#include <wx/window.h>

namespace veradex {

#if wxUSE_ACCESSIBILITY

namespace {

// The values of one control, answered for the control itself (child 0);
// rows are its children 1 to n.
class ControlAccessible : public wxAccessible {
 public:
  explicit ControlAccessible(wxWindow* window) : wxAccessible(window) {}

  wxAccStatus GetName(int childId, wxString* name) override {
    if (childId == wxACC_SELF)
      *name = name_;
    else if (childId <= static_cast<int>(rows_.size()))
      *name = rows_[childId - 1].name;
    return wxACC_OK;
  }
  wxAccStatus GetDescription(int childId, wxString* description) override {
    if (childId == wxACC_SELF)
      *description = description_;
    else if (childId <= static_cast<int>(rows_.size()))
      *description = rows_[childId - 1].description;
    return wxACC_OK;
  }
  wxAccStatus GetRole(int childId, wxAccRole* role) override {
    *role = childId == wxACC_SELF ? role_ : wxROLE_SYSTEM_ROW;
    return wxACC_OK;
  }
  wxAccStatus GetChildCount(int* count) override {
    *count = static_cast<int>(rows_.size());
    return wxACC_OK;
  }
  wxAccStatus GetState(int childId, long* state) override {
    const bool checked =
        childId == wxACC_SELF ? checked_ : childId <= static_cast<int>(rows_.size()) && rows_[childId - 1].checked;
    *state = wxACC_STATE_SYSTEM_FOCUSABLE | (checked ? wxACC_STATE_SYSTEM_CHECKED : 0);
    return wxACC_OK;
  }

  wxString name_;
  wxString description_;
  wxAccRole role_ = wxROLE_SYSTEM_CLIENT;
  bool checked_ = false;
  std::vector<AccessibleInfo::Row> rows_;
};

ControlAccessible* AccessibleOf(wxWindow* control) {
  if (control == nullptr) return nullptr;
  auto* accessible = dynamic_cast<ControlAccessible*>(control->GetAccessible());
  if (accessible == nullptr) {
    accessible = new ControlAccessible(control);
    control->SetAccessible(accessible);
  }
  return accessible;
}

wxAccRole WxRoleOf(AccessibleInfo::Role role) {
  switch (role) {
    case AccessibleInfo::Role::kPushButton:
    case AccessibleInfo::Role::kToggleButton:
      return wxROLE_SYSTEM_PUSHBUTTON;
    case AccessibleInfo::Role::kCheckBox:
      return wxROLE_SYSTEM_CHECKBUTTON;
    case AccessibleInfo::Role::kText:
    case AccessibleInfo::Role::kPasswordText:
      return wxROLE_SYSTEM_TEXT;
    case AccessibleInfo::Role::kLabel:
      return wxROLE_SYSTEM_STATICTEXT;
    case AccessibleInfo::Role::kTable:
      return wxROLE_SYSTEM_TABLE;
    case AccessibleInfo::Role::kProgressBar:
      return wxROLE_SYSTEM_PROGRESSBAR;
    case AccessibleInfo::Role::kAlert:
      return wxROLE_SYSTEM_ALERT;
    case AccessibleInfo::Role::kDialog:
      return wxROLE_SYSTEM_DIALOG;
    case AccessibleInfo::Role::kFrame:
      return wxROLE_SYSTEM_WINDOW;
  }
  return wxROLE_SYSTEM_CLIENT;
}

}  // namespace

void AccessibleInfo::SetRole(wxWindow* control, Role role) {
  if (ControlAccessible* accessible = AccessibleOf(control)) accessible->role_ = WxRoleOf(role);
}

void AccessibleInfo::SetName(wxWindow* control, const wxString& name) {
  if (ControlAccessible* accessible = AccessibleOf(control)) accessible->name_ = name;
}

void AccessibleInfo::SetDescription(wxWindow* control, const wxString& description) {
  if (ControlAccessible* accessible = AccessibleOf(control)) accessible->description_ = description;
}

void AccessibleInfo::SetLabelledBy(wxWindow* field, wxWindow* label, const wxString& name) {
  if (label == nullptr) return;
  Describe(label, Role::kLabel, label->GetLabel());
  // Active Accessibility has no label relation: the field carries the name.
  SetName(field, name.empty() ? label->GetLabel() : name);
}

void AccessibleInfo::SetChecked(wxWindow* control, bool checked) {
  if (ControlAccessible* accessible = AccessibleOf(control)) accessible->checked_ = checked;
}

void AccessibleInfo::SetRows(wxWindow* list, const std::vector<Row>& rows) {
  if (ControlAccessible* accessible = AccessibleOf(list)) accessible->rows_ = rows;
}

#else

void AccessibleInfo::SetRole(wxWindow*, Role) {}
void AccessibleInfo::SetName(wxWindow*, const wxString&) {}
void AccessibleInfo::SetDescription(wxWindow*, const wxString&) {}
void AccessibleInfo::SetLabelledBy(wxWindow*, wxWindow*, const wxString&) {}
void AccessibleInfo::SetChecked(wxWindow*, bool) {}
void AccessibleInfo::SetRows(wxWindow*, const std::vector<Row>&) {}

#endif

}  // namespace veradex
