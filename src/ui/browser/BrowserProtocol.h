#pragma once

#include <string>
#include <vector>

namespace veradex {

// The lines the report window and its browser process exchange over the
// process's standard input and output: a word, then fields, separated by
// single spaces; in a field a backslash, a space, a line feed and a carriage
// return are written as \\, \s, \n and \r. Texts are UTF-8.
//
// To the browser:  load <url> | script <n> <javascript> | trust <host> |
//                  refuse | quit
// From the browser: navigated <url> | loaded <url> | failed <url> |
//                  title <text> | uri <url> | busy <0|1> |
//                  result <n> <0|1> <text> | tls <url> <pem>...
// A "tls" line (an unknown authority) waits for "trust" or "refuse".
class BrowserProtocol {
 public:
  static std::string Line(const std::vector<std::string>& words);
  // The words of one line (without its line feed).
  static std::vector<std::string> Words(const std::string& line);
  static std::string Escape(const std::string& text);
  static std::string Unescape(const std::string& field);
};

}  // namespace veradex
