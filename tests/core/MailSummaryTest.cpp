#include <gtest/gtest.h>

#include <glib.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Cp949.h"
#include "platform/NativePath.h"
#include "report/MailModule.h"
#include "report/MailSummary.h"
#include "report/ReportTexts.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

std::string Convert(const std::string& utf8, const char* charset) {
  gsize written = 0;
  gchar* bytes = g_convert(utf8.data(), static_cast<gssize>(utf8.size()), charset, "UTF-8", nullptr, &written, nullptr);
  std::string out = bytes != nullptr ? std::string(bytes, written) : std::string();
  g_free(bytes);
  return out;
}

std::string Base64(const std::string& bytes) {
  gchar* text = g_base64_encode(reinterpret_cast<const guchar*>(bytes.data()), bytes.size());
  std::string out(text);
  g_free(text);
  return out;
}

// An encoded word carrying bytes in the charset.
std::string EncodedBytes(const std::string& bytes, const char* charset) {
  return "=?" + std::string(charset) + "?B?" + Base64(bytes) + "?=";
}

std::string EncodedWord(const std::string& utf8, const char* charset) {
  return EncodedBytes(Convert(utf8, charset), charset);
}

// ISO-2022-KR written out (not every system's converter makes it): the
// designation, then EUC-KR pairs with the high bits cleared between SO and SI.
std::string Iso2022Kr(const std::string& utf8) {
  std::string out = "\x1b$)C";
  bool shifted = false;
  for (const char byte : Convert(utf8, "EUC-KR")) {
    const bool korean = (static_cast<unsigned char>(byte) & 0x80) != 0;
    if (korean != shifted) out += korean ? '\x0e' : '\x0f';
    shifted = korean;
    out += static_cast<char>(byte & 0x7F);
  }
  return shifted ? out + '\x0f' : out;
}

std::string Ko(const char* utf8) { return Cp949::FromUtf8(utf8); }

std::string Utf16(const std::string& utf8) {
  glong units = 0;
  gunichar2* text = g_utf8_to_utf16(utf8.c_str(), -1, nullptr, &units, nullptr);
  std::string out(reinterpret_cast<const char*>(text), static_cast<std::size_t>(units) * 2);
  g_free(text);
  return out + std::string(2, '\0');
}

// An Outlook message as a compound file: named streams only, as the format keeps its properties.
void WriteOutlookMessage(const std::string& path, const std::vector<std::pair<std::string, std::string>>& streams) {
  gsf_init();
  GsfOutput* output = gsf_output_stdio_new(path.c_str(), nullptr);
  ASSERT_NE(output, nullptr);
  GsfOutfile* file = gsf_outfile_msole_new(output);
  for (const auto& [name, bytes] : streams) {
    GsfOutput* child = gsf_outfile_new_child(file, name.c_str(), FALSE);
    gsf_output_write(child, bytes.size(), reinterpret_cast<const guint8*>(bytes.data()));
    gsf_output_close(child);
    g_object_unref(child);
  }
  gsf_output_close(GSF_OUTPUT(file));  // closes the file below it too
  g_object_unref(file);
  g_object_unref(output);
}

// The fixed-property stream with one PT_SYSTIME PR_CLIENT_SUBMIT_TIME.
std::string SubmitTimeStream(unsigned long long fileTime) {
  std::string stream(32, '\0');
  const unsigned char tag[] = {0x40, 0x00, 0x39, 0x00, 0x06, 0x00, 0x00, 0x00};
  stream.append(reinterpret_cast<const char*>(tag), sizeof tag);
  for (int i = 0; i < 8; ++i) stream += static_cast<char>((fileTime >> (8 * i)) & 0xFF);
  return stream;
}

struct Expected {
  MailSummary::Kind kind = MailSummary::Kind::kMail;
  std::string subject = {}, from = {}, date = {}, messageId = {}, hopHost = {}, hopAddress = {}, preview = {};
};

// The topmost hop with a "from" clause; a local hand-over above it names no sender.
const std::string kReceived =
    "Received: by mail.example.kr (Postfix, from userid 1000); Mon, 7 Dec 2026 10:00:01 +0900\r\n"
    "Received: from mx.spam.example (unknown\r\n [203.0.113.7]) by mail.example.kr with SMTP;\r\n"
    " Mon, 7 Dec 2026 10:00:00 +0900\r\n"
    "Received: from inner.spam.example ([198.51.100.1]) by mx.spam.example; Mon, 7 Dec 2026 09:59:00 +0900\r\n";

