#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/Cp949.h"
#include "platform/FileStamp.h"
#include "platform/NativePath.h"
#include "report/AttachedMail.h"
#include "report/ReportHistory.h"
#include "report/ReportSender.h"
#include "report/ReportTexts.h"
#include "support/RecordingMessageSink.h"
#include "support/RecordingReportObserver.h"
#include "support/ReportCentreHarness.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

using test::TestReportCentre;
using Answer = TestReportCentre::Answer;

std::string Ko(const char* utf8) { return Cp949::FromUtf8(utf8); }

// One value of a statement run on the file directly.
std::string Query(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  std::string value;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0) != nullptr)
      value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
  return value;
}

void Execute(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

HistoryEntry Entry(std::time_t time, const std::string& messageId, ReportVerdict verdict) {
  HistoryEntry entry;
  entry.time = time;
  entry.localPath = "/home/\xEC\x82\xAC\xEC\x9A\xA9\xEC\x9E\x90/spam.eml";  // a UTF-8 folder name
  entry.sentName = "SPM_1207_05_1A3.eml";
  entry.size = 1234;
  entry.sha256 = std::string(64, 'a');
  entry.messageId = messageId;
  entry.subject = Ko("대출 광고");
  entry.from = "=cmd|' /C calc'!A0 <x@spam.example>";
  entry.verdict = verdict;
  entry.answer = "ok";
  entry.run = 1;
  return entry;
}

TEST(ReportHistory, KeepsEveryFieldAndFindsTheSameMailAgain) {
  test::TempDir dir;
  ReportHistory history(dir.File("data/veradex"));
  ASSERT_TRUE(history.IsWritable());
  struct stat info;
  ASSERT_EQ(::stat(history.FilePath().c_str(), &info), 0);
#ifndef _WIN32  // Windows keeps it private by the folder it is in
  EXPECT_EQ(info.st_mode & 0777, 0600u);
#endif
  EXPECT_EQ(Query(history.FilePath(), "PRAGMA journal_mode;"), "wal");
  EXPECT_EQ(Query(history.FilePath(), "SELECT version FROM schema_version;"), "2");

  HistoryEntry accepted = Entry(1000, "m1@spam.example", ReportVerdict::kAccepted);
  // An answer over the limit whose 1024th byte starts a double-byte character.
  accepted.answer = std::string(1023, 'a') + Ko("접수") + "tail";
  HistoryEntry refused = Entry(2000, "m2@spam.example", ReportVerdict::kRefused);
  HistoryEntry noId = Entry(3000, "", ReportVerdict::kAccepted);
  noId.sha256 = std::string(64, 'b');
  for (const HistoryEntry& entry : {accepted, refused, noId}) ASSERT_TRUE(history.Add(entry));

  const std::vector<HistoryEntry> entries = history.Entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].time, 3000);  // newest first
  EXPECT_EQ(entries[2].time, 1000);
  const HistoryEntry& back = entries[2];
  EXPECT_EQ(back.localPath, accepted.localPath);
  EXPECT_EQ(back.sentName, accepted.sentName);
  EXPECT_EQ(back.size, accepted.size);
  EXPECT_EQ(back.sha256, accepted.sha256);
  EXPECT_EQ(back.messageId, accepted.messageId);
  EXPECT_EQ(back.subject, accepted.subject);
  EXPECT_EQ(back.from, accepted.from);
  EXPECT_EQ(back.verdict, ReportVerdict::kAccepted);
  EXPECT_EQ(back.answer, std::string(1023, 'a'));
  EXPECT_EQ(entries[1].verdict, ReportVerdict::kRefused);

  // The same mail: by Message-ID, or by content when it has none; refused reports do not count.
  EXPECT_EQ(history.LastAccepted("m1@spam.example", "x"), 1000);
  EXPECT_EQ(history.LastAccepted("m2@spam.example", "x"), 0);
  EXPECT_EQ(history.LastAccepted("", std::string(64, 'b')), 3000);
  EXPECT_EQ(history.LastAccepted("other@spam.example", std::string(64, 'b')), 0);
  EXPECT_EQ(history.NextRun(), 2);
  EXPECT_EQ(history.LastId(), 3);

  // Spreadsheet export: UTF-8 with a byte-order mark, and a sender that looks
  // like a formula stays text.
  const std::string csv = ReportHistory::CsvText(entries);
  EXPECT_EQ(csv.rfind("\xEF\xBB\xBF", 0), 0u);
  EXPECT_NE(csv.find("\xEB\x8C\x80\xEC\xB6\x9C \xEA\xB4\x91\xEA\xB3\xA0"), std::string::npos);  // 대출 광고
  EXPECT_NE(csv.find(",'=cmd|' /C calc'!A0 <x@spam.example>,"), std::string::npos);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4);
}

