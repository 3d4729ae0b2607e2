#include "report/MailReader.h"

#include <gmime/gmime.h>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>

#include <wx/defs.h>
#include <wx/string.h>

#include "platform/Cp949.h"
#include "report/MailBytes.h"

namespace veradex {

namespace {

constexpr std::size_t kReadLimit = MailBytes::kReadLimit;
constexpr std::size_t kPreviewCharacters = 120;

std::once_flag librariesReady;
// The libraries' charset tables and caches are shared; one summary at a time.
std::mutex parsing;

void InitLibraries() {
  std::call_once(librariesReady, [] {
    g_mime_init();
    gsf_init();
  });
}

// UTF-8 from the libraries (or raw bytes that are not UTF-8: then code page
// 949, the Korean mail's usual undeclared charset) to one line of code page 949.
std::string OneLine(const std::string& text) {
  wxString wide;
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr))
    wide = wxString::FromUTF8(text.data(), text.size());
  else
    wide = Cp949::ToWx(text);
  wxString line;
  bool blank = false;
  for (wxUniChar c : wide) {
    const bool space = c.GetValue() < 0x20 || c == ' ' || c.GetValue() == 0x7F;
    if (space) {
      blank = !line.empty();
      continue;
    }
    if (blank) line += ' ';
    blank = false;
    line += c;
  }
  return Cp949::FromWxLossy(line);
}

std::string OneLine(const char* utf8) { return utf8 == nullptr ? std::string() : OneLine(std::string(utf8)); }

std::string Shortened(const std::string& cp949Line, std::size_t characters) {
  const wxString wide = Cp949::ToWx(cp949Line);
  if (wide.length() <= characters) return cp949Line;
  return Cp949::FromWxLossy(wide.Left(characters) + wxString::FromUTF8("…"));
}

bool IsIso2022Kr(const char* charset) { return charset != nullptr && g_ascii_strcasecmp(charset, "ISO-2022-KR") == 0; }

// ISO-2022-KR (the 7-bit form of Korean mail) as EUC-KR: after SO the byte
// pairs are KS X 1001 with their high bits cleared, SI or a line's end returns
// to ASCII. Read here rather than by the system's converter, which on Windows
// may not know it.
std::string Iso2022KrAsEucKr(const std::string& bytes) {
  static const std::string kDesignation = "\x1b$)C";
  std::string out;
  bool shifted = false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == 0x1B && bytes.compare(i, kDesignation.size(), kDesignation) == 0) {
      i += kDesignation.size() - 1;
    } else if (c == 0x0E || c == 0x0F) {
      shifted = c == 0x0E;
    } else {
      if (c == '\r' || c == '\n') shifted = false;
      out += static_cast<char>(shifted && c > 0x20 && c < 0x7F ? c | 0x80 : c);
    }
  }
  return out;
}

// Bytes in a charset as UTF-8; bytes that cannot be converted stay as they
// are (OneLine then reads them as code page 949).
std::string ToUtf8(const std::string& bytes, std::string charset) {
  const std::size_t language = charset.find('*');  // RFC 2231 language suffix
  if (language != std::string::npos) charset.erase(language);
  if (IsIso2022Kr(charset.c_str())) return ToUtf8(Iso2022KrAsEucKr(bytes), "EUC-KR");
  gsize written = 0;
  gchar* converted = g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8",
                               g_mime_charset_iconv_name(charset.c_str()), nullptr, &written, nullptr);
  if (converted == nullptr) return bytes;
  std::string text(converted, written);
  g_free(converted);
  return text;
}

// One encoded word "=?charset?B|Q?text?=" decoded to UTF-8; false when the
// token is not one.
bool DecodeWord(const std::string& token, std::string* utf8) {
  if (token.size() < 8 || token.compare(0, 2, "=?") != 0 || token.compare(token.size() - 2, 2, "?=") != 0) return false;
  const std::size_t q1 = token.find('?', 2);
  if (q1 == std::string::npos || q1 + 3 >= token.size() || token[q1 + 2] != '?') return false;
  const char encoding = static_cast<char>(g_ascii_toupper(token[q1 + 1]));
  const std::string text = token.substr(q1 + 3, token.size() - 2 - (q1 + 3));
  std::string bytes;
  if (encoding == 'B') {
    gsize length = 0;
    guchar* decoded = g_base64_decode(text.c_str(), &length);
    bytes.assign(reinterpret_cast<const char*>(decoded), length);
    g_free(decoded);
  } else if (encoding == 'Q') {
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '_') {
        bytes += ' ';
      } else if (text[i] == '=' && i + 2 < text.size() && g_ascii_isxdigit(text[i + 1]) &&
                 g_ascii_isxdigit(text[i + 2])) {
        bytes += static_cast<char>(g_ascii_xdigit_value(text[i + 1]) * 16 + g_ascii_xdigit_value(text[i + 2]));
        i += 2;
      } else {
        bytes += text[i];
      }
    }
  } else {
    return false;
  }
  *utf8 = ToUtf8(bytes, token.substr(2, q1 - 2));
  return true;
}

