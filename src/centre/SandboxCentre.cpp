#include "centre/SandboxCentre.h"

#include <openssl/rand.h>

#include <fstream>
#include <sstream>

#include "centre/CentrePages.h"
#include "centre/FormFields.h"
#include "centre/MultipartUpload.h"

namespace veradex::centre {

namespace {

using Answer = CentreServer::Answer;

constexpr const char* kSessionCookie = "JSESSIONID=";

Answer Page(const std::string& html, const std::string& statusLine = "HTTP/1.1 200 OK") {
  Answer answer;
  answer.statusLine = statusLine;
  answer.headerLines = {"Content-Type: text/html; charset=utf-8", "Cache-Control: no-store", "Connection: close"};
  answer.body = html;
  return answer;
}

Answer Status(const std::string& statusLine) {
  return Page("<!DOCTYPE html><html><body><p>" + statusLine.substr(9) + "</p></body></html>\n", statusLine);
}

std::string NewToken() {
  unsigned char random[12];
  if (RAND_bytes(random, sizeof random) != 1) return "sandbox";
  static const char hex[] = "0123456789ABCDEF";
  std::string session;
  for (const unsigned char byte : random) {
    session += hex[byte >> 4];
    session += hex[byte & 15];
  }
  return session;
}

// The path without its query.
std::string PathOnly(const std::string& target) { return target.substr(0, target.find('?')); }

bool IsCategory(const std::string& kind) {
  return kind == "phone" || kind == "email_return" || kind == "board" || kind == "elec" || kind == "fax" ||
         kind == "code";
}

}  // namespace

SandboxCentre::SandboxCentre(ReportStore& store, std::string version) : store_(store), version_(std::move(version)) {}

std::string SandboxCentre::SessionOf(const CentreServer::Request& request) {
  const std::string cookie = request.HeaderValue("Cookie");
  const std::size_t at = cookie.find(kSessionCookie);
  if (at == std::string::npos) return std::string();
  const std::size_t start = at + std::string(kSessionCookie).size();
  const std::size_t end = cookie.find_first_of("; \t", start);
  return cookie.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

CentreServer::Answer SandboxCentre::Respond(const CentreServer::Request& request) {
  const std::string method = request.Method();
  const std::string path = PathOnly(request.Path());
  const bool get = method == "GET" || method == "HEAD";
  if (path == CentreServer::kVersionPath && (get || method == "POST"))
    return Answer::VersionPage("ver:" + version_ + "|");
  if (path == CentreServer::kUploadPath)
    return method == "POST" ? Upload(request) : Status("HTTP/1.1 405 Method Not Allowed");
  if (path == CentreServer::kFormPath)
    return method == "POST" ? ReportForm(request) : Status("HTTP/1.1 405 Method Not Allowed");
  if (path == CentreServer::kReportPagePath) {
    if (get) return Answer::ReportPage();
    return method == "POST" ? ReportPage(request) : Status("HTTP/1.1 405 Method Not Allowed");
  }
  if (!get) return Status("HTTP/1.1 405 Method Not Allowed");
  if (path == "/" || path == "/index.html") return Page(CentrePages::List(store_.List()));
  if (path.rfind("/files/", 0) == 0) return StoredFile(path);
  if (path == kResultPath) return Result(request.Path());
  return Status("HTTP/1.1 404 Not Found");
}

CentreServer::Answer SandboxCentre::Upload(const CentreServer::Request& request) {
  MultipartUpload upload;
  if (!MultipartUpload::Parse(request.HeaderValue("Content-Type"), request.Body(), &upload))
    return Answer::UploadFailed();
  const std::string session = NewToken();
  if (store_.AddUpload(session, upload.FileName(), upload.Content()) == 0) return Answer::UploadFailed();
  return Answer::UploadAccepted(std::string(" ") + kSessionCookie + session + "; Path=/");
}

CentreServer::Answer SandboxCentre::ReportForm(const CentreServer::Request& request) {
  const StoredReport report = store_.AddEmailReport(SessionOf(request), FormFields::Parse(request.Body()));
  return report.id != 0 && report.verdict == ReportStore::kReceived ? Answer::FormReceived()
                                                                    : Answer::FormNotReceived();
}

CentreServer::Answer SandboxCentre::ReportPage(const CentreServer::Request& request) {
  const FormFields form = FormFields::Parse(request.Body());
  const std::string kind = form.Get("singo_type");
  if (kind == "search") {
    const std::string number = form.Get("mtel1").empty()
                                   ? std::string()
                                   : form.Get("mtel1") + "-" + form.Get("mtel2") + "-" + form.Get("mtel3");
    const std::string password = form.Get("singo_pw");
    const bool missing = form.Get("mtel2").empty() || form.Get("mtel3").empty() || password.empty();
    return RedirectToResult(
        CentrePages::Lookup(missing ? std::vector<StoredReport>() : store_.Lookup(number, password), number, missing));
  }
  if (kind == "search_2006") {
    std::vector<StoredReport> found;
    const std::string number = form.Get("receipt_no");
    if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos && number.size() < 18) {
      StoredReport report = store_.Get(std::stoll(number));
      if (report.id != 0 && report.name == form.Get("name") && report.password == form.Get("singo_pw") &&
          !report.password.empty())
        found.push_back(std::move(report));
    }
    return RedirectToResult(CentrePages::Lookup(found, number, number.empty() || form.Get("singo_pw").empty()));
  }
  if (!IsCategory(kind)) return Answer::FormNotReceived();
  const StoredReport report = store_.AddCategoryReport(kind, form);
  Answer answer = Answer::ReportPage();
  if (report.id == 0 || report.verdict != ReportStore::kReceived) {
    const Answer refused = Answer::FormNotReceived();
    answer.body = refused.body;
  }
  return answer;
}

CentreServer::Answer SandboxCentre::RedirectToResult(const std::string& html) {
  const std::string token = NewToken();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    results_[token] = html;
    resultOrder_.push_back(token);
    while (resultOrder_.size() > kMaxResults) {
      results_.erase(resultOrder_.front());
      resultOrder_.pop_front();
    }
  }
  CentreServer::Answer answer = Status("HTTP/1.1 303 See Other");
  answer.headerLines.push_back(std::string("Location: ") + kResultPath + "?id=" + token);
  return answer;
}

CentreServer::Answer SandboxCentre::Result(const std::string& target) {
  const std::size_t at = target.find("?id=");
  const std::string token = at == std::string::npos ? std::string() : target.substr(at + 4);
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = results_.find(token);
  return found == results_.end() ? Status("HTTP/1.1 404 Not Found") : Page(found->second);
}

CentreServer::Answer SandboxCentre::StoredFile(const std::string& path) {
  const std::size_t slash = path.find('/', 7);
  const std::string id = path.substr(7, slash == std::string::npos ? std::string::npos : slash - 7);
  if (id.empty() || id.size() > 18 || id.find_first_not_of("0123456789") != std::string::npos)
    return Status("HTTP/1.1 404 Not Found");
  const StoredReport report = store_.Get(std::stoll(id));
  if (report.id == 0 || report.storedFile.empty()) return Status("HTTP/1.1 404 Not Found");
  std::ifstream in(store_.Folder() + "/" + report.storedFile, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in) return Status("HTTP/1.1 404 Not Found");
  CentreServer::Answer answer;
  answer.headerLines = {"Content-Type: text/plain", "X-Content-Type-Options: nosniff", "Connection: close"};
  answer.body = bytes.str();
  return answer;
}

}  // namespace veradex::centre
