#pragma once

#include <wx/event.h>
#include <wx/panel.h>

class wxWebView;
class wxWebViewEvent;

namespace veradex {

// The report window's embedded browser: a web view filling this panel. It
// offers the two operations the window needs and turns the view's own events
// into the two completion events below (GetString() is the address).
class CWebBrowser : public wxPanel {
 public:
  CWebBrowser(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);

  // Loads the address (a local file path or a URL).
  void Navigate(const wxString& url);
  // The title of the page shown, or its address when it has none.
  wxString GetLocationName() const;
  // False when the platform has no web engine; the panel then stays blank.
  bool HasEngine() const { return view != nullptr; }
  wxWebView* View() const { return view; }

 private:
  void OnNavigated(wxWebViewEvent& event);
  void OnLoaded(wxWebViewEvent& event);
  void OnSize(wxSizeEvent& event);

  wxWebView* view = nullptr;
};

// A navigation has completed (the page's address is known).
wxDECLARE_EVENT(EVT_NAVIGATE_COMPLETE2, wxCommandEvent);
// The page has finished loading.
wxDECLARE_EVENT(EVT_DOCUMENT_COMPLETE, wxCommandEvent);

}  // namespace veradex
