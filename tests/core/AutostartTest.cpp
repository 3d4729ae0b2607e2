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

// The user's place of these tests: a folder of its own that does not exist
// yet (the first entry of an account makes it).
std::string UserFolder(const TempDir& dir) { return dir.Path() + "/config/autostart"; }

TEST(Autostart, OnWritesADesktopEntryWithTheQuotedPath) {
  TempDir dir;
  Autostart autostart(dir.Path(), UserFolder(dir), "/opt/veradex/veradex");
  const std::string entryPath = autostart.EntryPath(Autostart::Place::kMachine);
  EXPECT_EQ(entryPath, dir.Path() + "/Veradex.desktop");
  EXPECT_EQ(autostart.ApplyAutostart(1), 1);
  const std::string entry = ReadFileBytes(entryPath);
  EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
  EXPECT_EQ(ValueOf(entry, "Type"), "Application");
  EXPECT_EQ(ValueOf(entry, "Name"), "Veradex");
  EXPECT_EQ(ValueOf(entry, "Exec"), "\"/opt/veradex/veradex\"");
  struct stat info;
  ASSERT_EQ(::stat(entryPath.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);

  // A moved program rewrites the entry with its new path; nothing else is left behind.
  EXPECT_EQ(Autostart(dir.Path(), UserFolder(dir), "/home/user/new place/veradex").ApplyAutostart(1), 1);
  EXPECT_EQ(ValueOf(ReadFileBytes(entryPath), "Exec"), "\"/home/user/new place/veradex\"");
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
    ASSERT_EQ(Autostart(dir.Path(), UserFolder(dir), path).ApplyAutostart(1), 1) << path;
    const std::string exec = ValueOf(ReadFileBytes(dir.Path() + "/Veradex.desktop"), "Exec");
    EXPECT_EQ(ProgramOf(exec), path) << exec;
  }
}

// Which place takes the entry, and that switching off clears both. A folder
// nobody may write is one below a regular file: that stops root too, and the
// tests run as root in CI.
TEST(Autostart, TheMachinesPlaceWhenWritableElseTheUsersAndOffClearsBoth) {
  struct Case {
    const char* name;
    bool machineWritable;
    bool userWritable;
    bool userEntryBefore;  // left from an earlier run without the machine's right
    int onResult;
    bool machineEntryAfter;
    bool userEntryAfter;
  };
  const Case cases[] = {
      {"machine writable: one entry there, the user's dropped", true, true, true, 1, true, false},
      {"machine refused: the user's entry, its folder made", false, true, false, 1, false, true},
      {"machine refused: the user's entry rewritten", false, true, true, 1, false, true},
      {"neither writable: failure, nothing written", false, false, false, 0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    dir.Write("not-a-folder", "");
    const std::string blocked = dir.Path() + "/not-a-folder/autostart";
    const std::string machine = c.machineWritable ? dir.Path() + "/machine" : blocked;
    const std::string user = c.userWritable ? UserFolder(dir) : blocked;
    if (c.machineWritable) fs::create_directories(machine);
    if (c.userEntryBefore) dir.Write("config/autostart/Veradex.desktop", "[Desktop Entry]\nExec=\"/old/veradex\"\n");
    const Autostart autostart(machine, user, "/opt/veradex/veradex");

    EXPECT_EQ(autostart.ApplyAutostart(1), c.onResult);
    const std::string machineEntry = autostart.EntryPath(Autostart::Place::kMachine);
    const std::string userEntry = autostart.EntryPath(Autostart::Place::kUser);
    EXPECT_EQ(fs::exists(machineEntry), c.machineEntryAfter);
    EXPECT_EQ(fs::exists(userEntry), c.userEntryAfter);
    EXPECT_EQ(autostart.IsRegistered(), c.machineEntryAfter || c.userEntryAfter);
    const std::string written = c.machineEntryAfter ? machineEntry : userEntry;
    if (c.machineEntryAfter || c.userEntryAfter) {
      EXPECT_EQ(ValueOf(ReadFileBytes(written), "Exec"), "\"/opt/veradex/veradex\"");
    }

    // Off: an entry in either place would still start the program. Make sure
    // both are there when both can be, then switch off.
    if (c.machineWritable && c.userWritable) dir.Write("config/autostart/Veradex.desktop", "[Desktop Entry]\n");
    EXPECT_EQ(autostart.ApplyAutostart(0), c.onResult);
    EXPECT_FALSE(fs::exists(machineEntry));
    EXPECT_FALSE(fs::exists(userEntry));
    EXPECT_FALSE(autostart.IsRegistered());
  }
}

TEST(Autostart, OffReportsFailureWhenThereIsNothingToDeleteAndOnlyOneMeansOn) {
  TempDir dir;
  Autostart autostart(dir.Path(), UserFolder(dir), "/opt/veradex/veradex");
  EXPECT_EQ(autostart.ApplyAutostart(0), 0);
  ASSERT_EQ(autostart.ApplyAutostart(1), 1);
  EXPECT_EQ(autostart.ApplyAutostart(2), 1);
  EXPECT_FALSE(autostart.IsRegistered());
}

TEST(Autostart, MissingMachineFolderIsNotMadeAndAnUnknownProgramWritesNothing) {
  TempDir dir;
  const std::string missing = dir.Path() + "/no such folder";
  EXPECT_EQ(Autostart(missing, UserFolder(dir), "/opt/veradex/veradex").ApplyAutostart(1), 1);
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_TRUE(fs::exists(UserFolder(dir) + "/Veradex.desktop"));
  EXPECT_EQ(Autostart(missing, UserFolder(dir), "/opt/veradex/veradex").ApplyAutostart(0), 1);

  EXPECT_EQ(Autostart(dir.Path(), UserFolder(dir), "").ApplyAutostart(1), 0);
  EXPECT_FALSE(fs::exists(dir.Path() + "/Veradex.desktop"));
  EXPECT_FALSE(fs::exists(UserFolder(dir) + "/Veradex.desktop"));
}

TEST(Autostart, TheMachinesFolderUnlessTheTestsRedirectItAndTheUsersBelowTheConfigFolder) {
  {
    test::ScopedVariable unset("VERADEX_AUTOSTART_DIR", nullptr);
    EXPECT_EQ(Autostart::DefaultFolderForThisRun(), "/etc/xdg/autostart");
  }
  test::ScopedVariable set("VERADEX_AUTOSTART_DIR", "/tmp/x");
  EXPECT_EQ(Autostart::DefaultFolderForThisRun(), "/tmp/x");

  test::ScopedVariable home("HOME", "/home/hong");
  {
    test::ScopedVariable config("XDG_CONFIG_HOME", "/tmp/config");
    EXPECT_EQ(Autostart::UserFolderForThisRun(), "/tmp/config/autostart");
  }
  test::ScopedVariable relative("XDG_CONFIG_HOME", "config");
  EXPECT_EQ(Autostart::UserFolderForThisRun(), "/home/hong/.config/autostart");
}

}  // namespace
}  // namespace veradex
