// A page's form submitted in the embedded browser: it posts its fields in
// code page 949, and once the "singo.jsp" answer has loaded, the browser
// events bring back a fresh, pre-filled copy of the same category's page.
// The answer comes from a plain-HTTP loopback server (the form's address is
// pointed at it), so the round trip needs neither TLS nor the network.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <wx/frame.h>
#include <wx/webview.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "GuiTestSupport.h"
#include "pages/CategoryPageController.h"
#include "pages/CategoryPageHost.h"
#include "platform/Cp949.h"
#include "profile/MemoryProfileStore.h"
#include "profile/PersonalProfile.h"
#include "profile/ServerSettings.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

using test::WaitFor;

// Answers every request on 127.0.0.1 with a small page without a title and
// keeps the requests it saw.
class LoopbackAnswerer {
 public:
  LoopbackAnswerer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 8);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackAnswerer() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
  }
  int Port() const { return port_; }
  std::vector<std::string> Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

 private:
  void Serve() {
    while (!stop_) {
      pollfd waiting{listener_, POLLIN, 0};
      if (::poll(&waiting, 1, 50) <= 0) continue;
      const int connection = ::accept(listener_, nullptr, nullptr);
      if (connection < 0) continue;
      std::string request = ReadRequest(connection);
      const std::string body = "<html><body><p>OK</p></body></html>";
      const std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=euc-kr\r\nContent-Length: " +
                                 std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
      ::send(connection, answer.data(), answer.size(), MSG_NOSIGNAL);
      ::close(connection);
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(std::move(request));
    }
  }
  static std::string ReadRequest(int connection) {
    std::string data;
    char buffer[4096];
    for (;;) {
      pollfd readable{connection, POLLIN, 0};
      if (::poll(&readable, 1, 5000) <= 0) break;
      const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      data.append(buffer, static_cast<std::size_t>(got));
      const auto headEnd = data.find("\r\n\r\n");
      if (headEnd == std::string::npos) continue;
      std::size_t bodyLength = 0;
      const auto field = data.find("Content-Length: ");
      if (field != std::string::npos && field < headEnd) bodyLength = std::stoul(data.substr(field + 16));
      if (data.size() >= headEnd + 4 + bodyLength) break;
    }
    return data;
  }

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
};

// The report window's side of the commands, reduced to the browser.
class WebViewHost : public CategoryPageHost {
 public:
  explicit WebViewHost(wxWebView* view) : view_(view) {}
  Category GetCategory() const override { return category; }
  void SetCategory(Category value) override { category = value; }
  void Navigate(const std::string& url) override {
    ++navigations;
    view_->LoadURL(wxString::FromUTF8(url));
  }
  std::string GetLocationName() override {
    const wxString title = view_->GetCurrentTitle();
    return Cp949::FromWxLossy(title.empty() ? view_->GetCurrentURL() : title);
  }
  void ShowView(View) override {}
  void TransferFieldsToControls() override {}
  void OpenInDefaultBrowser(const std::string&) override {}

  Category category = Category::kNone;
  int navigations = 0;

 private:
  wxWebView* view_;
};

TEST(CategoryPageRoundTrip, SubmittedBoardPageComesBackPreFilled) {
  LoopbackAnswerer answerer;
  MemoryProfileStore store;
  store.WriteProfileString("servers", "report", "report.test");
  struct StoreScope {
    explicit StoreScope(ProfileStore* store) {
      ProfileStore::SetCurrent(store);
      ServerSettings::Reload();
    }
    ~StoreScope() {
      ProfileStore::SetCurrent(nullptr);
      ServerSettings::Reload();
    }
  } storeScope(&store);

  test::TempDir program;
  for (const char* name : {"BOARD_SPAM.bak", "PHONE_SPAM.bak"})
    program.Write(name, test::ReadFileBytes(std::string(VERADEX_SOURCE_DIR) + "/res/pages/" + name));
  CategoryPages pages(program.Path(), std::string());
  PersonalProfile profile;
  profile.name =
      "\xB1\xE8\x8C"
      "c";  // "김똠"
  profile.email = "kim@example.com";
  profile.tel1 = "02";
  profile.reportPassword = "pw1234";
  test::RecordingMessageSink sink;
  CategoryNavigationState state;

  wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "round trip", wxPoint(0, 0), wxDefaultSize);
  struct FrameScope {
    wxFrame* frame;
    ~FrameScope() {
      frame->DestroyChildren();  // the browser goes now: no event reaches the handlers below any more
      frame->Destroy();
      WaitFor([] { return false; }, std::chrono::milliseconds(50));
    }
  } frameScope{frame};
  frame->SetClientSize(610, 490);
  wxWebView* view = wxWebView::New(frame, wxID_ANY, wxWebViewDefaultURLStr, wxPoint(0, 0), wxSize(610, 490));
  WebViewHost host(view);
  CategoryPageController controller(host, pages, profile, &sink, state);
  int loads = 0;
  view->Bind(wxEVT_WEBVIEW_NAVIGATED,
             [&](wxWebViewEvent& event) { controller.OnNavigateComplete(std::string(event.GetURL().utf8_str())); });
  view->Bind(wxEVT_WEBVIEW_LOADED, [&](wxWebViewEvent&) {
    ++loads;
    controller.OnDocumentComplete();
  });
  frame->Show();

  const auto script = [view](const wxString& javascript) {
    wxString output;
    view->RunScript(javascript, &output);
    return output;
  };
  const auto boardShown = [&] {
    return !view->IsBusy() && script("String(!!(document.forms[0] && document.forms[0].site_url))") == "true";
  };

  ASSERT_TRUE(controller.RenderCategoryPage(Category::kBulletinBoard));
  ASSERT_TRUE(WaitFor(boardShown, std::chrono::seconds(30)));
  EXPECT_EQ(host.category, Category::kBulletinBoard);
  const int navigationsBefore = host.navigations;

  // The user fills in the page and sends it (to the loopback answerer).
  script(
      wxString::Format("var f = document.forms[0]; f.action = 'http://127.0.0.1:%d/h_singo/singo.jsp';"
                       "f.site_url.value = 'http://spam.example'; f.spam_content.value = 'typed'; f.submit(); 0",
                       answerer.Port()));
  ASSERT_TRUE(WaitFor([&] { return !answerer.Requests().empty(); }, std::chrono::seconds(30)));
  const std::string post = answerer.Requests().front();
  EXPECT_EQ(post.rfind("POST /h_singo/singo.jsp ", 0), 0u) << post;
  EXPECT_NE(post.find("singo_type=board"), std::string::npos) << post;
  EXPECT_NE(post.find("name=%B1%E8%8Cc&"), std::string::npos) << post;      // code page 949 on the wire
  EXPECT_NE(post.find("mcomtel=%B1%E2%C5%B8"), std::string::npos) << post;  // no carrier: "기타"

  // The answer loads, and the same category's page comes back, filled again.
  ASSERT_TRUE(WaitFor([&] { return host.navigations > navigationsBefore && boardShown(); }, std::chrono::seconds(30)));
  EXPECT_TRUE(view->GetCurrentURL().EndsWith("/BOARD_SPAM.HTML"));
  EXPECT_EQ(script("document.forms[0].site_url.value"), "");
  EXPECT_EQ(script("document.forms[0].elements['name'].value"), Cp949::ToWx(profile.name));
  EXPECT_EQ(host.category, Category::kBulletinBoard);
  EXPECT_FALSE(state.RerenderPending());
  EXPECT_TRUE(sink.Texts().empty());
}

}  // namespace
}  // namespace veradex
#endif
