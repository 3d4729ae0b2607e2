#pragma once

#include <vector>

#include <wx/string.h>

class wxWindow;

namespace veradex {

// What assistive technology (a screen reader) is told about a control: its
// role, name, description, states and which label names it. The skinned
// controls draw themselves, so without this a screen reader meets nameless
// "panels"; the platform file beside this one puts the values on the native
// widget (ATK on GTK, wxAccessible on Windows, nothing elsewhere).
//
// Every call accepts a null window and does nothing then; every call may be
// repeated (the last value wins).
class AccessibleInfo {
 public:
  enum class Role {
    kPushButton,
    kToggleButton,
    kCheckBox,
    kText,
    kPasswordText,
    kLabel,
    kTable,
    kProgressBar,
    kAlert,
    kDialog,
    kFrame,
  };

  // One row of a list as it is announced: its name (the file name), a
  // description (what the file is) and whether its check box is ticked.
  struct Row {
    wxString name;
    wxString description;
    bool checked = false;
  };

  static void SetRole(wxWindow* control, Role role);
  static void SetName(wxWindow* control, const wxString& name);
  static void SetDescription(wxWindow* control, const wxString& description);
  // Role and name (and description) at once.
  static void Describe(wxWindow* control, Role role, const wxString& name, const wxString& description = wxString()) {
    SetRole(control, role);
    SetName(control, name);
    if (!description.empty()) SetDescription(control, description);
  }
  // The field is named by the label drawn beside it: the label becomes a
  // label announcing the field, the field is labelled by it and takes its
  // text as its name unless name is given (the parts of a telephone number
  // share one label but are named apart).
  static void SetLabelledBy(wxWindow* field, wxWindow* label, const wxString& name = wxString());
  // Toggle buttons and check boxes: announced as checked (and selected).
  static void SetChecked(wxWindow* control, bool checked);
  // The rows of a list or table, each announced as an item of it.
  static void SetRows(wxWindow* list, const std::vector<Row>& rows);
};

}  // namespace veradex
