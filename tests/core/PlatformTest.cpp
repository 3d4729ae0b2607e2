#include <gtest/gtest.h>
#include <unistd.h>
#include <wx/string.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/Cp949.h"
#include "platform/ExecutablePath.h"
#include "platform/LockedRandom.h"
#include "platform/SingleInstanceGuard.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

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
}

}  // namespace
}  // namespace veradex
