// The sandbox report centre: what it keeps of the program's requests, and
// what it does with requests no program sends.
#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "centre/CentreServer.h"
#include "centre/CertificateAuthority.h"
#include "centre/FormFields.h"
#include "centre/MailHeaders.h"
#include "centre/ReportStore.h"
#include "centre/SandboxCentre.h"
#include "support/LoopbackSocket.h"
#include "support/TempDir.h"

namespace veradex::centre {
namespace {

// 홍길동, 접수되었습니다., 접수되지.
const std::string kName = "\xc8\xab\xb1\xe6\xb5\xbf";
const std::string kReceived = "\xc1\xa2\xbc\xf6\xb5\xc7\xbe\xfa\xbd\xc0\xb4\xcf\xb4\xd9\x2e";
const std::string kNotReceived = "\xc1\xa2\xbc\xf6\xb5\xc7\xc1\xf6\x2e";
const std::string kBoundary = "---------------------------7d32231303e8";

// One request over a fresh TLS connection; everything the centre sent back
// before it closed (empty when it closed without a word).
std::string Exchange(int port, const std::string& request) {
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  const int s = test::LoopbackSocket::Connect(port);
  std::string answer;
  if (s >= 0) {
    test::LoopbackSocket::SetReceiveTimeout(s, 20);
    SSL* session = SSL_new(context);
    SSL_set_fd(session, s);
    if (SSL_connect(session) == 1) {
      for (std::size_t sent = 0; sent < request.size();) {
        const int count = SSL_write(session, request.data() + sent, static_cast<int>(request.size() - sent));
        if (count <= 0) break;
        sent += static_cast<std::size_t>(count);
      }
      char buffer[4096];
      for (int count; (count = SSL_read(session, buffer, sizeof buffer)) > 0;) answer.append(buffer, count);
    }
    SSL_free(session);
  }
  if (s >= 0) test::LoopbackSocket::Close(s);
  SSL_CTX_free(context);
  return answer;
}

std::string Post(const std::string& path, const std::string& headers, const std::string& body) {
  return "POST " + path + " HTTP/1.1\r\nHost: localhost\r\n" + headers +
         "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// An upload as the program sends it.
std::string Upload(const std::string& fileName, const std::string& content) {
  const std::string body = "--" + kBoundary + "\r\nContent-Disposition: form-data; name=\"attach\"; filename=\"" +
                           fileName + "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + content + "\r\n--" +
                           kBoundary + "--\r\n";
  return Post(CentreServer::kUploadPath, "Content-Type: multipart/form-data; boundary=" + kBoundary + "\r\n", body);
}

std::string CookieOf(const std::string& answer) {
  const auto at = answer.find("Set-Cookie:");
  return at == std::string::npos ? std::string() : answer.substr(at + 11, answer.find(';', at) - at - 11);
}

class SandboxCentreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(store.Open(dir.Path(), &error)) << error;
    server.SetRecording(false);
    server.SetIdleTimeoutSeconds(2);
    server.SetHandler([this](const CentreServer::Request& request) { return sandbox.Respond(request); });
    ASSERT_TRUE(server.Start());
  }
  std::string Send(const std::string& request) { return Exchange(server.Port(), request); }