TEST(ReportHistory, OlderFilesAreMigratedNewerOnesLeftAlone) {
  test::TempDir dir;
  const std::string path = dir.File("history.sqlite");
  // The first schema, with one report in it.
  Execute(path,
          "CREATE TABLE schema_version (version INTEGER NOT NULL); INSERT INTO schema_version VALUES (1);"
          "CREATE TABLE reports (id INTEGER PRIMARY KEY, time INTEGER NOT NULL, local_path BLOB NOT NULL,"
          " sent_name TEXT NOT NULL, size INTEGER NOT NULL, sha256 TEXT NOT NULL, message_id TEXT NOT NULL,"
          " subject TEXT NOT NULL, sender TEXT NOT NULL, verdict INTEGER NOT NULL, answer TEXT NOT NULL,"
          " run INTEGER NOT NULL);"
          "INSERT INTO reports VALUES (1, 500, '/tmp/a.eml', 'SPM_0101_01_10.eml', 10, 'h', 'old@spam.example',"
          " 's', 'f', 1, 'ok', 1);");
  {
    ReportHistory history(dir.Path());
    EXPECT_TRUE(history.IsWritable());
    EXPECT_EQ(history.LastAccepted("old@spam.example", ""), 500);
    EXPECT_TRUE(history.Add(Entry(600, "new@spam.example", ReportVerdict::kAccepted)));
  }
  EXPECT_EQ(Query(path, "SELECT version FROM schema_version;"), "2");
  EXPECT_EQ(Query(path, "SELECT count(*) FROM sqlite_master WHERE type = 'index';"), "3");
  EXPECT_EQ(Query(path, "SELECT count(*) FROM reports;"), "2");

  Execute(path, "UPDATE schema_version SET version = 99;");
  ReportHistory newer(dir.Path());
  EXPECT_FALSE(newer.IsWritable());
  EXPECT_EQ(newer.Entries().size(), 2u);
  EXPECT_EQ(Query(path, "SELECT version FROM schema_version;"), "99");
}

// A run of three mails where the centre refuses the second: three rows of one
// run, with the names they were sent under and the centre's answers.
TEST(ReportHistory, TheWorkerRecordsEveryReportOfARun) {
  test::ReportCentreHarness harness;
  harness.Centre().SetAnswers(TestReportCentre::kFormPath,
                              {Answer::FormReceived(), Answer::FormNotReceived(), Answer::FormReceived()});
  ReportHistory history(harness.Temp().File("history"));
  ReportForm form;
  form.name = "n";
  form.email = "e@example.kr";
  for (int i = 0; i < 3; ++i)
    form.attachmentPaths.push_back(harness.Temp().Write(
        "m" + std::to_string(i) + ".eml", "Message-ID: <r" + std::to_string(i) + "@spam.example>\r\n\r\nx"));
  std::atomic<bool> sending{true};
  test::RecordingReportObserver observer{&sending};
  ReportSender(form, observer, harness.Config(), &history).Run(sending);

  const std::vector<HistoryEntry> entries = history.Entries();
  ASSERT_EQ(entries.size(), 3u);
  const ReportVerdict expected[] = {ReportVerdict::kAccepted, ReportVerdict::kRefused, ReportVerdict::kAccepted};
  for (int i = 0; i < 3; ++i) {
    const HistoryEntry& entry = entries[static_cast<std::size_t>(2 - i)];  // newest first
    SCOPED_TRACE(i);
    EXPECT_EQ(entry.localPath, form.attachmentPaths[static_cast<std::size_t>(i)]);
    EXPECT_EQ(entry.messageId, "r" + std::to_string(i) + "@spam.example");
    EXPECT_EQ(entry.verdict, expected[i]);
    EXPECT_EQ(entry.run, 1);
    EXPECT_EQ(entry.sentName.rfind("SPM_", 0), 0u);
    EXPECT_EQ(entry.sha256, ReportHistory::FileSha256(entry.localPath));
    const std::string bytes = test::ReadFileBytes(entry.localPath);
    EXPECT_EQ(ReportHistory::Sha256(bytes.data(), bytes.size()), entry.sha256);
    EXPECT_FALSE(entry.answer.empty());
  }
  EXPECT_NE(entries[1].answer.find("\xc1\xa2\xbc\xf6\xb5\xc7\xc1\xf6"), std::string::npos);  // 접수되지
}