TEST(MailSummary, InternetMessagesOfEveryKoreanEncoding) {
  test::TempDir dir;
  const std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + std::string(64, '\x01');
  const std::string multipart =
      "From: =?UTF-8?Q?=EA=B4=91=EA=B3=A0?= <ad@spam.example>\r\nSubject: " + EncodedWord("할인 안내", "EUC-KR") +
      "\r\nDate: Mon, 7 Dec 2026 10:00:00 +0900\r\nMessage-ID: <m1@spam.example>\r\nMIME-Version: 1.0\r\n"
      "Content-Type: multipart/alternative; boundary=\"b1\"\r\n\r\n--b1\r\n"
      "Content-Type: text/plain; charset=euc-kr\r\n\r\n" +
      Convert("지금 바로 클릭하세요", "EUC-KR") +
      "\r\n--b1\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<p>html</p>\r\n--b1--\r\n";
  struct Case {
    const char* name;
    std::string bytes;
    Expected expected;
  } cases[] = {
      {"euc-kr and multipart",
       multipart,
       {MailSummary::Kind::kMail, Ko("할인 안내"), Ko("광고 <ad@spam.example>"), "2026-12-07 10:00 +0900",
        "m1@spam.example", "", "", Ko("지금 바로 클릭하세요")}},
      {"iso-2022-kr subject and body",
       "From: a@spam.example\r\nSubject: " + EncodedBytes(Iso2022Kr("대출 광고"), "ISO-2022-KR") +
           "\r\nContent-Type: text/plain; charset=ISO-2022-KR\r\n\r\n" + Iso2022Kr("저금리 대출") + "\r\n",
       {MailSummary::Kind::kMail, Ko("대출 광고"), "a@spam.example", "", "", "", "", Ko("저금리 대출")}},
      // Folded headers; the topmost Received: names the first hop; no Date, no Message-ID.
      {"utf-8, folded, received",
       kReceived + "Subject: " + EncodedWord("할인", "EUC-KR") + " " + EncodedWord("쿠폰", "EUC-KR") +
           "\r\n coupon\r\nFrom: spam@spam.example\r\n\r\nbody\r\n",
       {MailSummary::Kind::kMail, Ko("할인쿠폰 coupon"), "spam@spam.example", "", "", "mx.spam.example", "203.0.113.7",
        "body"}},
      {"raw cp949 header",
       "Subject: " + Ko("광고") + "\r\nFrom: x@spam.example\r\n\r\n.\r\n",
       {MailSummary::Kind::kMail, Ko("광고"), "x@spam.example", "", "", "", "", "."}},
      {"png renamed", png, {MailSummary::Kind::kNotMail}},
      {"plain text", "hello, this is not a mail\r\n", {MailSummary::Kind::kNotMail}},
      {"empty", "", {MailSummary::Kind::kNotMail}},
      {"cut inside a part",
       multipart.substr(0, multipart.find("<p>")),
       {MailSummary::Kind::kDamaged, Ko("할인 안내"), Ko("광고 <ad@spam.example>"), "2026-12-07 10:00 +0900",
        "m1@spam.example", "", "", Ko("지금 바로 클릭하세요")}},
      {"cut inside the headers",
       "Subject: cut\r\nFrom: a@spam.examp",
       {MailSummary::Kind::kDamaged, "cut", "a@spam.examp"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MailSummary summary = MailSummary::FromFile(dir.Write("m.eml", c.bytes));
    EXPECT_EQ(summary.kind, c.expected.kind);
    EXPECT_EQ(summary.size, static_cast<long long>(c.bytes.size()));
    EXPECT_EQ(summary.subject, c.expected.subject);
    EXPECT_EQ(summary.from, c.expected.from);
    EXPECT_EQ(summary.date, c.expected.date);
    EXPECT_EQ(summary.messageId, c.expected.messageId);
    EXPECT_EQ(summary.firstHopHost, c.expected.hopHost);
    EXPECT_EQ(summary.firstHopAddress, c.expected.hopAddress);
    EXPECT_EQ(summary.preview, c.expected.preview);
    // Read from memory, header block only: the same header fields.
    const MailSummary headers = MailSummary::OfHeaders(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(headers.IsMail(), summary.IsMail());
    EXPECT_EQ(headers.size, summary.size);
    EXPECT_EQ(std::vector<std::string>({headers.subject, headers.from, headers.date, headers.messageId,
                                        headers.firstHopHost, headers.firstHopAddress}),
              std::vector<std::string>({summary.subject, summary.from, summary.date, summary.messageId,
                                        summary.firstHopHost, summary.firstHopAddress}));
    // The summary for people names what the file is first.
    const std::string text = summary.Describe();
    if (c.expected.kind == MailSummary::Kind::kNotMail) {
      EXPECT_EQ(text.find(ReportTexts::Get(ReportTexts::kNotMail)), 0u);
    } else if (c.expected.kind == MailSummary::Kind::kDamaged) {
      EXPECT_EQ(text.find(ReportTexts::Get(ReportTexts::kDamagedMail)), 0u);
    } else {
      EXPECT_NE(text.find(c.expected.subject), std::string::npos);
    }
  }
}

// Without its mail module the program still runs: a mail is one that cannot
// be read, and the reason is written once. In a process of its own, for the
// module is loaded only once.
TEST(MailSummaryDeathTest, WithoutTheModuleAMailCannotBeRead) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  test::TempDir dir;
  const std::string bytes = "Subject: offer\r\nFrom: a@spam.example\r\n\r\nbody\r\n";
  const std::string mail = dir.Write("m.eml", bytes);
  EXPECT_EXIT(
      {
        MailModule::SetPath(dir.File("missing-module.so"));
        const MailSummary summary = MailSummary::FromFile(mail);
        const bool unreadable = summary.kind == MailSummary::Kind::kUnreadable &&
                                summary.size == static_cast<long long>(bytes.size()) &&
                                summary.Describe() == ReportTexts::Get(ReportTexts::kUnreadable);
        std::exit(unreadable ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "mail module .*missing-module.so cannot be loaded");
}

TEST(MailSummary, LargeMissingAndOutlookFiles) {
  test::TempDir dir;
  // A mail as large as the centre takes.
  std::string large = "Subject: big\r\nMessage-ID: <big@spam.example>\r\n\r\n";
  large += std::string(2 * 1024 * 1024 - large.size(), 'x');
  const MailSummary big = MailSummary::FromFile(dir.Write("big.eml", large));
  EXPECT_EQ(big.kind, MailSummary::Kind::kMail);
  EXPECT_EQ(big.size, 2 * 1024 * 1024);
  EXPECT_EQ(big.messageId, "big@spam.example");

  // Nothing to read, and nothing that could block the reader.
  std::vector<const char*> unreadable = {"none.eml", "folder.msg"};
  ASSERT_TRUE(std::filesystem::create_directory(NativePath::ToFs(dir.File("folder.msg"))));
#ifndef _WIN32
  ASSERT_EQ(::mkfifo(dir.File("pipe.eml").c_str(), 0600), 0);
  unreadable.push_back("pipe.eml");
#endif
  for (const char* name : unreadable) {
    const MailSummary missing = MailSummary::FromFile(dir.File(name));
    EXPECT_EQ(missing.kind, MailSummary::Kind::kUnreadable) << name;
    EXPECT_EQ(missing.Describe(), ReportTexts::Get(ReportTexts::kUnreadable));
  }

  // 2026-12-07 01:00 UTC as a FILETIME.
  const unsigned long long sent = (1796605200ULL + 11644473600ULL) * 10000000ULL;
  const std::string msg = dir.File("outlook.msg");
  WriteOutlookMessage(msg, {{"__substg1.0_0037001F", Utf16("당첨 안내")},
                            {"__substg1.0_0C1A001E", Ko("이벤트팀") + std::string(1, '\0')},
                            {"__substg1.0_0C1F001F", Utf16("event@spam.example")},
                            {"__substg1.0_007D001F", Utf16(kReceived + "Message-ID: <o1@spam.example>\r\n")},
                            {"__properties_version1.0", SubmitTimeStream(sent)}});
  const MailSummary outlook = MailSummary::FromFile(msg);
  EXPECT_EQ(outlook.kind, MailSummary::Kind::kMail);
  EXPECT_EQ(outlook.format, MailSummary::Format::kOutlookMessage);
  EXPECT_EQ(outlook.subject, Ko("당첨 안내"));
  EXPECT_EQ(outlook.from, Ko("이벤트팀 <event@spam.example>"));
  EXPECT_EQ(outlook.date, "2026-12-07 01:00 +0000");
  EXPECT_EQ(outlook.messageId, "o1@spam.example");
  EXPECT_EQ(outlook.firstHopHost, "mx.spam.example");
  EXPECT_EQ(outlook.firstHopAddress, "203.0.113.7");
  const std::string outlookBytes = test::ReadFileBytes(msg);
  const MailSummary inMemory = MailSummary::OfHeaders(outlookBytes.data(), outlookBytes.size());
  EXPECT_EQ(inMemory.subject, outlook.subject);
  EXPECT_EQ(inMemory.messageId, outlook.messageId);
  EXPECT_EQ(inMemory.format, MailSummary::Format::kOutlookMessage);

  // A compound file that is no message (a document, say), and one cut short.
  const std::string document = dir.File("document.msg");
  WriteOutlookMessage(document, {{"WordDocument", std::string(600, 'w')}});
  EXPECT_EQ(MailSummary::FromFile(document).kind, MailSummary::Kind::kNotMail);
  const std::string bytes = test::ReadFileBytes(msg);
  EXPECT_EQ(MailSummary::FromFile(dir.Write("cut.msg", bytes.substr(0, 700))).kind, MailSummary::Kind::kDamaged);
}

}  // namespace
}  // namespace veradex
