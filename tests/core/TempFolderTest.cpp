#include <gtest/gtest.h>
#include <wx/string.h>

#include <cstdlib>
#include <filesystem>

#include "platform/Cp949.h"
#include "platform/NativePath.h"
#include "platform/TempFolder.h"
#include "support/ScopedVariable.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

namespace fs = std::filesystem;

TEST(TempFolder, EmptyingDeletesTheFilesAndKeepsFoldersAndWhatLinksPointTo) {
  test::TempDir dir;
  dir.Write("temp/a.eml", "a");
  dir.Write("temp/.hidden", "h");
  dir.Write("temp/sub/deep.eml", "d");
  dir.Write("outside/precious.txt", "p");
  fs::create_directory_symlink(dir.File("outside"), dir.File("temp/link-to-folder"));
  fs::create_symlink(dir.File("outside/precious.txt"), dir.File("temp/link-to-file"));

  EXPECT_EQ(TempFolder::EmptyFiles(dir.Path() + "/"), 4);
  EXPECT_FALSE(fs::exists(dir.File("temp/a.eml")));
  EXPECT_FALSE(fs::exists(dir.File("temp/.hidden")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.File("temp/link-to-folder"))));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.File("temp/link-to-file"))));
  EXPECT_TRUE(fs::exists(dir.File("temp/sub/deep.eml")));
  EXPECT_TRUE(fs::exists(dir.File("outside/precious.txt")));
  EXPECT_TRUE(fs::is_directory(dir.File("temp")));
}

TEST(TempFolder, KoreanProgramDirectoryMissingFolderAndEmptyDirectory) {
  test::TempDir dir;
  const std::string korean = dir.Path() + "/설치 폴더/";
  dir.Write("설치 폴더/temp/메일.eml", "m");
  const std::string programDir = Cp949::FromWxLossy(wxString::FromUTF8(korean.c_str()));
  EXPECT_EQ(TempFolder::PathOf(programDir), programDir + "temp" + NativePath::kSeparator);
  EXPECT_EQ(TempFolder::EmptyFiles(programDir), 1);
  EXPECT_FALSE(fs::exists(dir.File("설치 폴더/temp/메일.eml")));

  EXPECT_EQ(TempFolder::EmptyFiles(dir.Path() + "/nowhere/"), 0);
  // An empty directory would mean "temp/" below wherever the program was
  // started from: nothing is touched.
  EXPECT_EQ(TempFolder::EmptyFiles(""), 0);
}

#ifndef _WIN32
// Beside a program that may write its folder the temp folder is "temp"; an
// installed program's folder belongs to the system, and captured mail then
// waits (and is emptied) in the user's cache folder.
TEST(TempFolder, BesideTheProgramWhenWritableElseInTheUsersCache) {
  test::TempDir dir;
  EXPECT_EQ(TempFolder::PathOf(dir.Path() + "/"), dir.Path() + "/temp" + NativePath::kSeparator);
  EXPECT_TRUE(fs::is_directory(dir.File("temp")));

  // A folder below a plain file cannot be made, even by root.
  dir.Write("program", "not a folder");
  const std::string cache = dir.File("cache");
  test::ScopedVariable cacheHome("XDG_CACHE_HOME", cache.c_str());
  const std::string own = TempFolder::PathOf(dir.File("program") + "/");
  EXPECT_EQ(own, cache + "/Ambrel/veradex/temp/");
  EXPECT_TRUE(fs::is_directory(own));
  dir.Write("cache/Ambrel/veradex/temp/captured01A3.eml", "mail");
  EXPECT_EQ(TempFolder::EmptyFiles(dir.File("program") + "/"), 1);
}
#endif

}  // namespace
}  // namespace veradex