// A raw header value as UTF-8: unfolded, every encoded word decoded on its
// own (the white space between two of them dropped), raw 8-bit words taken
// as UTF-8 or else code page 949. The library's own decoder merges adjacent
// base64 words before decoding and loses every word after a padded one,
// which Korean mailers write all the time.
std::string DecodeHeader(const char* raw) {
  if (raw == nullptr) return std::string();
  std::string value;
  for (const char* c = raw; *c != '\0'; ++c)
    if (*c != '\r' && *c != '\n') value += *c;
  std::string out;
  bool lastWasWord = false;
  std::size_t i = 0;
  while (i < value.size()) {
    std::size_t end = i;
    while (end < value.size() && (value[end] == ' ' || value[end] == '\t')) ++end;
    const std::string blank = value.substr(i, end - i);
    i = end;
    while (end < value.size() && value[end] != ' ' && value[end] != '\t') ++end;
    const std::string token = value.substr(i, end - i);
    i = end;
    std::string decoded;
    if (DecodeWord(token, &decoded)) {
      if (!lastWasWord) out += blank;
      out += decoded;
      lastWasWord = true;
    } else {
      out += blank;
      out += g_utf8_validate(token.data(), static_cast<gssize>(token.size()), nullptr)
                 ? token
                 : Cp949::ToWx(token).utf8_string();
      lastWasWord = token.empty() && lastWasWord;
    }
  }
  return out;
}

// The header block starts like a header ("Name:" of printable characters) or
// like a mailbox's "From " line, and holds no NUL byte.
bool LooksLikeHeaders(std::string_view bytes) {
  if (bytes.compare(0, 5, "From ") == 0) return true;
  std::size_t i = 0;
  while (i < bytes.size() && bytes[i] >= 0x21 && bytes[i] <= 0x7E && bytes[i] != ':') ++i;
  if (i == 0 || i >= bytes.size() || bytes[i] != ':') return false;
  return bytes.find('\0') >= std::min(MailBytes::HeaderBlockLength(bytes), bytes.size());
}

// "from host (name [1.2.3.4]) by ...": the host after "from" and the address
// in brackets. False for a header without a "from" clause (a local hand-over).
bool ParseReceived(const std::string& value, MailSummary* summary) {
  std::string lower = value;
  for (char& c : lower) c = g_ascii_tolower(c);
  // The clause comes first when there is one ("... from userid 1000" in a comment is none).
  std::size_t from = lower.find_first_not_of(" \t");
  if (from == std::string::npos || lower.compare(from, 5, "from ") != 0) return false;
  from += 5;
  while (from < value.size() && (value[from] == ' ' || value[from] == '\t')) ++from;
  std::size_t end = from;
  while (end < value.size() && value[end] != ' ' && value[end] != '\t' && value[end] != ';' && value[end] != '(') ++end;
  summary->firstHopHost = OneLine(value.substr(from, end - from));
  const std::size_t by = lower.find(" by ", end);
  const std::size_t open = value.find('[', end);
  if (open != std::string::npos && (by == std::string::npos || open < by)) {
    const std::size_t close = value.find(']', open);
    if (close != std::string::npos) summary->firstHopAddress = OneLine(value.substr(open + 1, close - open - 1));
  } else if (summary->firstHopHost.size() > 2 && summary->firstHopHost.front() == '[' &&
             summary->firstHopHost.back() == ']') {
    summary->firstHopAddress = summary->firstHopHost.substr(1, summary->firstHopHost.size() - 2);
  }
  return true;
}

std::string WithoutTags(const std::string& html) {
  std::string text;
  bool inTag = false;
  for (char c : html) {
    if (c == '<') inTag = true;
    if (!inTag) text += c;
    if (c == '>') {
      inTag = false;
      text += ' ';
    }
  }
  return text;
}

