#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/Cp949.h"
#include "platform/NativePath.h"
#include "report/Outbox.h"
#include "report/OutboxRules.h"
#include "report/OutboxSender.h"
#include "report/ReportHistory.h"
#include "report/ReportTexts.h"
#include "support/ReportCentreHarness.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

namespace fs = std::filesystem;
using test::TestReportCentre;
using Answer = TestReportCentre::Answer;
using End = OutboxSender::Round::End;

std::string Mail(int n, std::size_t bodyBytes = 40) {
  return "Subject: spam " + std::to_string(n) + "\r\nMessage-ID: <m" + std::to_string(n) + "@example.kr>\r\n\r\n" +
         std::string(bodyBytes, 'x');
}

ReportForm FormWith(const test::TempDir& temp, int attachments, std::size_t bodyBytes = 40) {
  ReportForm form;
  form.name = "\xC8\xAB\xB1\xE6\xB5\xBF";  // 홍길동
  form.email = "hong@example.kr";
  form.tel1 = "02";
  form.tel2 = "123";
  form.tel3 = "4567";
  form.content = "\xBD\xBA\xC6\xD4 test\r\nline2";  // 스팸
  form.password = "pw!1";
  for (int i = 0; i < attachments; ++i)
    form.attachmentPaths.push_back(
        temp.Write("in/" + std::to_string(i) + "/mail.eml", Mail(i, bodyBytes)));  // same names, other folders
  return form;
}

// The permission bits, where the system keeps them (Windows has none: the
// user's profile folder is private already).
void ExpectMode(const std::string& path, unsigned mode) {
  if (NativePath::kSeparator != '/') return;
  struct stat info {};
  ::stat(path.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, mode) << path;
}

// The retry schedule on a clock the test moves.
TEST(RetrySchedule, BacksOffFromOneMinuteToAnHourAndStopsOnlyUntilAsked) {
  std::time_t now = 1000000;
  RetrySchedule schedule([&now] { return now; });
  enum Event { kUnreachable, kProgress, kStop, kTryNow };
  const struct {
    Event event;
    long secondsLeft;  // after the event; -1: stopped
  } steps[] = {
      {kUnreachable, 60},   {kUnreachable, 120},  {kUnreachable, 240},  {kUnreachable, 480}, {kUnreachable, 960},
      {kUnreachable, 1920}, {kUnreachable, 3600}, {kUnreachable, 3600}, {kProgress, 0},      {kUnreachable, 60},
      {kUnreachable, 120},  {kStop, -1},          {kTryNow, 0},         {kUnreachable, 240},
  };
  EXPECT_TRUE(schedule.IsDue()) << "the first try is at start";
  for (const auto& step : steps) {
    switch (step.event) {
      case kUnreachable:
        schedule.OnUnreachable();
        break;
      case kProgress:
        schedule.OnProgress();
        break;
      case kStop:
        schedule.Stop();
        break;
      case kTryNow:
        schedule.TryNow();
        break;
    }
    EXPECT_EQ(schedule.SecondsLeft(), step.secondsLeft) << "after event " << step.event;
    if (step.secondsLeft > 0) {
      now += step.secondsLeft - 1;
      EXPECT_FALSE(schedule.IsDue());
      now += 1;
      EXPECT_TRUE(schedule.IsDue());
    }
    if (step.secondsLeft < 0) {
      now += 24 * 3600;
      EXPECT_FALSE(schedule.IsDue()) << "a stop holds until the next start";
      EXPECT_EQ(schedule.NextTry(), 0);
    }
  }
}

// Which failure of a send from the window offers the outbox.
TEST(OutboxRules, OnlyACentreThatCouldNotBeReachedOffersTheOutbox) {
  const AttachmentOutcome received{ReportVerdict::kAccepted, true, false, std::nullopt};
  const AttachmentOutcome untried{};
  const auto failed = [](NetError error, ReportVerdict verdict = ReportVerdict::kNotSent) {
    return AttachmentOutcome{verdict, true, false, error};
  };
  const AttachmentOutcome unloadable{ReportVerdict::kNotSent, true, true, std::nullopt};
  const struct {
    const char* what;
    std::vector<AttachmentOutcome> outcomes;
    bool offered;
  } cases[] = {
      {"no name resolution", {failed(NetError::kResolve), untried}, true},
      {"no connection", {failed(NetError::kConnect)}, true},
      {"connect time-out", {failed(NetError::kTimeout)}, true},
      {"stalled send", {failed(NetError::kSend)}, true},
      {"stalled or broken answer", {failed(NetError::kReceive)}, true},
      {"first received, second unreachable", {received, failed(NetError::kConnect), untried}, true},
      {"refused certificate", {failed(NetError::kCertificate)}, false},
      {"unwanted status", {failed(NetError::kHttpStatus)}, false},
      {"refused report", {failed(NetError::kRefused, ReportVerdict::kRefused)}, false},
      {"one refused, one unreachable",
       {failed(NetError::kRefused, ReportVerdict::kRefused), failed(NetError::kReceive)},
       false},
      {"file cannot be loaded", {unloadable, untried}, false},
      {"everything received", {received, received}, false},
  };
  for (const auto& c : cases) {
    SendResult result;
    result.attachments = c.outcomes;
    EXPECT_EQ(OutboxRules::Offers(result), c.offered) << c.what;
  }
}

