// The embedded browser trusts the configured extra authority for the
// configured servers, and nothing else: the centre's page loads when its
// certificate verifies against that authority; a certificate from another
// authority, for another name or out of date, and the right certificate on an
// address that is not a configured server, are all refused and nothing is
// asked of the server.
#include <gtest/gtest.h>

#include <wx/frame.h>

#include <memory>

#include "gui/GuiTestSupport.h"
#include "profile/MemoryProfileStore.h"
#include "profile/ServerSettings.h"
#include "support/ReportCentreHarness.h"
#include "ui/report/CWebBrowser.h"

namespace veradex {
namespace {

using test::TestCertificateAuthority;
using test::TestReportCentre;
using test::WaitFor;
using LeafKind = TestCertificateAuthority::LeafKind;

constexpr auto kLoadTime = std::chrono::seconds(30);

// On both engines: the browser process (X11) and the module.
class BrowserCertificateTrust : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    CWebBrowser::UseModuleOnly(GetParam());
    ProfileStore::SetCurrent(&store);
    store.WriteProfileString(profile::kServers, "version", harness.Centre().Address().HostPort());
    store.WriteProfileString(profile::kServers, "ca_file", harness.CaFile());
    frame = new wxFrame(nullptr, wxID_ANY, "browser", wxPoint(0, 0), wxSize(400, 300));
    browser = new CWebBrowser(frame, 1118, wxPoint(0, 0), wxSize(400, 300));
    frame->Show();
    ASSERT_TRUE(browser->HasEngine());
    ASSERT_TRUE(WaitFor([&] { return View() != nullptr; }, std::chrono::seconds(5)));
    browser->Bind(EVT_DOCUMENT_COMPLETE, [this](wxCommandEvent& event) {
      loaded.push_back(event.GetString());
      event.Skip();
    });
  }
  void TearDown() override {
    CWebBrowser::UseModuleOnly(false);
    test::DestroyAndWait(frame);
    ProfileStore::SetCurrent(nullptr);
    ServerSettings::Reload();
  }

  WebEngineView* View() const { return browser->Engine(); }
  // Pages the engine gave up since the last Open.
  int Errors() const { return browser->FailedLoads() - failedBefore; }
  void UseReportHost(const std::string& hostPort) {
    store.WriteProfileString(profile::kServers, "report", hostPort);
    ServerSettings::Reload();
  }
  bool ShowsCentrePage() const {
    wxString output;
    return !View()->IsBusy() &&
           View()->RunScript(
               wxString::Format("String(!!document.getElementById('%s'))", TestReportCentre::kReportPageMarker),
               &output) &&
           output == "true";
  }
  // Sends the browser to the report page of hostPort and waits until the
  // engine gave up (an error) or the centre's page is there.
  void Open(const std::string& hostPort) {
    failedBefore = browser->FailedLoads();
    const std::size_t before = loaded.size();
    browser->Navigate(wxString::FromUTF8(("https://" + hostPort + TestReportCentre::kReportPagePath).c_str()));
    ASSERT_TRUE(WaitFor([&] { return Errors() > 0 || (loaded.size() > before && ShowsCentrePage()); }, kLoadTime));
  }

  test::ReportCentreHarness harness;
  MemoryProfileStore store;
  wxFrame* frame = nullptr;
  CWebBrowser* browser = nullptr;
  int failedBefore = 0;
  std::vector<wxString> loaded;
};

TEST_P(BrowserCertificateTrust, TheConfiguredAuthorityLetsTheCentresPageLoad) {
  const std::string address = harness.Centre().Address().HostPort();
  UseReportHost(address);
  Open(address);
  EXPECT_TRUE(ShowsCentrePage());
  EXPECT_EQ(Errors(), 0);
  EXPECT_EQ(browser->TrustedCertificateCount(), 1);
  EXPECT_EQ(harness.Centre().RequestsTo(TestReportCentre::kReportPagePath).size(), 1u);
  // The answer has no title: the location name is its address.
  EXPECT_EQ(browser->GetLocationName(), wxString::FromUTF8(("https://" + address + "/h_singo/singo.jsp").c_str()));

  // Once accepted, the certificate serves the next loads without a new decision.
  Open(address);
  EXPECT_TRUE(ShowsCentrePage());
  EXPECT_EQ(browser->TrustedCertificateCount(), 1);
  EXPECT_EQ(harness.Centre().RequestsTo(TestReportCentre::kReportPagePath).size(), 2u);
}

TEST_P(BrowserCertificateTrust, EveryOtherCertificateIsRefused) {
  const struct {
    const char* what;
    test::CertifiedKey identity;
  } servers[] = {
      {"another authority", harness.Authority().Issue(LeafKind::kUnknownAuthority)},
      {"another name", harness.Authority().Issue(LeafKind::kWrongHost)},
      {"out of date", harness.Authority().Issue(LeafKind::kExpired)},
      {"its own signature", harness.Authority().Issue(LeafKind::kSelfSigned)},
  };
  for (const auto& server : servers) {
    SCOPED_TRACE(server.what);
    TestReportCentre centre(server.identity);
    ASSERT_TRUE(centre.Start());
    const std::string address = centre.Address().HostPort();
    UseReportHost(address);
    Open(address);
    EXPECT_GT(Errors(), 0);
    EXPECT_FALSE(ShowsCentrePage());
    EXPECT_TRUE(centre.RequestsTo(TestReportCentre::kReportPagePath).empty());
    EXPECT_EQ(browser->TrustedCertificateCount(), 0);
  }

  // The right certificate, but reached by an address that is no configured
  // server: the extra authority does not apply there.
  UseReportHost(harness.Centre().Address().HostPort());
  const std::string byNumber = "127.0.0.1:" + std::to_string(harness.Centre().Port());
  Open(byNumber);
  EXPECT_GT(Errors(), 0);
  EXPECT_FALSE(ShowsCentrePage());
  EXPECT_TRUE(harness.Centre().RequestsTo(TestReportCentre::kReportPagePath).empty());
  EXPECT_EQ(browser->TrustedCertificateCount(), 0);

  // Without an extra authority the configured server is refused too.
  store.WriteProfileString(profile::kServers, "ca_file", "");
  ServerSettings::Reload();
  Open(harness.Centre().Address().HostPort());
  EXPECT_GT(Errors(), 0);
  EXPECT_TRUE(harness.Centre().RequestsTo(TestReportCentre::kReportPagePath).empty());
  EXPECT_EQ(browser->TrustedCertificateCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, BrowserCertificateTrust, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& instance) {
                           return std::string(instance.param ? "Module" : "Process");
                         });

}  // namespace
}  // namespace veradex