// At most limit bytes (default: enough for the preview) of UTF-8 text, cut
// between characters.
std::string Prefix(const char* utf8, std::size_t limit) {
  if (limit == 0) limit = kPreviewCharacters * 8;
  const std::size_t length = std::strlen(utf8);
  if (length <= limit) return std::string(utf8, length);
  const char* end = g_utf8_find_prev_char(utf8, utf8 + limit + 1);
  return std::string(utf8, end != nullptr ? static_cast<std::size_t>(end - utf8) : 0);
}

// The first text part of the given subtype that is not an attachment, depth first.
GMimeObject* FindTextPart(GMimeObject* part, const char* subtype) {
  if (part == nullptr) return nullptr;
  if (GMIME_IS_MULTIPART(part)) {
    GMimeMultipart* multipart = GMIME_MULTIPART(part);
    const int count = g_mime_multipart_get_count(multipart);
    for (int i = 0; i < count; ++i)
      if (GMimeObject* found = FindTextPart(g_mime_multipart_get_part(multipart, i), subtype)) return found;
    return nullptr;
  }
  if (!GMIME_IS_TEXT_PART(part) || g_mime_part_is_attachment(GMIME_PART(part))) return nullptr;
  GMimeContentType* type = g_mime_object_get_content_type(part);
  return type != nullptr && g_mime_content_type_is_type(type, "text", subtype) ? part : nullptr;
}

// A part's content with its transfer encoding undone, in its own charset.
std::string DecodedContent(GMimePart* part) {
  GMimeDataWrapper* content = g_mime_part_get_content(part);
  if (content == nullptr) return std::string();
  GMimeStream* stream = g_mime_stream_mem_new();
  g_mime_data_wrapper_write_to_stream(content, stream);
  const GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream));
  std::string out(reinterpret_cast<const char*>(bytes->data), bytes->len);
  g_object_unref(stream);
  return out;
}

void ReadPreview(GMimeMessage* message, MailSummary* summary) {
  GMimeObject* root = g_mime_message_get_mime_part(message);
  GMimeObject* body = FindTextPart(root, "plain");
  if (body == nullptr) body = FindTextPart(root, "html");
  if (body == nullptr) return;
  std::string text;
  const char* charset = g_mime_object_get_content_type_parameter(body, "charset");
  if (IsIso2022Kr(charset)) {
    text = ToUtf8(DecodedContent(GMIME_PART(body)), charset);
  } else {
    char* converted = g_mime_text_part_get_text(GMIME_TEXT_PART(body));
    if (converted == nullptr) return;
    text = converted;
    g_free(converted);
  }
  // Only the start is shown; the rest of a long body is never looked at.
  const bool html = g_mime_content_type_is_type(g_mime_object_get_content_type(body), "text", "html");
  std::string content = Prefix(text.c_str(), html ? 64 * 1024 : 0);
  if (html) content = Prefix(WithoutTags(content).c_str(), 0);
  summary->preview = Shortened(OneLine(content), kPreviewCharacters);
}

struct ParseWarnings {
  bool damaged = false;
};

void OnParserWarning(gint64, GMimeParserWarning warning, const gchar*, gpointer data) {
  switch (warning) {
    case GMIME_WARN_TRUNCATED_MESSAGE:
    case GMIME_WARN_MALFORMED_MESSAGE:
    case GMIME_WARN_MALFORMED_MULTIPART:
    case GMIME_WARN_PART_WITHOUT_CONTENT:
    case GMIME_CRIT_MULTIPART_WITHOUT_BOUNDARY:
    case GMIME_CRIT_NESTING_OVERFLOW:
    case GMIME_CRIT_PART_WITHOUT_HEADERS_OR_CONTENT:
      static_cast<ParseWarnings*>(data)->damaged = true;
      break;
    default:
      break;
  }
}

