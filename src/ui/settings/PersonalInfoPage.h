#pragma once

#include <string>

#include "ui/settings/SettingsPage.h"

class wxChoice;
class wxTextCtrl;

namespace veradex {

// The personal-data page of the settings dialog: name, e-mail, telephone and
// mobile numbers in three parts each, the mobile carrier and the
// report-confirmation password. The fields hold code page 949 bytes; the
// dialog fills them from PersonalProfile and copies them back on save.
class PersonalInfoPage : public SettingsPage {
 public:
  PersonalInfoPage(wxWindow* parent, const wxRect& rect);

  // Puts the fields into the controls and applies the character limits.
  void TransferToControls();
  // Takes the controls into the fields. A text that code page 949 cannot hold
  // leaves every field as it was and returns the edit that holds it.
  bool TransferFromControls(wxTextCtrl** unstorable = nullptr);

  wxChoice* CarrierList() const { return carrierList_; }
  wxTextCtrl* Edit(int id) const;

  // What the page exchanges with its controls; carrier is the selected list
  // position (-1 none).
  struct Fields {
    std::string name;
    std::string email;
    std::string tel1, tel2, tel3;
    std::string mtel1, mtel2, mtel3;
    int carrier = -1;
    std::string reportPassword;
  };
  Fields& Data() { return fields_; }
  const Fields& Data() const { return fields_; }

  // Control ids.
  enum : int {
    kCarrierList = 1011,
    kNameEdit = 1028,
    kEmailEdit = 1030,
    kReportPasswordEdit = 1031,
    kTel1Edit = 1033,
    kTel2Edit = 1034,
    kTel3Edit = 1035,
    kMobile1Edit = 1037,
    kMobile2Edit = 1038,
    kMobile3Edit = 1039,
  };

 private:
  struct Binding {
    int id;
    std::string Fields::*field;
    int maxLength;  // 0: none; otherwise digits only
  };
  static const Binding kBindings[];

  Fields fields_;
  wxChoice* carrierList_ = nullptr;
};

}  // namespace veradex
