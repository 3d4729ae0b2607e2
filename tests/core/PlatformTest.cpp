#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/debug.h>
#include <wx/string.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/AssertionLog.h"
#include "platform/Cp949.h"
#include "platform/ExecutablePath.h"
#include "platform/LineBreaks.h"
#include "platform/LockedRandom.h"
#include "platform/SingleInstanceGuard.h"
#include "platform/UserFolders.h"
#include "support/ScopedVariable.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

using test::ScopedVariable;

// An absolute variable wins; a relative one is ignored for the folder under
// the home folder; without HOME the account's home folder serves.
TEST(UserFolders, BaseFoldersFollowTheXdgRules) {
  const struct {
    UserFolders::Kind kind;
    const char* variable;
    const char* underHome;
  } kinds[] = {{UserFolders::Kind::kConfig, "XDG_CONFIG_HOME", "/.config"},
               {UserFolders::Kind::kData, "XDG_DATA_HOME", "/.local/share"},
               {UserFolders::Kind::kState, "XDG_STATE_HOME", "/.local/state"},
               {UserFolders::Kind::kCache, "XDG_CACHE_HOME", "/.cache"}};
  for (const auto& k : kinds) {
    ScopedVariable home("HOME", "/home/reporter");
    {
      ScopedVariable set(k.variable, "/tmp/somewhere");
      EXPECT_EQ(UserFolders::Base(k.kind), "/tmp/somewhere") << k.variable;
    }
    {
      ScopedVariable relative(k.variable, "relative/ignored");
      EXPECT_EQ(UserFolders::Base(k.kind), std::string("/home/reporter") + k.underHome) << k.variable;
    }
    ScopedVariable unset(k.variable, nullptr);
    EXPECT_EQ(UserFolders::Base(k.kind), std::string("/home/reporter") + k.underHome) << k.variable;
    ScopedVariable noHome("HOME", nullptr);
    EXPECT_FALSE(UserFolders::Home().empty());
    EXPECT_EQ(UserFolders::Base(k.kind), UserFolders::Home() + k.underHome) << k.variable;
  }
}

TEST(UserFolders, MakePrivateMakesMissingFoldersForTheUserOnly) {
  test::TempDir dir;
  const std::string deep = dir.Path() + "/a/b/c";
  ASSERT_TRUE(UserFolders::MakePrivate(deep));
  for (const std::string& folder : {dir.Path() + "/a", dir.Path() + "/a/b", deep}) {
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0) << folder;
    EXPECT_EQ(info.st_mode & 0777, 0700u) << folder;
  }
  // One that exists keeps its mode; a file in the way is no folder.
  ::chmod(deep.c_str(), 0755);
  EXPECT_TRUE(UserFolders::MakePrivate(deep + "/"));
  struct stat info {};
  ASSERT_EQ(::stat(deep.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0755u);
  std::ofstream(dir.Path() + "/file") << "x";
  EXPECT_FALSE(UserFolders::MakePrivate(dir.Path() + "/file/sub"));
  EXPECT_FALSE(UserFolders::MakePrivate(""));
}

TEST(ExecutablePath, DirectoryEndsInSeparatorAndIsCp949) {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  EXPECT_EQ(ExecutablePath::GetExecutablePath(), self);
  const std::string directory = ExecutablePath::GetExecutableDirectory();
  EXPECT_EQ(directory, std::filesystem::path(self).parent_path().string() + "/");
  EXPECT_EQ(ExecutablePath::GetExecutableBaseName(), "veradex_core_tests");

  std::string korean;
  ASSERT_TRUE(Cp949::FromWx(wxString::FromUTF8("/opt/새 폴더/"), &korean));
  EXPECT_EQ(ExecutablePath::DirectoryOf("/opt/새 폴더/veradex"), korean);
  EXPECT_EQ(ExecutablePath::DirectoryOf("/veradex"), "/");
  EXPECT_EQ(ExecutablePath::BaseNameOf("/opt/a.b/veradex.bin"), "veradex");
  EXPECT_EQ(ExecutablePath::BaseNameOf("/opt/a.b/veradex"), "veradex");
}

