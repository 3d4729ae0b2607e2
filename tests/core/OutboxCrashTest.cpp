// A process killed (SIGKILL) while it writes an outbox entry or sends one,
// then started again: nothing handed to the outbox is lost, a report goes
// out at most once more, and no half entry is ever read.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

#include "report/Outbox.h"
#include "report/OutboxSender.h"
#include "report/ReportHistory.h"
#include "support/ChildProcess.h"
#include "support/ReportCentreHarness.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

namespace fs = std::filesystem;
using test::TestReportCentre;
using Answer = TestReportCentre::Answer;
using End = OutboxSender::Round::End;

std::string Mail(int n) { return "Subject: spam " + std::to_string(n) + "\r\n\r\n" + std::string(40, 'x'); }

bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 15000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// The process that writes or sends in the crash tests: this program again,
// told by the environment what to do and at which step to die.
std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

TEST(OutboxChild, Acts) {
  const std::string mode = Env("VERADEX_OUTBOX_CHILD");
  if (mode.empty()) GTEST_SKIP() << "only run by the crash tests";
  Outbox outbox(Env("VERADEX_OUTBOX_FOLDER"));
  const std::string killAt = Env("VERADEX_OUTBOX_KILL_AT");
  outbox.SetStepHook([killAt](const char* step) {
    if (killAt == step) ::raise(SIGKILL);
  });
  if (mode == "add") {
    ReportForm form;
    form.name = "name";
    form.content = "content";
    std::string files = Env("VERADEX_OUTBOX_FILES");
    for (std::size_t at = 0; at < files.size();) {
      const std::size_t end = files.find('\n', at);
      form.attachmentPaths.push_back(files.substr(at, end - at));
      at = end == std::string::npos ? files.size() : end + 1;
    }
    ASSERT_FALSE(outbox.Add(form).empty());
    return;
  }
  ServerConfig servers = ServerConfig::Defaults();
  servers.report = servers.version = ServerAddress::Parse("localhost:" + Env("VERADEX_OUTBOX_PORT"));
  servers.caFile = Env("VERADEX_OUTBOX_CA");
  ReportHistory history(Env("VERADEX_OUTBOX_HISTORY"));
  RetrySchedule schedule;
  const OutboxSender::Round round = OutboxSender(outbox, schedule, &history).RunRound(servers, nullptr);
  EXPECT_EQ(round.end, End::kDone);
}

test::ChildProcess::Result RunChild(const std::map<std::string, std::string>& environment,
                                    const std::function<void(test::ChildProcess&)>& whileRunning = nullptr) {
  test::ChildProcess child(fs::read_symlink("/proc/self/exe").string(), {"--gtest_filter=OutboxChild.Acts"},
                           environment);
  if (whileRunning) whileRunning(child);
  return child.Wait(std::chrono::seconds(60));
}

TEST(OutboxCrash, AWriteKilledAtAnyStepLeavesTheWholeEntryOrNone) {
  const struct {
    const char* step;
    int waiting;
  } cases[] = {{"copied", 0}, {"recorded", 0}, {"placed", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.step);
    test::TempDir temp;
    const std::string first = temp.Write("a/mail.eml", Mail(1)), second = temp.Write("b/mail.eml", Mail(2));
    const auto result = RunChild({{"VERADEX_OUTBOX_CHILD", "add"},
                                  {"VERADEX_OUTBOX_FOLDER", temp.File("outbox")},
                                  {"VERADEX_OUTBOX_KILL_AT", c.step},
                                  {"VERADEX_OUTBOX_FILES", first + "\n" + second}});
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, -1) << "killed";
    Outbox outbox(temp.File("outbox"));
    const std::vector<OutboxEntry> waiting = outbox.Waiting();
    ASSERT_EQ(static_cast<int>(waiting.size()), c.waiting);
    EXPECT_EQ(outbox.TakeDamagedNotice(), "") << "never a half entry";
    int folders = 0;
    for (const auto& item : fs::directory_iterator(temp.File("outbox"))) folders += item.is_directory() ? 1 : 0;
    EXPECT_EQ(folders, c.waiting) << "nothing left behind";
    for (const OutboxEntry& entry : waiting) {
      const ReportForm form = entry.Form();
      ASSERT_EQ(form.attachmentPaths.size(), 2u);
      EXPECT_EQ(test::ReadFileBytes(form.attachmentPaths[0]), Mail(1));
      EXPECT_EQ(test::ReadFileBytes(form.attachmentPaths[1]), Mail(2));
    }
  }
}

