#include "centre/MultipartUpload.h"

#include <algorithm>
#include <cctype>

namespace veradex::centre {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The value of parameter name (e.g. boundary, filename) in a header value,
// quoted or not.
bool Parameter(const std::string& header, const std::string& name, std::string* value) {
  const std::string lower = Lower(header);
  std::size_t at = 0;
  while ((at = lower.find(name + "=", at)) != std::string::npos) {
    const bool starts = at == 0 || lower[at - 1] == ';' || lower[at - 1] == ' ' || lower[at - 1] == '\t';
    at += name.size() + 1;
    if (!starts) continue;
    if (at < header.size() && header[at] == '"') {
      const std::size_t close = header.find('"', at + 1);
      if (close == std::string::npos) return false;
      *value = header.substr(at + 1, close - at - 1);
    } else {
      const std::size_t end = header.find_first_of("; \t", at);
      *value = header.substr(at, end == std::string::npos ? std::string::npos : end - at);
    }
    return true;
  }
  return false;
}

}  // namespace

bool MultipartUpload::Parse(const std::string& contentType, const std::string& body, MultipartUpload* upload) {
  std::string boundary;
  if (Lower(contentType).rfind("multipart/form-data", 0) != 0 || !Parameter(contentType, "boundary", &boundary) ||
      boundary.empty())
    return false;
  const std::string delimiter = "--" + boundary;
  // The body starts with the delimiter; every later one follows a CR LF.
  std::size_t at = body.rfind(delimiter, 0) == 0 ? 0 : body.find("\r\n" + delimiter);
  if (at == std::string::npos) return false;
  if (at != 0) at += 2;
  while (at != std::string::npos) {
    std::size_t headStart = at + delimiter.size();
    if (body.compare(headStart, 2, "--") == 0) return false;  // the closing delimiter
    if (body.compare(headStart, 2, "\r\n") != 0) return false;
    headStart += 2;
    const std::size_t headEnd = body.find("\r\n\r\n", headStart);
    if (headEnd == std::string::npos) return false;
    const std::size_t contentStart = headEnd + 4;
    const std::size_t next = body.find("\r\n" + delimiter, contentStart);
    if (next == std::string::npos) return false;
    const std::string head = body.substr(headStart, headEnd - headStart);
    // The Content-Disposition line of the part's head.
    std::size_t line = 0;
    while (line < head.size()) {
      std::size_t end = head.find("\r\n", line);
      if (end == std::string::npos) end = head.size();
      const std::string text = head.substr(line, end - line);
      if (Lower(text).rfind("content-disposition:", 0) == 0) {
        std::string fileName;
        if (Parameter(text, "filename", &fileName)) {
          upload->fileName_ = fileName;
          upload->fieldName_.clear();
          Parameter(text, "name", &upload->fieldName_);
          upload->content_ = body.substr(contentStart, next - contentStart);
          return true;
        }
      }
      line = end + 2;
    }
    at = next + 2;
  }
  return false;
}

}  // namespace veradex::centre