  test::TempDir dir;
  ReportStore store;
  SandboxCentre sandbox{store, "5.3"};
  CertificateAuthority authority;
  CentreServer server{authority.Issue(CertificateAuthority::LeafKind::kValid)};
};

TEST_F(SandboxCentreTest, KeepsTheProgramsReportByteForByteAndRefusesAnIncompleteOne) {
  const std::string mail = "Subject: =?UTF-8?B?7Iqk7Yy4?=\r\nFrom: a@example.com\r\n\r\nbody\r\n";
  const std::string uploaded = Send(Upload("SPM_0303_07_1A3.eml", mail));
  ASSERT_EQ(uploaded.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << uploaded;
  const std::string cookie = CookieOf(uploaded);
  ASSERT_EQ(cookie.rfind(" JSESSIONID=", 0), 0u) << uploaded;
  // Twelve fields as the program posts them: content "a" CR LF "b".
  const std::string form =
      "ret_url=..%2Fminwon%2Flist.jsp&queryid=null&q_type=1&name=%C8%AB%B1%E6%B5%BF&email=hong%40example.com"
      "&tel=02-123-4567&content=a%0D%0Ab&filename=SPM_0303_07_1A3.eml&pwd=pw%21&channel=SPM&menu=1&agree1=1";
  const std::string verdict = Send(Post(CentreServer::kFormPath, "Cookie: " + cookie + "\r\n", form));
  EXPECT_NE(verdict.find(kReceived), std::string::npos) << verdict;

  const auto reports = store.List();
  ASSERT_EQ(reports.size(), 1u);
  const StoredReport& report = reports[0];
  EXPECT_EQ(report.kind, "email");
  EXPECT_EQ(report.verdict, ReportStore::kReceived);
  EXPECT_EQ(report.session, cookie.substr(12));
  EXPECT_EQ(report.name, kName);
  EXPECT_EQ(report.email, "hong@example.com");
  EXPECT_EQ(report.tel, "02-123-4567");
  EXPECT_EQ(report.content, "a\r\nb");
  EXPECT_EQ(report.password, "pw!");
  EXPECT_EQ(report.fileName, "SPM_0303_07_1A3.eml");
  EXPECT_EQ(report.fields.size(), 12u);
  EXPECT_EQ(report.mailSubject, u8"스팸");
  EXPECT_EQ(test::ReadFileBytes(dir.Path() + "/" + report.storedFile), mail);
  EXPECT_EQ(report.storedFile, "files/" + std::to_string(report.id) + "/SPM_0303_07_1A3.eml");

  // A form naming a file never uploaded, or without a name, is refused and
  // kept as such; a file name cannot leave its folder.
  EXPECT_NE(Send(Post(CentreServer::kFormPath, "", "name=x&email=y&filename=none.eml")).find(kNotReceived),
            std::string::npos);
  ASSERT_EQ(Send(Upload("../../escape.eml", "x")).rfind("HTTP/1.1 200 OK", 0), 0u);
  EXPECT_NE(Send(Post(CentreServer::kFormPath, "", "email=y&filename=..%2F..%2Fescape.eml")).find(kNotReceived),
            std::string::npos);
  const auto all = store.List();
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0].verdict, ReportStore::kRefused);
  EXPECT_EQ(all[1].verdict, ReportStore::kUploaded);
  EXPECT_EQ(all[1].storedFile, "files/" + std::to_string(all[1].id) + "/.._.._escape.eml");
  EXPECT_EQ(all[2].verdict, ReportStore::kRefused);

  // The list page shows the report in UTF-8.
  const std::string list = Send("GET / HTTP/1.1\r\nHost: localhost\r\n\r\n");
  EXPECT_NE(list.find(u8"홍길동"), std::string::npos);
  EXPECT_NE(list.find("a\r\nb"), std::string::npos);
  EXPECT_NE(Send("GET /files/" + std::to_string(report.id) + "/x HTTP/1.1\r\n\r\n").find(mail), std::string::npos);
}

TEST_F(SandboxCentreTest, CategoryReportsAreKeptAndFoundByMobileNumberAndPassword) {
  const std::string page =
      Send(Post(CentreServer::kReportPagePath, "",
                "singo_type=phone&spam_tel=060-123-4567&spam_content=%B1%A4%B0%ED&name=%C8%AB%B1%E6%B5%BF"
                "&email=h%40example.com&tel1=02&tel2=123&tel3=4567&mtel1=010&mtel2=1234&mtel3=5678&singo_pw=pw"));
  EXPECT_NE(page.find(CentreServer::kReportPageMarker), std::string::npos);
  EXPECT_NE(page.find(kReceived), std::string::npos);
  const auto reports = store.List();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].kind, "phone");
  EXPECT_EQ(reports[0].mobile, "010-1234-5678");
  EXPECT_EQ(reports[0].tel, "02-123-4567");
  EXPECT_EQ(reports[0].content, "\xb1\xa4\xb0\xed");

  struct Case {
    const char* form;
    bool found;
  } cases[] = {
      {"singo_type=search&mtel1=010&mtel2=1234&mtel3=5678&singo_pw=pw", true},
      {"singo_type=search&mtel1=010&mtel2=1234&mtel3=5678&singo_pw=other", false},
      {"singo_type=search&mtel1=010&mtel2=9999&mtel3=5678&singo_pw=pw", false},
      {"singo_type=search&mtel1=010&mtel2=1234&mtel3=5678&singo_pw=", false},
  };
  for (const auto& c : cases) {
    // The result comes from the address the answer redirects to.
    const std::string redirect = Send(Post(CentreServer::kReportPagePath, "", c.form));
    ASSERT_EQ(redirect.rfind("HTTP/1.1 303 ", 0), 0u) << redirect;
    const auto location = redirect.find("Location: ");
    ASSERT_NE(location, std::string::npos);
    const std::string target = redirect.substr(location + 10, redirect.find("\r\n", location) - location - 10);
    EXPECT_EQ(target.find("singo.jsp"), std::string::npos) << target;
    const std::string answer = Send("GET " + target + " HTTP/1.1\r\n\r\n");
    EXPECT_EQ(answer.find("<td>" + std::to_string(reports[0].id) + "</td>") != std::string::npos, c.found) << c.form;
    EXPECT_NE(answer.find(u8"<title>신고 민원 확인 결과</title>"), std::string::npos);
  }
}

