#include "ui/report/CWebBrowser.h"

#include <wx/filename.h>
#include <wx/toplevel.h>
#include <wx/webview.h>

#include <string>
#include <vector>

#include "net/CertificateCheck.h"
#include "profile/ServerSettings.h"

#if defined(__WXGTK__) && defined(VERADEX_HAVE_WEBKIT2GTK)
#include <webkit2/webkit2.h>
#define VERADEX_BROWSER_TRUST 1
#endif

namespace veradex {

wxDEFINE_EVENT(EVT_NAVIGATE_COMPLETE2, wxCommandEvent);
wxDEFINE_EVENT(EVT_DOCUMENT_COMPLETE, wxCommandEvent);

CWebBrowser::CWebBrowser(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxPanel(parent, id, pos, size, wxBORDER_NONE), releaseTimer_(this) {
  SetBackgroundColour(*wxWHITE);
  engineAvailable_ = wxWebView::IsBackendAvailable(wxWebViewBackendDefault);
  Bind(wxEVT_SIZE, &CWebBrowser::OnSize, this);
  Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
    if (topLevel_ != nullptr && !topLevel_->IsShown()) ReleaseEngine();
  });
  topLevel_ = wxGetTopLevelParent(this);
  if (topLevel_ != nullptr && topLevel_ != this) {
    topLevel_->Bind(wxEVT_SHOW, &CWebBrowser::OnTopLevelShow, this);
    if (topLevel_->IsShown()) StartEngine();
  } else {
    topLevel_ = nullptr;
  }
}

CWebBrowser::~CWebBrowser() {
  releaseTimer_.Stop();
  if (topLevel_ != nullptr) topLevel_->Unbind(wxEVT_SHOW, &CWebBrowser::OnTopLevelShow, this);
#ifdef VERADEX_BROWSER_TRUST
  // The view outlives this part of the object for a moment: no refusal may
  // reach it any more.
  if (view_ != nullptr && view_->GetNativeBackend() != nullptr)
    g_signal_handlers_disconnect_by_data(view_->GetNativeBackend(), this);
#endif
}

void CWebBrowser::StartEngine() {
  if (view_ != nullptr || !engineAvailable_) return;
  view_ = wxWebView::New(this, wxID_ANY, wxWebViewDefaultURLStr, wxPoint(0, 0), GetClientSize(),
                         wxWebViewBackendDefault, wxBORDER_NONE);
  if (view_ == nullptr) {
    engineAvailable_ = false;
    return;
  }
  view_->Bind(wxEVT_WEBVIEW_NAVIGATED, &CWebBrowser::OnNavigated, this);
  view_->Bind(wxEVT_WEBVIEW_LOADED, &CWebBrowser::OnLoaded, this);
  ConnectCertificateTrust();
  // What was asked for meanwhile, in its order; after a release, the page
  // that was shown.
  std::vector<wxString> addresses;
  addresses.swap(pending_);
  if (addresses.empty() && !requestedUrl_.empty()) addresses.push_back(requestedUrl_);
  for (const wxString& address : addresses) view_->LoadURL(address);
}

void CWebBrowser::ReleaseEngine() {
  if (view_ == nullptr) return;
#ifdef VERADEX_BROWSER_TRUST
  if (view_->GetNativeBackend() != nullptr) g_signal_handlers_disconnect_by_data(view_->GetNativeBackend(), this);
#endif
  wxWebView* going = view_;
  view_ = nullptr;
  going->Destroy();
}

void CWebBrowser::OnTopLevelShow(wxShowEvent& event) {
  event.Skip();
  if (event.IsShown()) {
    releaseTimer_.Stop();
    StartEngine();
  } else if (view_ != nullptr) {
    releaseTimer_.StartOnce(static_cast<int>(releaseDelay_.count()));
  }
}