// Parses an Internet message into the summary's header fields. False when
// the bytes hold none of the headers every mail has.
bool ReadInternetMessage(std::string_view bytes, MailSummary* summary, bool* damaged) {
  static const char* fallback[] = {"UTF-8", "CP949", nullptr};
  GMimeParserOptions* options = g_mime_parser_options_new();
  g_mime_parser_options_set_fallback_charsets(options, fallback);
  ParseWarnings warnings;
  g_mime_parser_options_set_warning_callback(options, OnParserWarning, &warnings);
  GMimeStream* stream = g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size());
  GMimeParser* parser = g_mime_parser_new_with_stream(stream);
  g_mime_parser_set_format(parser, bytes.compare(0, 5, "From ") == 0 ? GMIME_FORMAT_MBOX : GMIME_FORMAT_MESSAGE);
  GMimeMessage* message = g_mime_parser_construct_message(parser, options);
  g_object_unref(parser);
  g_object_unref(stream);

  bool found = false;
  if (message != nullptr) {
    GMimeHeaderList* headers = g_mime_object_get_header_list(GMIME_OBJECT(message));
    static const char* const kMailHeaders[] = {"From",     "Date", "Message-ID", "Subject",    "Received",
                                               "Reply-To", "To",   "Sender",     "Return-Path"};
    for (const char* name : kMailHeaders) found = found || g_mime_header_list_contains(headers, name);
    if (found) {
      const auto raw = [headers](const char* name) -> const char* {
        GMimeHeader* header = g_mime_header_list_get_header(headers, name);
        return header != nullptr ? g_mime_header_get_raw_value(header) : nullptr;
      };
      summary->subject = OneLine(DecodeHeader(raw("Subject")));
      std::string from = DecodeHeader(raw("From"));
      from.erase(std::remove(from.begin(), from.end(), '"'), from.end());
      summary->from = OneLine(from);
      if (GDateTime* date = g_mime_message_get_date(message)) {
        char* text = g_date_time_format(date, "%Y-%m-%d %H:%M %z");
        summary->date = OneLine(text);
        g_free(text);
      }
      summary->messageId = OneLine(g_mime_message_get_message_id(message));
      const int count = g_mime_header_list_get_count(headers);
      for (int i = 0; i < count; ++i) {
        GMimeHeader* header = g_mime_header_list_get_header_at(headers, i);
        if (g_ascii_strcasecmp(g_mime_header_get_name(header), "Received") != 0) continue;
        const char* value = g_mime_header_get_value(header);
        if (value != nullptr && ParseReceived(value, summary)) break;
      }
      ReadPreview(message, summary);
    }
    g_object_unref(message);
  }
  g_mime_parser_options_free(options);
  *damaged = warnings.damaged;
  return found;
}

// One stream of the compound file; false when it is not there.
bool ReadStream(GsfInfile* file, const std::string& name, std::string* bytes) {
  GsfInput* child = gsf_infile_child_by_name(file, name.c_str());
  if (child == nullptr) return false;
  const gsf_off_t size = gsf_input_size(child);
  bool ok = size >= 0 && static_cast<std::size_t>(size) <= kReadLimit;
  if (ok) {
    bytes->resize(static_cast<std::size_t>(size));
    ok = size == 0 ||
         gsf_input_read(child, static_cast<std::size_t>(size), reinterpret_cast<guint8*>(bytes->data())) != nullptr;
  }
  g_object_unref(child);
  return ok;
}

// A string property of the message: "__substg1.0_IIII001F" (UTF-16LE) or
// "__substg1.0_IIII001E" (8-bit, the message's code page: 949 here), as UTF-8.
std::string StringProperty(GsfInfile* file, unsigned id) {
  char name[32];
  std::string bytes;
  std::snprintf(name, sizeof name, "__substg1.0_%04X001F", id);
  if (ReadStream(file, name, &bytes)) {
    const auto* units = reinterpret_cast<const gunichar2*>(bytes.data());
    glong length = static_cast<glong>(bytes.size() / 2);
    std::basic_string<gunichar2> copy(units, units + length);
    while (!copy.empty() && copy.back() == 0) copy.pop_back();
    gchar* utf8 = g_utf16_to_utf8(copy.data(), static_cast<glong>(copy.size()), nullptr, nullptr, nullptr);
    std::string text = utf8 != nullptr ? utf8 : "";
    g_free(utf8);
    return text;
  }
  std::snprintf(name, sizeof name, "__substg1.0_%04X001E", id);
  if (ReadStream(file, name, &bytes)) {
    while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    if (g_utf8_validate(bytes.data(), static_cast<gssize>(bytes.size()), nullptr)) return bytes;
    return Cp949::ToWx(bytes).utf8_string();
  }
  return std::string();
}

