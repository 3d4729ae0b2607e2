#include "centre/MailHeaders.h"

#include <algorithm>
#include <cctype>

namespace veradex::centre {

namespace {

constexpr std::size_t kLongest = 300;

// Valid UTF-8 with at least one character of three bytes or more. Two-byte
// sequences alone are just as likely code page 949 (홍 is C8 AB), which an
// old Korean mail writes raw, so they do not count.
bool LooksUtf8(const std::string& text) {
  const bool wide = std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0xE0; });
  return wide && !MailHeaders::ToUtf8(text, "UTF-8").empty();
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string Base64(const std::string& text) {
  static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  unsigned value = 0;
  int bits = 0;
  for (const char c : text) {
    const auto index = alphabet.find(c);
    if (index == std::string::npos) continue;
    value = (value << 6) | static_cast<unsigned>(index);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes += static_cast<char>((value >> bits) & 0xFF);
    }
  }
  return bytes;
}

std::string QuotedPrintable(const std::string& text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '_') {
      bytes += ' ';
    } else if (text[i] == '=' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      bytes += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      bytes += text[i];
    }
  }
  return bytes;
}

// Raw header bytes as UTF-8.
std::string Plain(const std::string& bytes) { return LooksUtf8(bytes) ? bytes : MailHeaders::Cp949ToUtf8(bytes); }

std::string DecodeWords(const std::string& value) {
  std::string text;
  std::size_t at = 0;
  bool lastWasWord = false;
  while (at < value.size()) {
    const std::size_t start = value.find("=?", at);
    std::size_t charsetEnd = std::string::npos, encodingEnd = std::string::npos, end = std::string::npos;
    if (start != std::string::npos) charsetEnd = value.find('?', start + 2);
    if (charsetEnd != std::string::npos) encodingEnd = value.find('?', charsetEnd + 1);
    if (encodingEnd != std::string::npos) end = value.find("?=", encodingEnd + 1);
    if (end == std::string::npos || encodingEnd != charsetEnd + 2) {
      text += Plain(value.substr(at));
      break;
    }
    const std::string between = value.substr(at, start - at);
    // Blanks between two encoded words vanish.
    if (!(lastWasWord && between.find_first_not_of(" \t") == std::string::npos)) text += Plain(between);
    std::string charset = value.substr(start + 2, charsetEnd - start - 2);
    charset = charset.substr(0, charset.find('*'));  // a language tag
    const char encoding = static_cast<char>(std::toupper(static_cast<unsigned char>(value[charsetEnd + 1])));
    const std::string payload = value.substr(encodingEnd + 1, end - encodingEnd - 1);
    const std::string bytes = encoding == 'B' ? Base64(payload) : QuotedPrintable(payload);
    const std::string decoded = MailHeaders::ToUtf8(bytes, Lower(charset) == "ks_c_5601-1987" ? "CP949" : charset);
    text += decoded.empty() && !bytes.empty() ? Plain(bytes) : decoded;
    lastWasWord = true;
    at = end + 2;
  }
  if (text.size() > kLongest) {
    std::size_t cut = kLongest;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text = text.substr(0, cut) + "...";
  }
  return text;
}

}  // namespace

std::string MailHeaders::Cp949ToUtf8(const std::string& bytes) {
  const std::string whole = ToUtf8(bytes, "CP949");
  if (!whole.empty() || bytes.empty()) return whole;
  std::string text;  // character by character, so one bad byte costs one '?'
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      text += bytes[i];
      continue;
    }
    const std::string pair = i + 1 < bytes.size() ? ToUtf8(bytes.substr(i, 2), "CP949") : std::string();
    if (pair.empty()) {
      text += '?';
    } else {
      text += pair;
      ++i;
    }
  }
  return text;
}

MailHeaders MailHeaders::Read(const std::string& message) {
  MailHeaders headers;
  std::size_t end = message.find("\r\n\r\n");
  const std::size_t bareEnd = message.find("\n\n");
  if (end == std::string::npos || (bareEnd != std::string::npos && bareEnd < end)) end = bareEnd;
  const std::string head = message.substr(0, std::min(end, std::size_t{64 * 1024}));
  // Unfolded lines: a line that starts with a blank continues the one before.
  std::string line;
  const auto take = [&] {
    const std::string lower = Lower(line.substr(0, 8));
    if (headers.subject_.empty() && lower.rfind("subject:", 0) == 0) headers.subject_ = DecodeWords(line.substr(8));
    if (headers.from_.empty() && lower.rfind("from:", 0) == 0) headers.from_ = DecodeWords(line.substr(5));
  };
  std::size_t at = 0;
  while (at < head.size()) {
    std::size_t next = head.find('\n', at);
    if (next == std::string::npos) next = head.size();
    std::string piece = head.substr(at, next - at);
    if (!piece.empty() && piece.back() == '\r') piece.pop_back();
    if (!piece.empty() && (piece[0] == ' ' || piece[0] == '\t')) {
      line += piece;
    } else {
      take();
      line = piece;
    }
    at = next + 1;
  }
  take();
  const auto trim = [](std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    text = first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t") - first + 1);
  };
  trim(headers.subject_);
  trim(headers.from_);
  return headers;
}

}  // namespace veradex::centre
