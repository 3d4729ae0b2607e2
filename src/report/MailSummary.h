#pragma once

#include <cstddef>
#include <string>

namespace veradex {

struct FileStamp;

// What a saved mail is, read before it is reported: the few header fields a
// person recognises a mail by. Reads an Internet message (.eml, RFC 5322 and
// MIME) or an Outlook compound file (.msg); which one is decided by the
// file's first bytes, not by its name. Texts are code page 949; encoded words,
// raw 8-bit headers and text bodies in EUC-KR/CP949, UTF-8 or ISO-2022-KR are
// decoded. Never throws: a file that is not a mail, a damaged one or one that
// cannot be read gives a summary whose kind says so.
struct MailSummary {
  enum class Kind {
    kMail,        // a readable mail
    kDamaged,     // a mail, but cut short or malformed; the fields found are kept
    kNotMail,     // the file is something else (a picture, plain text, ...)
    kUnreadable,  // the file cannot be opened or read
  };
  enum class Format { kUnknown, kInternetMessage, kOutlookMessage };

  Kind kind = Kind::kUnreadable;
  Format format = Format::kUnknown;
  std::string subject;
  std::string from;
  std::string date;       // "YYYY-MM-DD HH:MM" in the sender's time zone, then the zone ("+0900")
  std::string messageId;  // without the angle brackets
  // The topmost Received: header (added by the receiving side closest to the
  // reader, the one hop not written by the sender): the host it names after
  // "from" and the address in square brackets.
  std::string firstHopHost;
  std::string firstHopAddress;
  std::string preview;  // the first characters of the text body, on one line
  long long size = 0;   // bytes of the file

  // Reads the file at a path as the file system spells it.
  static MailSummary FromFile(const std::string& nativePath);
  // The same, handing back the bytes it read (all of the file when `size`
  // is at most MailBytes::kReadLimit) and the stamp of the file they came
  // from, an unknown one when the file changed while it was read or could
  // not be read.
  static MailSummary FromFile(const std::string& nativePath, std::string* bytes, FileStamp* stamp);
  // The same fields of a mail already in memory (`length` bytes), for a
  // record of what was sent: an Internet message is read from its header
  // block only, so it has no preview and costs nothing for its body.
  static MailSummary OfHeaders(const char* bytes, std::size_t length);

  bool IsMail() const { return kind == Kind::kMail || kind == Kind::kDamaged; }
  // The first hop for people: the host, then the address in brackets when
  // it says more than the host ("mx.example.com [192.0.2.1]").
  std::string FirstHop() const;
  // The summary for people, one "label: value" per line; a file that is not a
  // mail or a damaged one says so on its first line.
  std::string Describe() const;
};

}  // namespace veradex