TEST_F(SandboxCentreTest, BadInputGetsAnErrorOrAClosedConnection) {
  struct Case {
    const char* what;
    std::string request;
    const char* answerStart;  // empty: the connection closes without an answer
  } cases[] = {
      {"garbage", "\x01\x02garbage\r\n\r\n", "HTTP/1.1 405"},
      {"over-long head", "GET /" + std::string(70000, 'a'), "HTTP/1.1 431"},
      {"over-long body", "POST / HTTP/1.1\r\nContent-Length: 10485761\r\n\r\n", "HTTP/1.1 413"},
      {"bad length", "POST / HTTP/1.1\r\nContent-Length: -5\r\n\r\n", "HTTP/1.1 400"},
      {"chunks", "POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n", "HTTP/1.1 411"},
      {"body shorter than its length", "POST /common/input_1.jsp HTTP/1.1\r\nContent-Length: 100\r\n\r\nname=x", ""},
      {"upload without a file", Post(CentreServer::kUploadPath, "Content-Type: text/plain\r\n", "x"), "HTTP/1.1 200"},
      {"file outside the store", "GET /files/../../etc/passwd HTTP/1.1\r\n\r\n", "HTTP/1.1 404"},
      {"unknown page", "GET /nothing HTTP/1.1\r\n\r\n", "HTTP/1.1 404"},
  };
  for (const auto& c : cases) {
    // A short body: the centre gives up on the silent client after its idle time-out.
    const std::string answer = Send(c.request);
    if (*c.answerStart == '\0') {
      EXPECT_EQ(answer, "") << c.what;
    } else {
      EXPECT_EQ(answer.rfind(c.answerStart, 0), 0u) << c.what << ": " << answer.substr(0, 80);
    }
  }
  EXPECT_TRUE(store.List().empty());

  // A hundred clients at once all get the version page.
  std::atomic<int> answered{0};
  std::vector<std::thread> clients;
  for (int i = 0; i < 100; ++i) {
    clients.emplace_back([&] {
      if (Send(Post(CentreServer::kVersionPath, "", "")).find("\r\n\r\nver:5.3|") != std::string::npos) ++answered;
    });
  }
  for (auto& client : clients) client.join();
  EXPECT_EQ(answered.load(), 100);
}

TEST(MailHeadersTest, SubjectAndSenderBecomeUtf8) {
  struct Case {
    std::string head;
    std::string subject;
    std::string from;
  } cases[] = {
      {"Subject: plain\r\nFrom: a@b\r\n\r\nSubject: body", "plain", "a@b"},
      {"subject: =?euc-kr?Q?=C8=AB?= =?UTF-8?B?6ri464+Z?=\n\n", u8"홍길동", ""},
      {"From: \xc8\xab <h@x>\r\nSubject: folded\r\n  line\r\n\r\n", "folded  line", u8"홍 <h@x>"},
      {"Subject: =?ks_c_5601-1987?B?yKs=?=\r\n\r\n", u8"홍", ""},
      {"Subject: \xff\xfe!\r\n\r\n", "?\?!", ""},
  };
  for (const auto& c : cases) {
    const MailHeaders headers = MailHeaders::Read(c.head);
    EXPECT_EQ(headers.Subject(), c.subject) << c.head;
    EXPECT_EQ(headers.From(), c.from) << c.head;
  }
  EXPECT_EQ(FormFields::Decode("a+b%2B%C8%ab%zz%4"), "a b+\xc8\xab%zz%4");
}

}  // namespace
}  // namespace veradex::centre
