// The least a wxWidgets GTK program does to show a dialog of the report
// window's size: the floor the program's start-up is compared with. With
// --tray it also puts an icon into the notification area (for memory
// comparisons). Runs until it is ended.
#include <cstring>

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/dialog.h>
#include <wx/taskbar.h>

namespace {

class MinimalApp : public wxApp {
 public:
  bool OnInit() override {
    dialog_ = new wxDialog(nullptr, wxID_ANY, "Minimal", wxDefaultPosition, wxSize(784, 612));
    dialog_->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { dialog_->Destroy(); });
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
  wxDialog* dialog_ = nullptr;
  wxTaskBarIcon* icon_ = nullptr;
};

}  // namespace

wxIMPLEMENT_APP(MinimalApp);