// What was read of a file when it was attached goes into its record only
// while the file uploaded is still the one read then. The hash recorded is
// always that of the bytes that went out.
TEST(ReportHistory, TheRecordTakesWhatWasReadWhenAttachedOnlyWhileTheFileIsUnchanged) {
  enum class Change { kNone, kRewrittenSameLength, kReplaced };
  const struct Case {
    const char* name;
    bool settled;  // attached well after its last write
    Change change;
    bool asAttached;
  } cases[] = {
      {"unchanged", true, Change::kNone, true},
      {"attached right after it was written", false, Change::kNone, false},
      {"rewritten in place with as many bytes", true, Change::kRewrittenSameLength, false},
      {"replaced by another file", true, Change::kReplaced, false},
  };
  const std::string before = "Message-ID: <before@spam.example>\r\nSubject: before\r\n\r\nx";
  const std::string after = "Message-ID: <after0@spam.example>\r\nSubject: after0\r\n\r\nx";
  ASSERT_EQ(before.size(), after.size());
  auto stampOf = [](const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    const FileStamp stamp = FileStamp::Of(file);
    if (file != nullptr) std::fclose(file);
    return stamp;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ReportCentreHarness harness;
    ReportHistory history(harness.Temp().File("history"));
    const std::string path = harness.Temp().Write("m.eml", before);
    AttachedMail attached = AttachedMail::Read(path, FileStamp::NowNs() + (c.settled ? 2 * FileStamp::kSettleNs : 0));
    ASSERT_EQ(attached.summary.messageId, "before@spam.example");
    attached.summary.subject = "as attached";  // marks what the record takes from the attaching
    if (c.change == Change::kRewrittenSameLength) {
      // File times are coarse: written again until the change shows.
      const FileStamp old = stampOf(path);
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      do {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << after;
      } while (stampOf(path) == old && std::chrono::steady_clock::now() < deadline);
      ASSERT_NE(stampOf(path), old);
    } else if (c.change == Change::kReplaced) {
      // Over the old file, as a mail client saving again may (std::rename does not on Windows).
      std::filesystem::rename(NativePath::ToFs(harness.Temp().Write("other.eml", after)), NativePath::ToFs(path));
    }
    ReportForm form;
    form.name = "n";
    form.email = "e@example.kr";
    form.attachmentPaths = {path};
    form.attachedMails = {attached};
    std::atomic<bool> sending{true};
    test::RecordingReportObserver observer{&sending};
    ReportSender(form, observer, harness.Config(), &history).Run(sending);

    const std::vector<HistoryEntry> entries = history.Entries();
    ASSERT_EQ(entries.size(), 1u);
    const std::string sent = c.change == Change::kNone ? before : after;
    EXPECT_EQ(entries[0].sha256, ReportHistory::Sha256(sent.data(), sent.size()));
    EXPECT_EQ(entries[0].subject, c.asAttached ? "as attached" : (c.change == Change::kNone ? "before" : "after0"));
    EXPECT_EQ(entries[0].messageId, c.change == Change::kNone ? "before@spam.example" : "after0@spam.example");
  }
}