class OutboxStore : public ::testing::Test {
 protected:
  test::TempDir temp;
  std::string folder = temp.File("outbox");
};

TEST_F(OutboxStore, KeepsTheReportAsTypedInPrivateFilesAndReadsItBack) {
  const ReportForm form = FormWith(temp, 2);
  std::string id;
  {
    Outbox outbox(folder);
    id = outbox.Add(form);
    ASSERT_FALSE(id.empty());
  }
  // A new start reads it back from the disk.
  Outbox outbox(folder);
  const std::vector<OutboxEntry> waiting = outbox.Waiting();
  ASSERT_EQ(waiting.size(), 1u);
  const OutboxEntry& entry = waiting[0];
  EXPECT_EQ(entry.id, id);
  const ReportForm sent = entry.Form();
  EXPECT_EQ(sent.name, form.name);
  EXPECT_EQ(sent.content, form.content);
  EXPECT_EQ(sent.password, form.password);
  EXPECT_EQ(sent.tel1 + sent.tel2 + sent.tel3 + sent.email, form.tel1 + form.tel2 + form.tel3 + form.email);
  ASSERT_EQ(sent.attachmentPaths.size(), 2u);
  EXPECT_NE(sent.attachmentPaths[0], sent.attachmentPaths[1]) << "two mails of one name";
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(test::ReadFileBytes(sent.attachmentPaths[i]), test::ReadFileBytes(form.attachmentPaths[i]));
    EXPECT_EQ(sent.attachmentPaths[i].substr(sent.attachmentPaths[i].size() - 3), "eml");
    ExpectMode(sent.attachmentPaths[i], 0600u);
    EXPECT_EQ(entry.waiting[i].original, form.attachmentPaths[i]);
    EXPECT_EQ(entry.waiting[i].subject, "spam " + std::to_string(i));
  }
  ExpectMode(entry.folder, 0700u);
  ExpectMode(entry.folder + "/record", 0600u);
  EXPECT_EQ(outbox.TakeDamagedNotice(), "");

  // Cancelled: the entry and its copies are gone.
  EXPECT_TRUE(outbox.Cancel(id));
  EXPECT_FALSE(fs::exists(entry.folder));
  EXPECT_EQ(Outbox(folder).WaitingCount(), 0);
}

TEST_F(OutboxStore, LimitsTheNumberAndTheSizeOfWaitingReports) {
  Outbox outbox(folder);
  const ReportForm small = FormWith(temp, 1);
  for (int i = 0; i < Outbox::kMaxEntries; ++i) ASSERT_FALSE(outbox.Add(small).empty()) << i;
  const struct {
    long long bytes;
    Outbox::Room room;
  } full[] = {{1, Outbox::Room::kTooMany}};
  for (const auto& c : full) EXPECT_EQ(outbox.RoomFor(c.bytes), c.room);
  EXPECT_TRUE(outbox.Add(small).empty()) << "the 51st report";
  EXPECT_NE(Outbox::RoomText(Outbox::Room::kTooMany).find("50"), std::string::npos);

  // By size: 2 MiB mails fill 50 MiB after 25.
  Outbox sized(temp.File("sized"));
  const ReportForm big = FormWith(temp, 5, 2 * 1024 * 1024 - 100);
  for (int i = 0; i < 5; ++i) ASSERT_FALSE(sized.Add(big).empty()) << i;
  const long long used = 5LL * 5 * (2 * 1024 * 1024 - 100 + static_cast<long long>(Mail(0, 0).size()));
  const struct {
    long long bytes;
    Outbox::Room room;
  } cases[] = {{Outbox::kMaxBytes - used, Outbox::Room::kFits},
               {Outbox::kMaxBytes - used + 10, Outbox::Room::kTooLarge}};
  for (const auto& c : cases) EXPECT_EQ(sized.RoomFor(c.bytes), c.room) << c.bytes;
  EXPECT_TRUE(sized.Add(FormWith(temp, 1, 2 * 1024 * 1024 - 100)).empty());
  EXPECT_EQ(sized.WaitingCount(), 5);
}

