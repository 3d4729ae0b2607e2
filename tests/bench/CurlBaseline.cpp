#include "CurlBaseline.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace veradex::test {

namespace {

struct Answer {
  std::string head;
  std::string body;
};

size_t KeepHead(char* data, size_t size, size_t count, void* answer) {
  static_cast<Answer*>(answer)->head.append(data, size * count);
  return size * count;
}

size_t KeepBody(char* data, size_t size, size_t count, void* answer) {
  static_cast<Answer*>(answer)->body.append(data, size * count);
  return size * count;
}

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

constexpr char kUploadPath[] = "/attach_query/attach.jsp";
constexpr char kFormPath[] = "/common/input_1.jsp";
// 접수되었습니다. in code page 949
constexpr char kReceived[] = "\xc1\xa2\xbc\xf6\xb5\xc7\xbe\xfa\xbd\xc0\xb4\xcf\xb4\xd9\x2e";

// Sends one request on the handle (its body already set) with the extra
// header lines; the answer's head and body are kept. The handle's body and
// header settings are taken back afterwards.
CURLcode Perform(CURL* handle, const std::string& url, curl_slist* headers, Answer* answer) {
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, KeepHead);
  curl_easy_setopt(handle, CURLOPT_HEADERDATA, answer);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, KeepBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, answer);
  const CURLcode result = curl_easy_perform(handle);
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, nullptr);
  curl_slist_free_all(headers);
  return result;
}

}  // namespace

CurlBaseline::CurlBaseline(std::string baseUrl, std::string caFile)
    : baseUrl_(std::move(baseUrl)), caFile_(std::move(caFile)) {
  static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  (void)initialised;
}

CURL* CurlBaseline::NewHandle() const {
  CURL* handle = curl_easy_init();
  if (handle == nullptr) return nullptr;
  curl_easy_setopt(handle, CURLOPT_CAINFO, caFile_.c_str());
  curl_easy_setopt(handle, CURLOPT_FRESH_CONNECT, 1L);
  curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  return handle;
}

bool CurlBaseline::UploadOn(CURL* handle, const std::string& path, const std::string& wireName,
                            std::string* cookie) const {
  curl_mime* mime = curl_mime_init(handle);
  curl_mimepart* part = curl_mime_addpart(mime);
  curl_mime_name(part, "attach");
  curl_mime_filedata(part, path.c_str());
  curl_mime_filename(part, wireName.c_str());
  curl_mime_type(part, "application/octet-stream");
  curl_slist* headers = curl_slist_append(nullptr, "Expect:");
  headers = curl_slist_append(headers, "User-Agent: Veradex3.1");
  Answer answer;
  curl_easy_setopt(handle, CURLOPT_MIMEPOST, mime);
  const CURLcode result = Perform(handle, baseUrl_ + kUploadPath, headers, &answer);
  long status = 0;
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_setopt(handle, CURLOPT_MIMEPOST, nullptr);
  curl_mime_free(mime);
  if (result != CURLE_OK || status != 200) return false;
  if (cookie != nullptr) {
    const auto found = answer.head.find("Set-Cookie:");
    if (found != std::string::npos) {
      const auto end = answer.head.find_first_of(";\r\n", found + 11);
      *cookie = answer.head.substr(found + 11, end - found - 11);
    }
  }
  return true;
}

bool CurlBaseline::PostFormOn(CURL* handle, const std::string& formText, const std::string& cookie) const {
  const std::string body = formText.empty() ? std::string() : formText.substr(1);
  curl_slist* headers = curl_slist_append(nullptr, "User-Agent: Veradex2.0");
  const std::string cookieLine = "Cookie: " + cookie;
  if (!cookie.empty()) headers = curl_slist_append(headers, cookieLine.c_str());
  Answer answer;
  curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.c_str());
  curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
  const CURLcode result = Perform(handle, baseUrl_ + kFormPath, headers, &answer);
  curl_easy_setopt(handle, CURLOPT_POSTFIELDS, nullptr);
  return result == CURLE_OK && answer.body.find(kReceived) != std::string::npos;
}

bool CurlBaseline::Upload(const std::string& path, const std::string& wireName) const {
  CURL* handle = NewHandle();
  if (handle == nullptr) return false;
  const bool ok = UploadOn(handle, path, wireName, nullptr);
  curl_easy_cleanup(handle);
  return ok;
}

bool CurlBaseline::Report(const std::vector<std::string>& paths, const std::string& formText) const {
  CURL* handle = NewHandle();
  if (handle == nullptr) return false;
  std::string cookie;
  bool ok = true;
  for (std::size_t i = 0; ok && i < paths.size(); ++i) {
    std::string set;
    ok = UploadOn(handle, paths[i], "SPM_0101_00_" + std::to_string(10 + i) + ".eml", &set);
    if (cookie.empty()) cookie = set;
    ok = ok && PostFormOn(handle, formText, cookie);
  }
  curl_easy_cleanup(handle);
  return ok;
}

bool CurlBaseline::CommandLineUpload(const std::string& path, const std::string& wireName, double* curlMs,
                                     double* wallMs) const {
  const std::string command = "curl -sS -o /dev/null -w '%{time_total}' --cacert " + Quote(caFile_) +
                              " -H 'Expect:' -H 'User-Agent: Veradex3.1' -F " +
                              Quote("attach=@" + path + ";filename=" + wireName + ";type=application/octet-stream") +
                              " " + Quote(baseUrl_ + kUploadPath);
  const auto start = std::chrono::steady_clock::now();
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return false;
  char output[64] = {};
  const std::size_t count = std::fread(output, 1, sizeof output - 1, pipe);
  const int status = pclose(pipe);
  *wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (status != 0 || count == 0) return false;
  *curlMs = std::atof(output) * 1000.0;
  return true;
}

}  // namespace veradex::test
