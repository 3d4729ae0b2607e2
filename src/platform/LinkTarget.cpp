#include "platform/LinkTarget.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <fstream>

namespace veradex {

namespace {

constexpr int kMaxLinkDepth = 16;
constexpr long long kMaxDesktopFileBytes = 64 * 1024;

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

std::string Trimmed(const std::string& text) {
  static const char* const kBlanks = " \t\r\n\v\f";
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// %XX escapes decoded to their bytes; a stray '%' stays as it is.
std::string Unescaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::string LinkTarget::Resolve(const std::string& path) {
  const std::string target = OfSymbolicLink(path);
  return target.empty() ? OfDesktopLink(path) : target;
}

std::string LinkTarget::OfSymbolicLink(const std::string& path) {
#ifdef _WIN32
  (void)path;
  return std::string();  // shortcuts there are shell links, not file-system links
#else
  std::string current = path;
  bool followed = false;
  for (int depth = 0; depth < kMaxLinkDepth && !current.empty(); ++depth) {
    struct stat info;
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) break;
    char buffer[4096];
    const ssize_t length = ::readlink(current.c_str(), buffer, sizeof buffer - 1);
    if (length <= 0) break;
    std::string target(buffer, static_cast<std::size_t>(length));
    // A relative target counts from the link's own folder.
    const auto slash = current.find_last_of('/');
    if (target[0] != '/' && slash != std::string::npos) target = current.substr(0, slash + 1) + target;
    current = target;
    followed = true;
  }
  return followed ? current : std::string();
#endif
}

std::string LinkTarget::OfDesktopLink(const std::string& path) {
  const std::string lower = Lower(path);
  const std::string extension = ".desktop";
  if (lower.size() < extension.size() ||
      lower.compare(lower.size() - extension.size(), extension.size(), extension) != 0)
    return std::string();
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxDesktopFileBytes)
    return std::string();
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::string();
  bool inEntry = false;
  bool isLink = false;
  std::string url;
  for (std::string line; std::getline(file, line);) {
    line = Trimmed(line);
    if (StartsWith(line, "[")) {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    if (!inEntry) continue;
    if (StartsWith(line, "Type=")) isLink = Trimmed(line.substr(5)) == "Link";
    if (StartsWith(line, "URL=")) url = Trimmed(line.substr(4));
  }
  if (!isLink || !StartsWith(Lower(url), "file://")) return std::string();
  std::string rest = url.substr(7);
  if (StartsWith(Lower(rest), "localhost/")) rest = rest.substr(9);
  if (!StartsWith(rest, "/")) return std::string();  // another host: not a local file
  return Unescaped(rest);
}

}  // namespace veradex