TEST_F(OutboxStore, KeepsDamagedEntriesAsideAndSaysSoOnce) {
  std::vector<std::string> ids;
  {
    Outbox outbox(folder);
    for (int i = 0; i < 5; ++i) ids.push_back(outbox.Add(FormWith(temp, 2)));
  }
  const std::string record = "/record";
  std::string text = test::ReadFileBytes(folder + "/" + ids[0] + record);
  const struct {
    const char* what;
    std::function<void(const std::string& entry)> damage;
  } damages[] = {
      {"record cut short", [&](const std::string& e) { fs::resize_file(e + record, text.size() / 2); }},
      {"record gone", [&](const std::string& e) { fs::remove(e + record); }},
      {"a copy gone", [&](const std::string& e) { fs::remove(e + "/mail.eml"); }},
      {"a copy of another size", [&](const std::string& e) { fs::resize_file(e + "/mail.eml", 3); }},
  };
  for (std::size_t i = 0; i < std::size(damages); ++i) damages[i].damage(folder + "/" + ids[i]);
  // What a crash while writing leaves: a folder never renamed into place.
  fs::create_directory(folder + "/.new-20261208-000000-00001");

  Outbox outbox(folder);
  const std::vector<OutboxEntry> waiting = outbox.Waiting();
  ASSERT_EQ(waiting.size(), 1u);
  EXPECT_EQ(waiting[0].id, ids[4]);
  const std::string notice = outbox.TakeDamagedNotice();
  for (std::size_t i = 0; i < std::size(damages); ++i) {
    EXPECT_FALSE(fs::exists(folder + "/" + ids[i])) << damages[i].what;
    EXPECT_NE(notice.find(ids[i] + ".damaged-"), std::string::npos) << damages[i].what;
  }
  EXPECT_FALSE(fs::exists(folder + "/.new-20261208-000000-00001"));
  EXPECT_EQ(outbox.TakeDamagedNotice(), "") << "said once";
  EXPECT_EQ(Outbox(folder).WaitingCount(), 1) << "what was kept aside is not read again";
  EXPECT_EQ(Outbox(folder).TakeDamagedNotice(), "");
}

// The outbox's tries against the test centre.
class OutboxSending : public ::testing::Test {
 protected:
  OutboxSender::Round Round() {
    return sender.RunRound(harness.Config(), [] { return false; });
  }
  std::vector<TestReportCentre::Request> Reports() { return harness.Centre().RequestsTo(TestReportCentre::kFormPath); }

  test::ReportCentreHarness harness{test::TestCertificateAuthority::LeafKind::kValid, 1};
  test::TempDir temp;
  Outbox outbox{temp.File("outbox")};
  ReportHistory history{temp.File("history")};
  std::time_t now = 1000000;
  RetrySchedule schedule{[this] { return now; }};
  OutboxSender sender{outbox, schedule, &history};
};

