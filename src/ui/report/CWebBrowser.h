#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <wx/event.h>
#include <wx/panel.h>
#include <wx/timer.h>

#include "ui/report/WebEngine.h"

namespace veradex {

// The report window's embedded browser: a web view filling this panel. It
// offers the two operations the window needs and turns the view's own events
// into the two completion events below (GetString() is the address).
//
// The browser trusts the same extra certificate authority as the network
// client ("servers/ca_file" in the profile), for the report and version
// servers only: when the engine refuses such a server's certificate because
// it does not know its authority, and the certificate verifies against that
// authority (chain, validity, server name), the engine is told to accept that
// one certificate for that host, and a page this browser was sent to is
// loaded again. Every other refusal stands. (GTK port; elsewhere the
// platform's own trust decides.)
//
// The web engine (its module, and with it its helper processes) runs only
// while it is wanted: it starts once the browser's top-level window has been
// shown (or when StartEngine() is called), and is released again once that
// window has been hidden for the release delay. Addresses given while no
// engine runs are kept and loaded in their order when it starts; an engine
// started again after a release loads the page last given.
class CWebBrowser : public wxPanel {
 public:
  static constexpr std::chrono::milliseconds kDefaultReleaseDelay{60000};

  CWebBrowser(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);
  ~CWebBrowser() override;

  // Loads the address (a local file path or a URL).
  void Navigate(const wxString& url);
  // The title of the page shown, or its address when it has none.
  wxString GetLocationName() const;
  // False when the platform has no web engine (or its module is missing or
  // cannot run); the panel then stays blank.
  bool HasEngine() const { return engineAvailable_; }
  // The running engine's view window; null while none runs.
  wxWindow* View() const;
  // The running engine's view; null while none runs.
  WebEngineView* Engine() const { return view_; }
  // Pages the engine could not load so far.
  int FailedLoads() const { return failedLoads_; }
  // The engine in the program's own process (the module) even where a
  // browser process could run; for tests of that engine.
  static void UseModuleOnly(bool only);
  // Starts the engine now if it is not running (and the platform has one).
  void StartEngine();
  // How long the top-level window must stay hidden before the engine goes.
  void SetReleaseDelay(std::chrono::milliseconds delay) { releaseDelay_ = delay; }
  // Certificates accepted through the extra authority so far.
  int TrustedCertificateCount() const { return trustedCertificates_; }

 private:
  void SendEvent(wxEventType type, const wxString& url);
  void OnSize(wxSizeEvent& event);
  void OnTopLevelShow(wxShowEvent& event);
  void ReleaseEngine();
  // The engine refused a server certificate for want of its authority.
  bool TrustUnknownAuthority(const std::string& failingUrl, const std::vector<std::string>& chain, std::string* host);

  WebEngineCallbacks callbacks_;
  WebEngineView* view_ = nullptr;
  bool engineAvailable_ = false;
  wxWindow* topLevel_ = nullptr;
  wxTimer releaseTimer_;
  std::chrono::milliseconds releaseDelay_ = kDefaultReleaseDelay;
  std::vector<wxString> pending_;  // addresses given while no engine ran, oldest first
  wxString requestedUrl_;          // the address last given to the engine by Navigate
  unsigned navigation_ = 0;        // counts Navigate calls
  unsigned retried_ = 0;           // the navigation already loaded again after a trust decision
  int trustedCertificates_ = 0;
  int failedLoads_ = 0;
};

// A navigation has completed (the page's address is known).
wxDECLARE_EVENT(EVT_NAVIGATE_COMPLETE2, wxCommandEvent);
// The page has finished loading.
wxDECLARE_EVENT(EVT_DOCUMENT_COMPLETE, wxCommandEvent);

}  // namespace veradex
