#pragma once

#include <string>
#include <vector>

typedef void CURL;

namespace veradex::test {

// The same exchanges as the program's, made with libcurl in this process:
// the multipart upload of a file to the upload page and the URL-encoded
// report form to the form page, over HTTPS with the same authority. Every
// request opens a fresh connection; a handle used for several requests may
// resume its TLS session, as libcurl does by default.
class CurlBaseline {
 public:
  CurlBaseline(std::string baseUrl, std::string caFile);

  // One upload on its own handle; false when it failed or was refused.
  bool Upload(const std::string& path, const std::string& wireName) const;
  // A whole report on one handle: for every file one upload and one form
  // post carrying the first cookie set. False on any failure.
  bool Report(const std::vector<std::string>& paths, const std::string& formText) const;

  // Runs curl(1) for the same upload; its own measure of the transfer
  // (-w %{time_total}) and the wall time of the process, in milliseconds.
  // False when curl failed.
  bool CommandLineUpload(const std::string& path, const std::string& wireName, double* curlMs, double* wallMs) const;

 private:
  bool UploadOn(CURL* handle, const std::string& path, const std::string& wireName, std::string* cookie) const;
  bool PostFormOn(CURL* handle, const std::string& formText, const std::string& cookie) const;
  CURL* NewHandle() const;

  std::string baseUrl_;
  std::string caFile_;
};

}  // namespace veradex::test