TEST_F(OutboxSending, EachOutcomeSettlesTheEntryAndTheSchedule) {
  const struct {
    const char* what;
    std::function<void(TestReportCentre&)> centre;
    End end;
    int waitingAfter;
    int keptFiles;  // copies kept for 다시 보내기
    long secondsLeft;
    ReportVerdict historyVerdict;
  } cases[] = {
      {"received", [](TestReportCentre&) {}, End::kDone, 0, 0, 0, ReportVerdict::kAccepted},
      {"refused", [](TestReportCentre& c) { c.SetAnswer(TestReportCentre::kFormPath, Answer::FormNotReceived()); },
       End::kDone, 0, 2, 0, ReportVerdict::kRefused},
      {"unreachable", [](TestReportCentre& c) { c.Stop(); }, End::kUnreachable, 1, 0, 60, ReportVerdict::kNotSent},
      {"upgrade forced",
       [](TestReportCentre& c) { c.SetAnswer(TestReportCentre::kVersionPath, Answer::VersionPage("ver:9.9|")); },
       End::kUpgrade, 1, 0, -1, ReportVerdict::kNotSent},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    schedule.TryNow();
    const std::string id = outbox.Add(FormWith(temp, 2));
    const long long before = history.LastId();
    c.centre(harness.Centre());
    const OutboxSender::Round round = Round();
    EXPECT_EQ(round.end, c.end);
    EXPECT_EQ(round.waiting, c.waitingAfter);
    EXPECT_EQ(schedule.SecondsLeft(), c.secondsLeft);
    OutboxEntry entry;
    EXPECT_EQ(outbox.Find(id, &entry), c.waitingAfter > 0 || c.keptFiles > 0);
    EXPECT_EQ(static_cast<int>(entry.kept.size()), c.keptFiles);
    for (const OutboxFile& file : entry.kept) EXPECT_TRUE(fs::exists(entry.PathOf(file)));
    const std::vector<HistoryEntry> rows = history.Entries();
    if (c.end == End::kUpgrade) {
      EXPECT_EQ(history.LastId(), before) << "nothing goes out";
    } else {
      ASSERT_GE(rows.size(), 1u);
      EXPECT_EQ(rows[0].verdict, c.historyVerdict);
      if (c.keptFiles > 0) {
        EXPECT_TRUE(fs::exists(rows[0].localPath)) << "다시 보내기 finds the file";
      }
    }
    EXPECT_EQ(OutboxSender::NoticeText(round).empty(), c.end == End::kUnreachable);
    // Back to a sound centre, the waiting entry cancelled.
    if (c.end == End::kUnreachable) {
      ASSERT_TRUE(harness.Centre().Start(harness.Centre().Port()));
    }
    harness.Centre().SetAnswer(TestReportCentre::kFormPath, Answer::FormReceived());
    harness.Centre().SetAnswer(TestReportCentre::kVersionPath, Answer::VersionPage("ver:5.3|"));
    if (c.waitingAfter > 0) outbox.Cancel(id);
  }
  EXPECT_EQ(OutboxSender::NoticeText({End::kDone, 3, 0, 0}), Cp949::FromUtf8("보류된 신고 3건이 접수되었습니다."));
}

TEST_F(OutboxSending, ARefusedCertificateStopsTheTries) {
  test::ReportCentreHarness impostor(test::TestCertificateAuthority::LeafKind::kUnknownAuthority, 1);
  outbox.Add(FormWith(temp, 1));
  const OutboxSender::Round round = sender.RunRound(impostor.Config(), [] { return false; });
  EXPECT_EQ(round.end, End::kCertificate);
  EXPECT_EQ(round.waiting, 1);
  EXPECT_TRUE(schedule.IsStopped());
  EXPECT_TRUE(impostor.Centre().RequestsTo(TestReportCentre::kFormPath).empty());
  // Never while the user's own send runs.
  schedule.TryNow();
  EXPECT_EQ(sender.RunRound(harness.Config(), [] { return true; }).end, End::kUserSending);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(OutboxSending, AReportWaitsWhileTheCentreIsDownAndArrivesOnceWithEverythingAsTyped) {
  const ReportForm form = FormWith(temp, 2);
  ASSERT_FALSE(outbox.Add(form).empty());
  const int port = harness.Centre().Port();
  harness.Centre().Stop();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Round().end, End::kUnreachable);
    now += schedule.SecondsLeft();
  }
  ASSERT_TRUE(harness.Centre().Start(port));
  const OutboxSender::Round round = Round();
  EXPECT_EQ(round.end, End::kDone);
  EXPECT_EQ(round.delivered, 1);
  EXPECT_EQ(round.waiting, 0);
  EXPECT_EQ(Round().delivered, 0) << "nothing goes twice";

  const auto reports = Reports();
  const auto uploads = harness.Centre().RequestsTo(TestReportCentre::kUploadPath);
  ASSERT_EQ(reports.size(), 2u);
  ASSERT_EQ(uploads.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_NE(uploads[i].Body().find("\r\n\r\n" + Mail(static_cast<int>(i)) + "\r\n"), std::string::npos);
    const std::string body = reports[i].Body();
    EXPECT_EQ(body.substr(0, body.find("&filename=")),
              "ret_url=..%2Fminwon%2Flist.jsp&queryid=null&q_type=1&name=%C8%AB%B1%E6%B5%BF&email=hong%40example.kr"
              "&tel=02-123-4567&content=%BD%BA%C6%D4%20test%0D%0Aline2");
    EXPECT_NE(body.find("&pwd=pw%211&channel=SPM&menu=1&agree1=1"), std::string::npos);
  }
  const std::vector<HistoryEntry> rows = history.Entries();
  ASSERT_EQ(rows.size(), 5u);  // three tries stopped at the first upload, then two received
  EXPECT_EQ(rows[0].verdict, ReportVerdict::kAccepted);
  EXPECT_EQ(rows[1].verdict, ReportVerdict::kAccepted);
  EXPECT_FALSE(fs::exists(rows[0].localPath)) << "the copies went with the entry";
}

}  // namespace
}  // namespace veradex