TEST(SingleInstanceGuard, OneHolderPerFolderAndNoStaleMarkers) {
  EXPECT_EQ(SingleInstanceGuard::LockFileName("App. Internet Velmora"), "App._Internet_Velmora.lock");
  test::TempDir dir;
  const std::string folder = dir.Path() + "/Ambrel";
  {
    SingleInstanceGuard first(SingleInstanceGuard::kMarkerName, folder);
    SingleInstanceGuard second(SingleInstanceGuard::kMarkerName, folder);
    ASSERT_TRUE(first.Acquire());
    EXPECT_TRUE(first.Acquire());  // asking again does not lose it
    EXPECT_FALSE(second.Acquire());
    // Another user's (another folder's) marker is separate.
    SingleInstanceGuard elsewhere(SingleInstanceGuard::kMarkerName, dir.Path() + "/other");
    EXPECT_TRUE(elsewhere.Acquire());
  }
  // The file stays behind, naming a process that is alive (this one); it must
  // not count as a running copy once nobody holds the lock.
  ASSERT_TRUE(std::filesystem::exists(folder + "/App._Internet_Velmora.lock"));
  std::ofstream(folder + "/App._Internet_Velmora.lock") << ::getpid() << "\n";
  SingleInstanceGuard later(SingleInstanceGuard::kMarkerName, folder);
  EXPECT_TRUE(later.Acquire());
}

TEST(LockedRandom, SeededDrawsRepeatAndConcurrentDrawsShareOneSequence) {
  LockedRandom::Seed(1234);
  std::vector<int> sequential;
  for (int i = 0; i < 4000; ++i) sequential.push_back(LockedRandom::Next());

  LockedRandom::Seed(1234);
  std::vector<int> drawn[4];
  std::vector<std::thread> threads;
  for (auto& list : drawn)
    threads.emplace_back([&list] {
      for (int i = 0; i < 1000; ++i) list.push_back(LockedRandom::Next());
    });
  for (auto& thread : threads) thread.join();
  std::vector<int> together;
  for (auto& list : drawn) together.insert(together.end(), list.begin(), list.end());
  std::sort(sequential.begin(), sequential.end());
  std::sort(together.begin(), together.end());
  EXPECT_EQ(together, sequential);  // every draw taken exactly once
  // Fifteen bits, as the upload names and the capture tag expect, and all of them used.
  const auto [lowest, highest] = std::minmax_element(sequential.begin(), sequential.end());
  EXPECT_GE(*lowest, 0);
  EXPECT_LE(*highest, 32767);
  EXPECT_GT(*highest, 0x0FFF);
}

TEST(LineBreaks, EveryBreakBecomesOneCrLf) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"a\nb\nc", "a\r\nb\r\nc"},
      {"a\r\nb", "a\r\nb"},  // pasted CR LF is not doubled
      {"a\rb\r", "a\r\nb\r\n"},
      {"\n\r\n\r\r\n", "\r\n\r\n\r\n\r\n"},
      {"\xc7\xd1\n\xb1\xdb", "\xc7\xd1\r\n\xb1\xdb"},  // 한, 글
  };
  for (const auto& c : cases) EXPECT_EQ(LineBreaks::ToCrLf(c.first), c.second) << c.first;
}

TEST(AssertionLog, PrivateFileUnderTheStateHomeRotatedAtOneMebibyte) {
  test::TempDir dir;
  const std::string state = dir.Path() + "/state";
  ScopedVariable stateHome("XDG_STATE_HOME", state.c_str());
  const std::string path = AssertionLog::DefaultPath();
  EXPECT_EQ(path, state + "/Ambrel/veradex/veradex.log");

  // The program's handler: a line on the log, nothing shown, and on it goes.
  wxAssertHandler_t previous = wxSetAssertHandler(&AssertionLog::Handler);
  wxFAIL_MSG("provoked for the log");
  wxSetAssertHandler(previous);
  const std::string logged = test::ReadFileBytes(path);
  EXPECT_NE(logged.find("PlatformTest.cpp:"), std::string::npos) << logged;
  EXPECT_NE(logged.find("provoked for the log"), std::string::npos) << logged;
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat((state + "/Ambrel/veradex").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  // Below 1 MiB the file grows; from 1 MiB on it starts afresh.
  const std::string filler(1000, 'x');
  while (std::filesystem::file_size(path) < AssertionLog::kRotateBytes) ASSERT_TRUE(AssertionLog::Append(path, filler));
  EXPECT_FALSE(std::filesystem::exists(path + ".1"));
  ASSERT_TRUE(AssertionLog::Append(path, "after"));
  EXPECT_EQ(test::ReadFileBytes(path), "after\n");
  EXPECT_GE(std::filesystem::file_size(path + ".1"), AssertionLog::kRotateBytes);
}

TEST(AssertionLog, AFailedToolkitAssertionFailsTheRunningTest) {
  EXPECT_NONFATAL_FAILURE(wxFAIL_MSG("provoked in a test"), "provoked in a test");
}

}  // namespace
}  // namespace veradex
