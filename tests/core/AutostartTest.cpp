#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/Autostart.h"
#include "support/ScopedVariable.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;

std::string ValueOf(const std::string& entry, const std::string& key) {
  const std::string prefix = "\n" + key + "=";
  const auto start = entry.find(prefix);
  if (start == std::string::npos) return "<missing>";
  const auto end = entry.find('\n', start + 1);
  return entry.substr(start + prefix.size(), end - start - prefix.size());
}

// Reads an Exec value back the way a desktop session does: first the string
// escapes of the entry, then one double-quoted argument with its escapes.
std::string ProgramOf(const std::string& execValue) {
  std::string value;
  for (std::size_t i = 0; i < execValue.size(); ++i) {
    if (execValue[i] == '\\' && i + 1 < execValue.size()) {
      const char c = execValue[++i];
      value += c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c == 's' ? ' ' : c;
    } else {
      value += execValue[i];
    }
  }
  if (value.size() < 2 || value.front() != '"' || value.back() != '"') return "<not quoted>";
  std::string program;
  for (std::size_t i = 1; i + 1 < value.size(); ++i) {
    if (value[i] == '\\')
      ++i;
    else if (value[i] == '%')
      ++i;  // "%%" is one percent sign
    program += value[i];
  }
  return program;
}

TEST(Autostart, OnWritesADesktopEntryWithTheQuotedPath) {
  TempDir dir;
  Autostart autostart(dir.Path(), "/opt/veradex/veradex");
  EXPECT_EQ(autostart.EntryPath(), dir.Path() + "/Veradex.desktop");
  EXPECT_EQ(autostart.ApplyAutostart(1), 1);
  const std::string entry = ReadFileBytes(autostart.EntryPath());
  EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
  EXPECT_EQ(ValueOf(entry, "Type"), "Application");
  EXPECT_EQ(ValueOf(entry, "Name"), "Veradex");
  EXPECT_EQ(ValueOf(entry, "Exec"), "\"/opt/veradex/veradex\"");
  struct stat info;
  ASSERT_EQ(::stat(autostart.EntryPath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);

  // A moved program rewrites the entry with its new path; nothing else is left behind.
  EXPECT_EQ(Autostart(dir.Path(), "/home/user/new place/veradex").ApplyAutostart(1), 1);
  EXPECT_EQ(ValueOf(ReadFileBytes(autostart.EntryPath()), "Exec"), "\"/home/user/new place/veradex\"");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(Autostart, QuotingFollowsTheRuleAndSurvivesAwkwardPaths) {
  EXPECT_EQ(Autostart::QuotedCommand("/a/b"), "\"/a/b\"");
  EXPECT_EQ(Autostart::QuotedCommand(""), "");
  // Already quoted: unchanged, no second pair.
  EXPECT_EQ(Autostart::QuotedCommand("\"/a/b\""), "\"/a/b\"");
  EXPECT_EQ(Autostart::QuotedCommand("\"/a/b"), "\"/a/b");

  TempDir dir;
  for (const std::string path : {"/opt/새 폴더/veradex", "/opt/$HOME/`x`/veradex", "/opt/100%/veradex",
                                 "/opt/back\\slash/\"q\"/veradex", "/opt/tab\there/veradex"}) {
    ASSERT_EQ(Autostart(dir.Path(), path).ApplyAutostart(1), 1) << path;
    const std::string exec = ValueOf(ReadFileBytes(dir.Path() + "/Veradex.desktop"), "Exec");
    EXPECT_EQ(ProgramOf(exec), path) << exec;
  }
}

TEST(Autostart, OffDeletesAndReportsFailureWhenThereIsNothingToDelete) {
  TempDir dir;
  Autostart autostart(dir.Path(), "/opt/veradex/veradex");
  ASSERT_EQ(autostart.ApplyAutostart(1), 1);
  EXPECT_EQ(autostart.ApplyAutostart(0), 1);
  EXPECT_FALSE(fs::exists(autostart.EntryPath()));
  EXPECT_EQ(autostart.ApplyAutostart(0), 0);
  // Only 1 means on.
  ASSERT_EQ(autostart.ApplyAutostart(1), 1);
  EXPECT_EQ(autostart.ApplyAutostart(2), 1);
  EXPECT_FALSE(fs::exists(autostart.EntryPath()));
}

TEST(Autostart, MissingFolderOrUnknownProgramFailsWithoutWriting) {
  TempDir dir;
  const std::string missing = dir.Path() + "/no such folder";
  EXPECT_EQ(Autostart(missing, "/opt/veradex/veradex").ApplyAutostart(1), 0);
  EXPECT_EQ(Autostart(missing, "/opt/veradex/veradex").ApplyAutostart(0), 0);
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_EQ(Autostart(dir.Path(), "").ApplyAutostart(1), 0);
  EXPECT_FALSE(fs::exists(dir.Path() + "/Veradex.desktop"));
}

TEST(Autostart, DefaultFolderIsTheMachinesUnlessTheTestsRedirectIt) {
  {
    test::ScopedVariable unset("VERADEX_AUTOSTART_DIR", nullptr);
    EXPECT_EQ(Autostart::DefaultFolderForThisRun(), "/etc/xdg/autostart");
  }
  test::ScopedVariable set("VERADEX_AUTOSTART_DIR", "/tmp/x");
  EXPECT_EQ(Autostart::DefaultFolderForThisRun(), "/tmp/x");
}

}  // namespace
}  // namespace veradex