void CWebBrowser::Navigate(const wxString& url) {
  if (!engineAvailable_) return;
  // Local pages are written beside the program; the engine wants them as file URLs.
  requestedUrl_ = url.StartsWith("/") ? wxFileName::FileNameToURL(wxFileName(url)) : url;
  ++navigation_;
  if (view_ != nullptr)
    view_->LoadURL(requestedUrl_);
  else if (pending_.empty() || pending_.back() != requestedUrl_)
    pending_.push_back(requestedUrl_);
}

wxString CWebBrowser::GetLocationName() const {
  if (view_ == nullptr) return wxString();
  const wxString title = view_->GetCurrentTitle();
  return title.empty() ? view_->GetCurrentURL() : title;
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
  if (view_ != nullptr) view_->SetSize(GetClientSize());
  event.Skip();
}

void CWebBrowser::ConnectCertificateTrust() {
#ifdef VERADEX_BROWSER_TRUST
  void* native = view_->GetNativeBackend();
  if (native == nullptr || !WEBKIT_IS_WEB_VIEW(native)) return;
  g_signal_connect(native, "load-failed-with-tls-errors", G_CALLBACK(&CWebBrowser::OnCertificateRefused), this);
#endif
}

int CWebBrowser::OnCertificateRefused(void* webView, const char* failingUrl, void* certificate, unsigned errors,
                                      void* self) {
#ifdef VERADEX_BROWSER_TRUST
  auto* browser = static_cast<CWebBrowser*>(self);
  if (failingUrl == nullptr || certificate == nullptr || !G_IS_TLS_CERTIFICATE(certificate)) return FALSE;
  // An authority the engine does not know is the one fault the extra
  // authority can mend; an expired, wrongly named, revoked or otherwise
  // faulty certificate stays refused whatever its issuer.
  if (errors != G_TLS_CERTIFICATE_UNKNOWN_CA) return FALSE;
  const ServerConfig& config = ServerSettings::Current();
  std::string host;
  if (!CertificateCheck::ExtraAuthorityApplies(failingUrl, config, &host)) return FALSE;

  // The chain as the server sent it: its certificate, then the issuers.
  std::vector<std::string> chain;
  for (auto* link = static_cast<GTlsCertificate*>(certificate); link != nullptr && chain.size() < 10;
       link = g_tls_certificate_get_issuer(link)) {
    gchar* pem = nullptr;
    g_object_get(link, "certificate-pem", &pem, nullptr);
    if (pem == nullptr) return FALSE;
    chain.emplace_back(pem);
    g_free(pem);
  }
  if (!CertificateCheck::Verify(chain, host, config.caFile)) return FALSE;
  // Refused again after the certificate was accepted and the page loaded
  // again: the engine has its reasons, the failure stands.
  const wxString url = wxString::FromUTF8(failingUrl);
  const bool ownNavigation = url == browser->requestedUrl_;
  if (ownNavigation && browser->retried_ == browser->navigation_) return FALSE;

  WebKitWebContext* context = webkit_web_view_get_context(static_cast<WebKitWebView*>(webView));
  webkit_web_context_allow_tls_certificate_for_host(context, static_cast<GTlsCertificate*>(certificate), host.c_str());
  ++browser->trustedCertificates_;

  // A page this browser was sent to is loaded again, once. A load the page
  // started itself (a form sent, a link) cannot be repeated from here without
  // its data: the page stays as it is, with whatever the user typed, and the
  // next attempt finds the certificate accepted.
  if (ownNavigation) {
    browser->retried_ = browser->navigation_;
    const unsigned navigation = browser->navigation_;
    browser->CallAfter([browser, navigation, url] {
      if (browser->navigation_ == navigation && browser->view_ != nullptr) browser->view_->LoadURL(url);
    });
  }
  return TRUE;
#else
  (void)webView;
  (void)failingUrl;
  (void)certificate;
  (void)errors;
  (void)self;
  return 0;
#endif
}

}  // namespace veradex
