#pragma once

#include <initializer_list>
#include <string>

namespace veradex {

// Backslash escapes after a table: each listed character is written as a
// backslash and its letter ("\n" for a line feed, "\\" for the backslash
// itself), everything else as it is. Header only: the browser process,
// which links none of the program's libraries, uses it too.
class BackslashEscapes {
 public:
  struct Escape {
    char plain;
    char letter;
  };

  static std::string Apply(const std::string& text, std::initializer_list<Escape> table) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
      out += c;
      for (const Escape& escape : table) {
        if (escape.plain != c) continue;
        out.back() = '\\';
        out += escape.letter;
        break;
      }
    }
    return out;
  }

  // Undoes Apply; a backslash before a letter not in the table stands for
  // that letter, and a lone backslash at the end for itself.
  static std::string Undo(const std::string& text, std::initializer_list<Escape> table) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '\\' || i + 1 == text.size()) {
        out += text[i];
        continue;
      }
      const char letter = text[++i];
      char plain = letter;
      for (const Escape& escape : table) {
        if (escape.letter == letter) plain = escape.plain;
      }
      out += plain;
    }
    return out;
  }
};

}  // namespace veradex
