#include "ui/browser/BrowserProtocol.h"

#include "platform/BackslashEscapes.h"

namespace veradex {

namespace {

constexpr std::initializer_list<BackslashEscapes::Escape> kEscapes = {
    {'\\', '\\'}, {' ', 's'}, {'\n', 'n'}, {'\r', 'r'}};

}  // namespace

std::string BrowserProtocol::Escape(const std::string& text) { return BackslashEscapes::Apply(text, kEscapes); }

std::string BrowserProtocol::Unescape(const std::string& field) { return BackslashEscapes::Undo(field, kEscapes); }

std::string BrowserProtocol::Line(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) {
    if (!line.empty()) line += ' ';
    line += Escape(word);
  }
  return line + "\n";
}

std::vector<std::string> BrowserProtocol::Words(const std::string& line) {
  std::vector<std::string> words;
  std::size_t start = 0;
  while (start <= line.size()) {
    const std::size_t end = line.find(' ', start);
    words.push_back(Unescape(line.substr(start, end == std::string::npos ? std::string::npos : end - start)));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return words;
}

}  // namespace veradex