TEST(ReportHistory, UnwritableOrDamagedFilesNeverStopAReport) {
  const std::string garbage = "this is not a database at all";
  struct Case {
    const char* name;
    bool damage;          // write a broken file first
    bool pagesOnly;       // a database whose header is sound but whose pages are not
    bool expectWritable;  // after the damaged file went aside
  } cases[] = {{"folder is a file", false, false, false},
               {"not a database", true, false, true},
               {"broken pages", true, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    std::string folder = dir.File("veradex");
    std::string original;
    if (!c.damage) {
      dir.Write("veradex", "a file where the folder should be");
    } else if (!c.pagesOnly) {
      original = garbage;
      dir.Write("veradex/history.sqlite", original);
    } else {
      {
        ReportHistory fresh(folder);
        for (int i = 0; i < 50; ++i) fresh.Add(Entry(i, "m@spam.example", ReportVerdict::kAccepted));
      }
      original = test::ReadFileBytes(folder + "/history.sqlite");
      ASSERT_GT(original.size(), 8192u);
      for (std::size_t i = 4096; i < original.size(); ++i) original[i] = static_cast<char>(0x5A);
      dir.Write("veradex/history.sqlite", original);
    }
    ReportHistory history(folder);
    EXPECT_EQ(history.IsWritable(), c.expectWritable);
    if (c.damage) {
      ASSERT_FALSE(history.DamagedCopyPath().empty());
      EXPECT_EQ(test::ReadFileBytes(history.DamagedCopyPath()), original);
      EXPECT_TRUE(history.Entries().empty());
    }
    // Two reports: both go on, and the history speaks once.
    test::RecordingMessageSink sink;
    const std::string mail = dir.Write("m.eml", "Subject: s\r\n\r\nx");
    history.OnRunStarted();
    history.OnAttachmentReported({mail, "SPM_1.eml", ReportVerdict::kAccepted, "ok"}, sink);
    history.OnAttachmentReported({mail, "SPM_2.eml", ReportVerdict::kAccepted, "ok"}, sink);
    ASSERT_EQ(sink.Count(), 1u);
    const std::string said = sink.Texts()[0];
    EXPECT_EQ(said.find(ReportTexts::Get(ReportTexts::kHistoryUnavailable)) != std::string::npos, !c.expectWritable);
    EXPECT_EQ(said.find(ReportTexts::Get(ReportTexts::kHistoryDamaged).substr(0, 10)) != std::string::npos, c.damage);
    EXPECT_EQ(history.Entries().size(), c.expectWritable ? 2u : 0u);
  }
}

#ifndef _WIN32  // a forked writer
// A process killed while it records report after report leaves whole rows only.
TEST(ReportHistory, AKilledWriterLeavesWholeRows) {
  test::TempDir dir;
  const std::string answer(1000, 'z');
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ReportHistory history(dir.Path());
    for (long long i = 1;; ++i) {
      HistoryEntry entry = Entry(static_cast<std::time_t>(i), "m@spam.example", ReportVerdict::kAccepted);
      entry.answer = answer;
      entry.run = i;
      history.Add(entry);
    }
  }
  const std::string path = dir.File("history.sqlite");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < deadline) {
    const std::string count = Query(path, "SELECT count(*) FROM reports;");
    if (!count.empty() && std::stoi(count) >= 20) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);

  ReportHistory history(dir.Path());
  EXPECT_TRUE(history.IsWritable());
  EXPECT_TRUE(history.DamagedCopyPath().empty());
  const std::vector<HistoryEntry> entries = history.Entries();
  ASSERT_GE(entries.size(), 20u);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    // Rows 1..n, none missing and none cut.
    EXPECT_EQ(entries[i].run, static_cast<long long>(entries.size() - i));
    EXPECT_EQ(entries[i].answer, answer);
    EXPECT_EQ(entries[i].subject, Ko("대출 광고"));
  }
}
#endif

}  // namespace
}  // namespace veradex
