// The least a wxWidgets GTK program does to show a dialog of the report
// window's size: the floor the program's start-up is compared with. With
// --tray it also puts an icon into the notification area (for memory
// comparisons). With --form the dialog ("Form") holds the report window's
// kinds of controls at its places, made of plain wx: the text fields, the
// description, the attachment list with check boxes, header and a font
// sized in pixels, the progress bar and the version label's fixed-width
// font, and one plain child window for each drawn label and button (a
// like-for-like floor). Runs until it is ended.
#include <cstring>

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/taskbar.h>
#include <wx/textctrl.h>

namespace {

class MinimalApp : public wxApp {
 public:
  bool OnInit() override {
    bool form = false;
    for (int i = 1; i < argc; ++i) form = form || std::strcmp(argv[i].utf8_str(), "--form") == 0;
    dialog_ = new wxDialog(nullptr, wxID_ANY, form ? "Form" : "Minimal", wxDefaultPosition, wxSize(784, 612));
    dialog_->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { dialog_->Destroy(); });
    if (form) AddControls(dialog_);
    dialog_->Show();
    for (int i = 1; i < argc; ++i) {
      if (std::strcmp(argv[i].utf8_str(), "--tray") == 0) {
        icon_ = new wxTaskBarIcon();
        icon_->SetIcon(wxArtProvider::GetIcon(wxART_INFORMATION, wxART_OTHER, wxSize(16, 16)), "Minimal");
      }
    }
    return true;
  }
  int OnExit() override {
    if (icon_ != nullptr) {
      icon_->RemoveIcon();
      delete icon_;
    }
    return wxApp::OnExit();
  }

 private:
  void AddControls(wxDialog* dialog) {
    const struct {
      int x, y, width;
      long style;
    } fields[] = {{272, 116, 220, 0},
                  {272, 148, 56, 0},
                  {342, 148, 64, 0},
                  {420, 148, 64, 0},
                  {272, 180, 300, 0},
                  {272, 212, 140, wxTE_PASSWORD},
                  {526, 212, 140, wxTE_PASSWORD}};
    for (const auto& field : fields)
      new wxTextCtrl(dialog, wxID_ANY, wxString(), wxPoint(field.x, field.y), wxSize(field.width, 26), field.style);
    new wxTextCtrl(dialog, wxID_ANY, wxString(), wxPoint(272, 244), wxSize(483, 96), wxTE_MULTILINE | wxTE_WORDWRAP);
    auto* list = new wxListCtrl(dialog, wxID_ANY, wxPoint(272, 348), wxSize(355, 126),
                                wxLC_REPORT | wxLC_SINGLE_SEL | wxBORDER_SIMPLE);
    list->EnableCheckBoxes(true);
    list->AppendColumn("name", wxLIST_FORMAT_LEFT, 265);
    list->AppendColumn("size", wxLIST_FORMAT_RIGHT, 70);
    hintFont_ = wxFont(wxFontInfo(wxSize(0, 12)));  // the list's hint is drawn in it
    (new wxGauge(dialog, wxID_ANY, 100, wxPoint(272, 491), wxSize(190, 18), wxGA_HORIZONTAL | wxGA_SMOOTH))
        ->SetValue(100);
    // The drawn labels and buttons: plain windows at the same kind of places.
    for (int i = 0; i < 40; ++i)
      new wxWindow(dialog, wxID_ANY, wxPoint(10 + (i % 8) * 90, 520 + (i / 8) * 16), wxSize(80, 14));
    auto* version = new wxWindow(dialog, wxID_ANY, wxPoint(600, 590), wxSize(150, 16));
    version->SetFont(wxFont(wxFontInfo(9).Family(wxFONTFAMILY_TELETYPE)));
    version->GetTextExtent("Ver 3.1");
  }

  wxFont hintFont_;
  wxDialog* dialog_ = nullptr;
  wxTaskBarIcon* icon_ = nullptr;
};

}  // namespace

wxIMPLEMENT_APP(MinimalApp);
