#include "ui/report/CWebBrowser.h"

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/toplevel.h>

#include <string>
#include <vector>

#include "net/CertificateCheck.h"
#include "profile/ServerSettings.h"
#include "ui/report/BrowserProcessView.h"
#include "ui/report/WebEngineModule.h"

namespace veradex {

namespace {

bool moduleOnly = false;

bool ProcessEngine() { return !moduleOnly && BrowserProcessView::Available(); }

}  // namespace

wxDEFINE_EVENT(EVT_NAVIGATE_COMPLETE2, wxCommandEvent);
wxDEFINE_EVENT(EVT_DOCUMENT_COMPLETE, wxCommandEvent);

CWebBrowser::CWebBrowser(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxPanel(parent, id, pos, size, wxBORDER_NONE), releaseTimer_(this) {
  SetBackgroundColour(*wxWHITE);
  // Whether the engine can really run is known at the first start; until
  // then the presence of its program or module has to do.
  engineAvailable_ = ProcessEngine() || WebEngineModule::Present();
  callbacks_.navigated = [this](const wxString& url) { SendEvent(EVT_NAVIGATE_COMPLETE2, url); };
  callbacks_.loaded = [this](const wxString& url) { SendEvent(EVT_DOCUMENT_COMPLETE, url); };
  callbacks_.failed = [this](const wxString&) { ++failedLoads_; };
  callbacks_.unknownAuthority = [this](const std::string& url, const std::vector<std::string>& chain,
                                       std::string* host) { return TrustUnknownAuthority(url, chain, host); };
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
  // The view goes before the callbacks it was given.
  ReleaseEngine();
}

void CWebBrowser::UseModuleOnly(bool only) { moduleOnly = only; }

wxWindow* CWebBrowser::View() const { return view_ != nullptr ? view_->Window() : nullptr; }

void CWebBrowser::StartEngine() {
  if (view_ != nullptr || !engineAvailable_) return;
  if (ProcessEngine()) view_ = BrowserProcessView::Create(this, GetClientSize(), &callbacks_);
  if (view_ == nullptr) view_ = WebEngineModule::Create(this, GetClientSize(), &callbacks_);
  if (view_ == nullptr) {
    engineAvailable_ = false;
    return;
  }
  // What was asked for meanwhile, in its order; after a release, the page
  // that was shown.
  std::vector<wxString> addresses;
  addresses.swap(pending_);
  if (addresses.empty() && !requestedUrl_.empty()) addresses.push_back(requestedUrl_);
  for (const wxString& address : addresses) view_->LoadURL(address);
}

void CWebBrowser::ReleaseEngine() {
  if (view_ == nullptr) return;
  WebEngineView* going = view_;
  view_ = nullptr;
  going->Destroy();
}

void CWebBrowser::OnTopLevelShow(wxShowEvent& event) {
  event.Skip();
  if (event.IsShown()) {
    releaseTimer_.Stop();
    // Once the window is on the screen: loading the engine takes a moment,
    // and the page loads in the background anyway.
    CallAfter([this] {
      // Not for a window that was closed for good meanwhile.
      if (topLevel_ != nullptr && topLevel_->IsShown() && !topLevel_->IsBeingDeleted() &&
          !wxTheApp->IsScheduledForDestruction(topLevel_))
        StartEngine();
    });
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
  const wxString title = view_->CurrentTitle();
  return title.empty() ? view_->CurrentURL() : title;
}

void CWebBrowser::SendEvent(wxEventType type, const wxString& url) {
  wxCommandEvent out(type, GetId());
  out.SetEventObject(this);
  out.SetString(url);
  ProcessWindowEvent(out);
}

void CWebBrowser::OnSize(wxSizeEvent& event) {
  if (view_ != nullptr) view_->Window()->SetSize(GetClientSize());
  event.Skip();
}

bool CWebBrowser::TrustUnknownAuthority(const std::string& failingUrl, const std::vector<std::string>& chain,
                                        std::string* host) {
  const ServerConfig& config = ServerSettings::Current();
  if (!CertificateCheck::ExtraAuthorityApplies(failingUrl.c_str(), config, host)) return false;
  if (!CertificateCheck::Verify(chain, *host, config.caFile)) return false;
  // Refused again after the certificate was accepted and the page loaded
  // again: the engine has its reasons, the failure stands.
  const wxString url = wxString::FromUTF8(failingUrl.c_str());
  const bool ownNavigation = url == requestedUrl_;
  if (ownNavigation && retried_ == navigation_) return false;
  ++trustedCertificates_;

  // A page this browser was sent to is loaded again, once. A load the page
  // started itself (a form sent, a link) cannot be repeated from here without
  // its data: the page stays as it is, with whatever the user typed, and the
  // next attempt finds the certificate accepted.
  if (ownNavigation) {
    retried_ = navigation_;
    const unsigned navigation = navigation_;
    CallAfter([this, navigation, url] {
      if (navigation_ == navigation && view_ != nullptr) view_->LoadURL(url);
    });
  }
  return true;
}

}  // namespace veradex
