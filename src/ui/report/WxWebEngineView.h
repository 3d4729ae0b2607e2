#pragma once

#include "ui/report/WebEngine.h"

class wxWebView;
class wxWebViewEvent;

namespace veradex {

// The web engine module's view: the toolkit's web view, with the engine's
// refusals of unknown certificate authorities passed to the browser (GTK
// port; elsewhere the platform's own trust decides).
class WxWebEngineView : public WebEngineView {
 public:
  WxWebEngineView(wxWebView* view, const WebEngineCallbacks* callbacks);

  wxWindow* Window() override;
  void LoadURL(const wxString& url) override;
  wxString CurrentTitle() const override;
  wxString CurrentURL() const override;
  bool IsBusy() const override;
  bool RunScript(const wxString& script, wxString* result) override;
  void Destroy() override;

 private:
  ~WxWebEngineView() override = default;
  void OnNavigated(wxWebViewEvent& event);
  void OnLoaded(wxWebViewEvent& event);
  void OnFailed(wxWebViewEvent& event);
  // GTK: the web view's "load-failed-with-tls-errors" signal. Non-zero: handled.
  static int OnCertificateRefused(void* webView, const char* failingUrl, void* certificate, unsigned errors,
                                  void* self);

  wxWebView* view_;
  const WebEngineCallbacks* callbacks_;
};

}  // namespace veradex
