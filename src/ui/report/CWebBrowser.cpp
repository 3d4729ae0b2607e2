#include "ui/report/CWebBrowser.h"

#include <wx/filename.h>
#include <wx/webview.h>

namespace veradex {

wxDEFINE_EVENT(EVT_NAVIGATE_COMPLETE2, wxCommandEvent);
wxDEFINE_EVENT(EVT_DOCUMENT_COMPLETE, wxCommandEvent);

CWebBrowser::CWebBrowser(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxPanel(parent, id, pos, size, wxBORDER_NONE) {
  SetBackgroundColour(*wxWHITE);
  if (wxWebView::IsBackendAvailable(wxWebViewBackendDefault)) {
    view = wxWebView::New(this, wxID_ANY, wxWebViewDefaultURLStr, wxPoint(0, 0), GetClientSize(),
                          wxWebViewBackendDefault, wxBORDER_NONE);
  }
  if (view != nullptr) {
    view->Bind(wxEVT_WEBVIEW_NAVIGATED, &CWebBrowser::OnNavigated, this);
    view->Bind(wxEVT_WEBVIEW_LOADED, &CWebBrowser::OnLoaded, this);
  }
  Bind(wxEVT_SIZE, &CWebBrowser::OnSize, this);
}

void CWebBrowser::Navigate(const wxString& url) {
  if (view == nullptr) return;
  // Local pages are written beside the program; the engine wants them as file URLs.
  if (url.StartsWith("/"))
    view->LoadURL(wxFileName::FileNameToURL(wxFileName(url)));
  else
    view->LoadURL(url);
}

wxString CWebBrowser::GetLocationName() const {
  if (view == nullptr) return wxString();
  const wxString title = view->GetCurrentTitle();
  return title.empty() ? view->GetCurrentURL() : title;
}

void CWebBrowser::OnNavigated(wxWebViewEvent& event) {
  wxCommandEvent out(EVT_NAVIGATE_COMPLETE2, GetId());
  out.SetEventObject(this);
  out.SetString(event.GetURL());
  ProcessWindowEvent(out);
}

void CWebBrowser::OnLoaded(wxWebViewEvent& event) {
  wxCommandEvent out(EVT_DOCUMENT_COMPLETE, GetId());
  out.SetEventObject(this);
  out.SetString(event.GetURL());
  ProcessWindowEvent(out);
}

void CWebBrowser::OnSize(wxSizeEvent& event) {
  if (view != nullptr) view->SetSize(GetClientSize());
  event.Skip();
}

}  // namespace veradex