// The client's submit time (PR_CLIENT_SUBMIT_TIME, a FILETIME in the fixed
// property stream), as UTC.
std::string SubmitTime(GsfInfile* file) {
  std::string stream;
  if (!ReadStream(file, "__properties_version1.0", &stream)) return std::string();
  const unsigned kTag = 0x00390040;  // id 0x0039, type PT_SYSTIME
  for (std::size_t offset = 32; offset + 16 <= stream.size(); offset += 16) {
    auto byteAt = [&](std::size_t i) { return static_cast<std::uint64_t>(static_cast<unsigned char>(stream[i])); };
    const std::uint64_t tag =
        byteAt(offset) | byteAt(offset + 1) << 8 | byteAt(offset + 2) << 16 | byteAt(offset + 3) << 24;
    if (tag != kTag) continue;
    std::uint64_t value = 0;
    for (int b = 7; b >= 0; --b) value = value << 8 | byteAt(offset + 8 + static_cast<std::size_t>(b));
    const long long seconds = static_cast<long long>(value / 10000000ULL) - 11644473600LL;
    GDateTime* utc = g_date_time_new_from_unix_utc(seconds);  // null outside years 1 to 9999
    if (utc == nullptr) return std::string();
    gchar* text = g_date_time_format(utc, "%Y-%m-%d %H:%M +0000");
    g_date_time_unref(utc);
    const std::string out = text != nullptr ? text : "";
    g_free(text);
    return out;
  }
  return std::string();
}

void ReadOutlookMessage(std::string_view bytes, MailSummary* summary) {
  GsfInput* input =
      gsf_input_memory_new(reinterpret_cast<const guint8*>(bytes.data()), static_cast<gsf_off_t>(bytes.size()), FALSE);
  GError* error = nullptr;
  GsfInfile* file = gsf_infile_msole_new(input, &error);
  g_object_unref(input);
  if (file == nullptr) {
    if (error != nullptr) g_error_free(error);
    summary->kind = MailSummary::Kind::kDamaged;  // it says it is a compound file but is not a sound one
    return;
  }
  // The transport headers are the mail's own header block.
  const std::string headers = StringProperty(file, 0x007D);
  bool damaged = false;
  bool found = false;
  if (!headers.empty()) found = ReadInternetMessage(headers + "\r\n\r\n", summary, &damaged);
  const std::string subject = StringProperty(file, 0x0037);
  const std::string senderName = StringProperty(file, 0x0C1A);
  std::string senderAddress = StringProperty(file, 0x0C1F);
  if (senderAddress.empty()) senderAddress = StringProperty(file, 0x0065);
  const std::string messageId = StringProperty(file, 0x1035);
  const std::string sent = SubmitTime(file);
  g_object_unref(file);

  if (!subject.empty()) summary->subject = OneLine(subject);
  if (!senderName.empty() || !senderAddress.empty()) {
    std::string from = senderName;
    if (!senderAddress.empty()) from += (from.empty() ? "<" : " <") + senderAddress + ">";
    summary->from = OneLine(from);
  }
  if (summary->messageId.empty() && !messageId.empty()) {
    std::string id = messageId;
    if (id.size() >= 2 && id.front() == '<' && id.back() == '>') id = id.substr(1, id.size() - 2);
    summary->messageId = OneLine(id);
  }
  if (summary->date.empty()) summary->date = sent;
  found = found || !subject.empty() || !senderName.empty() || !senderAddress.empty() || !sent.empty();
  summary->kind =
      !found ? MailSummary::Kind::kNotMail : (damaged ? MailSummary::Kind::kDamaged : MailSummary::Kind::kMail);
}

}  // namespace

MailSummary MailReader::Read(std::string_view bytes, long long size, bool whole) {
  MailSummary summary;
  summary.size = size;
  InitLibraries();
  std::lock_guard<std::mutex> lock(parsing);
  if (MailBytes::IsOutlookMessage(bytes)) {
    summary.format = MailSummary::Format::kOutlookMessage;
    ReadOutlookMessage(bytes, &summary);
    return summary;
  }
  if (!LooksLikeHeaders(bytes)) {
    summary.kind = MailSummary::Kind::kNotMail;
    return summary;
  }
  bool damaged = false;
  if (!ReadInternetMessage(bytes, &summary, &damaged)) {
    return MailSummary{MailSummary::Kind::kNotMail, MailSummary::Format::kUnknown, {}, {}, {}, {}, {}, {}, {}, size};
  }
  summary.format = MailSummary::Format::kInternetMessage;
  // A mail cut inside its header block, or one read only in part.
  if (MailBytes::HeaderBlockLength(bytes) == std::string_view::npos ||
      (whole && bytes.size() < static_cast<std::size_t>(size))) {
    damaged = true;
  }
  summary.kind = damaged ? MailSummary::Kind::kDamaged : MailSummary::Kind::kMail;
  return summary;
}

}  // namespace veradex

extern "C" WXEXPORT void VeradexReadMail(const char* bytes, std::size_t length, long long size, bool whole,
                                         veradex::MailSummary* summary) {
  *summary = veradex::MailReader::Read(std::string_view(bytes, length), size, whole);
}
