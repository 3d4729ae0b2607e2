#include "ui/report/WxWebEngineView.h"

#include <wx/dlimpexp.h>
#include <wx/webview.h>

#include <string>
#include <vector>

#if defined(__WXGTK__) && defined(VERADEX_HAVE_WEBKIT2GTK)
#include <webkit2/webkit2.h>

#include "ui/browser/PemChain.h"
#define VERADEX_ENGINE_TRUST 1
#endif

namespace veradex {

WxWebEngineView::WxWebEngineView(wxWebView* view, const WebEngineCallbacks* callbacks)
    : view_(view), callbacks_(callbacks) {
  view_->Bind(wxEVT_WEBVIEW_NAVIGATED, &WxWebEngineView::OnNavigated, this);
  view_->Bind(wxEVT_WEBVIEW_LOADED, &WxWebEngineView::OnLoaded, this);
  view_->Bind(wxEVT_WEBVIEW_ERROR, &WxWebEngineView::OnFailed, this);
#ifdef VERADEX_ENGINE_TRUST
  void* native = view_->GetNativeBackend();
  if (native != nullptr && WEBKIT_IS_WEB_VIEW(native))
    g_signal_connect(native, "load-failed-with-tls-errors", G_CALLBACK(&WxWebEngineView::OnCertificateRefused), this);
#endif
}

wxWindow* WxWebEngineView::Window() { return view_; }

void WxWebEngineView::LoadURL(const wxString& url) { view_->LoadURL(url); }

wxString WxWebEngineView::CurrentTitle() const { return view_->GetCurrentTitle(); }

wxString WxWebEngineView::CurrentURL() const { return view_->GetCurrentURL(); }

bool WxWebEngineView::IsBusy() const { return view_->IsBusy(); }

bool WxWebEngineView::RunScript(const wxString& script, wxString* result) { return view_->RunScript(script, result); }

void WxWebEngineView::Destroy() {
  view_->Unbind(wxEVT_WEBVIEW_NAVIGATED, &WxWebEngineView::OnNavigated, this);
  view_->Unbind(wxEVT_WEBVIEW_LOADED, &WxWebEngineView::OnLoaded, this);
  view_->Unbind(wxEVT_WEBVIEW_ERROR, &WxWebEngineView::OnFailed, this);
#ifdef VERADEX_ENGINE_TRUST
  // The native view outlives the window object for a moment: no refusal may
  // reach this object any more.
  if (view_->GetNativeBackend() != nullptr) g_signal_handlers_disconnect_by_data(view_->GetNativeBackend(), this);
#endif
  view_->Destroy();
  delete this;
}

void WxWebEngineView::OnNavigated(wxWebViewEvent& event) {
  if (callbacks_->navigated) callbacks_->navigated(event.GetURL());
}

void WxWebEngineView::OnLoaded(wxWebViewEvent& event) {
  if (callbacks_->loaded) callbacks_->loaded(event.GetURL());
}

void WxWebEngineView::OnFailed(wxWebViewEvent& event) {
  event.Skip();
  if (callbacks_->failed) callbacks_->failed(event.GetURL());
}

int WxWebEngineView::OnCertificateRefused(void* webView, const char* failingUrl, void* certificate, unsigned errors,
                                          void* self) {
#ifdef VERADEX_ENGINE_TRUST
  auto* engineView = static_cast<WxWebEngineView*>(self);
  if (failingUrl == nullptr || certificate == nullptr || !G_IS_TLS_CERTIFICATE(certificate)) return FALSE;
  // An authority the engine does not know is the one fault an extra
  // authority can mend; an expired, wrongly named, revoked or otherwise
  // faulty certificate stays refused whatever its issuer.
  if (errors != G_TLS_CERTIFICATE_UNKNOWN_CA || !engineView->callbacks_->unknownAuthority) return FALSE;

  const std::vector<std::string> chain = PemChain(static_cast<GTlsCertificate*>(certificate));
  if (chain.empty()) return FALSE;
  std::string host;
  if (!engineView->callbacks_->unknownAuthority(failingUrl, chain, &host)) return FALSE;
  WebKitWebContext* context = webkit_web_view_get_context(static_cast<WebKitWebView*>(webView));
  webkit_web_context_allow_tls_certificate_for_host(context, static_cast<GTlsCertificate*>(certificate), host.c_str());
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

// The module's entry points (see WebEngine.h).
extern "C" WXEXPORT bool VeradexWebEngineAvailable() { return wxWebView::IsBackendAvailable(wxWebViewBackendDefault); }

extern "C" WXEXPORT veradex::WebEngineView* VeradexWebEngineCreate(wxWindow* parent, const wxSize& size,
                                                                   const veradex::WebEngineCallbacks* callbacks) {
  wxWebView* view = wxWebView::New(parent, wxID_ANY, wxWebViewDefaultURLStr, wxPoint(0, 0), size,
                                   wxWebViewBackendDefault, wxBORDER_NONE);
  if (view == nullptr) return nullptr;
  return new veradex::WxWebEngineView(view, callbacks);
}
