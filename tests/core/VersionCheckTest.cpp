#include <gtest/gtest.h>

#include "report/ReportTexts.h"
#include "report/VersionCheck.h"
#include "support/ReportCentreHarness.h"

namespace veradex {
namespace {

using test::TestReportCentre;

// Records the check's actions in order instead of performing them.
class RecordingVersionActions : public VersionActions {
 public:
  int ShowMessage(const std::string& text, unsigned style) override {
    actions.push_back("message:" + text + (style == kStyleStop ? "" : " style?"));
    return kIdOk;
  }
  void OpenUrl(std::string url) override { actions.push_back("open:" + url); }
  void ExitProcess(int code) override { actions.push_back("exit:" + std::to_string(code)); }
  std::vector<std::string> actions;
};

struct PageCase {
  const char* name;
  const char* body;
  bool upgrade;
};

void PrintTo(const PageCase& page, std::ostream* out) { *out << page.name; }

class VersionPage : public ::testing::TestWithParam<PageCase> {
 protected:
  static void SetUpTestSuite() { harness = new test::ReportCentreHarness(); }
  static void TearDownTestSuite() {
    delete harness;
    harness = nullptr;
  }
  static test::ReportCentreHarness* harness;
};
test::ReportCentreHarness* VersionPage::harness = nullptr;

TEST_P(VersionPage, DecidesTheUpgrade) {
  const PageCase& page = GetParam();
  harness->Centre().SetAnswer(TestReportCentre::kVersionPath, TestReportCentre::Answer::VersionPage(page.body));
  ServerConfig config = harness->Config();
  config.download = ServerAddress::Parse("download.test:8080", 80);
  RecordingVersionActions actions;
  const bool goOn = VersionCheck::Run(actions, config);
  // The window's two halves (the page fetched ahead, then judged) decide alike.
  RecordingVersionActions halves;
  EXPECT_EQ(VersionCheck::Judge(VersionCheck::FetchInBackground(config).get(), halves, config), goOn);
  EXPECT_EQ(halves.actions, actions.actions);
  if (page.upgrade) {
    EXPECT_FALSE(goOn);
    EXPECT_EQ(actions.actions,
              (std::vector<std::string>{"message:" + ReportTexts::Get(ReportTexts::kUpgrade),
                                        "open:http://download.test:8080/ambrel/veradex_exe.wtz?op=1", "exit:0"}));
  } else {
    EXPECT_TRUE(goOn);
    EXPECT_TRUE(actions.actions.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, VersionPage,
    ::testing::Values(PageCase{"Same", "ver:5.3|", false}, PageCase{"Newer", "ver:5.4|", true},
                      PageCase{"Older", "ver:5.2|", true}, PageCase{"LastSegmentCounts", "a:1|ver:5.3|", false},
                      PageCase{"EarlierSegmentIgnored", "ver:5.4|ver:5.3|", false},
                      PageCase{"LaterSegmentDecides", "ver:5.3|a:1|", true}, PageCase{"NoBarSame", "ver:5.3", false},
                      PageCase{"NoBarDifferent", "ver:5.4", false}, PageCase{"BlankAfterColon", "ver: 5.3|", true},
                      PageCase{"NoColon", "5.3|", false}, PageCase{"LineBreakAfterBar", "ver:5.3|\r\n", false},
                      PageCase{"LineBreakBeforeBar", "ver:5.3\r\n|", true},
                      PageCase{"BlanksTrimmed", "   ver:5.3|   ", false}, PageCase{"EmptyPage", "", false},
                      PageCase{"EmptyValue", "ver:|", false}, PageCase{"TextAfterLastBar", "ver:5.3|tail:5.4", false},
                      PageCase{"FirstColonSplits", "x:y:5.3|", true}),
    [](const ::testing::TestParamInfo<PageCase>& param) { return std::string(param.param.name); });

TEST(VersionCheck, UnreachableVersionHostStopsTheWindow) {
  test::ReportCentreHarness harness;
  const std::string unreachable = ReportTexts::Get(ReportTexts::kVersionUnreachable);

  TestReportCentre::Answer missing = TestReportCentre::Answer::VersionPage("ver:5.3|");
  missing.statusLine = "HTTP/1.1 404 Not Found";
  harness.Centre().SetAnswer(TestReportCentre::kVersionPath, missing);
  RecordingVersionActions notFound;
  EXPECT_FALSE(VersionCheck::Run(notFound, harness.Config()));
  // 등록이 실패하였습니다., then the unreachable text
  EXPECT_EQ(notFound.actions,
            (std::vector<std::string>{"message:\xb5\xee\xb7\xcf\xc0\xcc\x20\xbd\xc7\xc6\xd0\xc7\xcf\xbf\xb4\xbd\xc0"
                                      "\xb4\xcf\xb4\xd9\x2e",
                                      "message:" + unreachable}));

  harness.Centre().Stop();
  RecordingVersionActions noConnection;
  EXPECT_FALSE(VersionCheck::Run(noConnection, harness.Config()));
  // 서버 연결에 실패 하였습니다., then the unreachable text
  EXPECT_EQ(noConnection.actions,
            (std::vector<std::string>{"message:\xbc\xad\xb9\xf6\x20\xbf\xac\xb0\xe1\xbf\xa1\x20\xbd\xc7\xc6\xd0\x20"
                                      "\xc7\xcf\xbf\xb4\xbd\xc0\xb4\xcf\xb4\xd9\x2e",
                                      "message:" + unreachable}));
  const std::string expectedBreaks = "\x2e\r\n";
  EXPECT_NE(unreachable.find(expectedBreaks), std::string::npos);
  EXPECT_EQ(std::count(unreachable.begin(), unreachable.end(), '\n'), 3);
  EXPECT_EQ(std::count(unreachable.begin(), unreachable.end(), '\r'), 1);
}

}  // namespace
}  // namespace veradex