TEST(OutboxCrash, ASendKilledHalfWayIsSentAgainWholeAtMostOnceMore) {
  const auto complete = [](const std::string& path) {
    return [path](const TestReportCentre::Request& request) {
      const std::string body = request.Body();
      return path == TestReportCentre::kUploadPath ? body.size() > 4 && body.substr(body.size() - 4) == "--\r\n"
                                                   : body.find("agree1=1") != std::string::npos;
    };
  };
  const struct {
    const char* what;
    const char* stalledPath;  // the answer never comes; the test kills the process once the request is in
    const char* killAt;       // or the process dies at this step
    std::size_t reports;      // report forms the centre has in the end
  } cases[] = {
      {"killed waiting for the upload's answer", TestReportCentre::kUploadPath, "", 1},
      {"killed waiting for the report's answer", TestReportCentre::kFormPath, "", 2},
      {"killed after the answer, before the outbox was updated", "", "settled", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::ReportCentreHarness harness;
    test::TempDir temp;
    ReportForm form;
    form.name = "name";
    form.content = "content";
    form.attachmentPaths = {temp.Write("mail.eml", Mail(0))};
    ASSERT_FALSE(Outbox(temp.File("outbox")).Add(form).empty());
    std::map<std::string, std::string> environment = {{"VERADEX_OUTBOX_CHILD", "send"},
                                                      {"VERADEX_OUTBOX_FOLDER", temp.File("outbox")},
                                                      {"VERADEX_OUTBOX_HISTORY", temp.File("history")},
                                                      {"VERADEX_OUTBOX_PORT", std::to_string(harness.Centre().Port())},
                                                      {"VERADEX_OUTBOX_CA", harness.CaFile()},
                                                      {"VERADEX_OUTBOX_KILL_AT", c.killAt}};
    const std::string stalled = c.stalledPath;
    if (!stalled.empty()) {
      Answer silent;
      silent.fault = TestReportCentre::Fault::kStallBeforeHead;
      harness.Centre().SetAnswer(stalled, silent);
    }
    const auto killed = RunChild(environment, [&](test::ChildProcess& child) {
      if (stalled.empty()) return;
      EXPECT_TRUE(WaitUntil([&] {
        const auto requests = harness.Centre().RequestsTo(stalled);
        return !requests.empty() && complete(stalled)(requests.back());
      }));
      ::kill(child.Pid(), SIGKILL);
    });
    EXPECT_EQ(killed.exitCode, -1);
    EXPECT_EQ(Outbox(temp.File("outbox")).WaitingCount(), 1) << "nothing lost";

    // The next start: answered normally, the report goes out again, whole.
    harness.Centre().SetAnswer(TestReportCentre::kUploadPath, Answer::UploadAccepted());
    harness.Centre().SetAnswer(TestReportCentre::kFormPath, Answer::FormReceived());
    environment["VERADEX_OUTBOX_KILL_AT"] = "";
    const auto restarted = RunChild(environment);
    EXPECT_EQ(restarted.exitCode, 0) << restarted.standardOutput;
    Outbox after(temp.File("outbox"));
    EXPECT_EQ(after.WaitingCount(), 0);
    EXPECT_EQ(after.TakeDamagedNotice(), "");
    const auto reports = harness.Centre().RequestsTo(TestReportCentre::kFormPath);
    std::size_t completeReports = 0;
    for (const auto& report : reports) completeReports += complete(TestReportCentre::kFormPath)(report) ? 1 : 0;
    EXPECT_EQ(completeReports, c.reports);
    const auto last = reports.back().Body();
    EXPECT_EQ(last.substr(0, last.find("&filename=")), reports.front().Body().substr(0, last.find("&filename=")));
    const auto uploads = harness.Centre().RequestsTo(TestReportCentre::kUploadPath);
    EXPECT_NE(uploads.back().Body().find("\r\n\r\n" + Mail(0) + "\r\n"), std::string::npos);
  }
}

}  // namespace
}  // namespace veradex
