#include <gtest/gtest.h>
#include <wx/string.h>

#include <filesystem>

#include "platform/Cp949.h"
#include "platform/TempFolder.h"
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
  EXPECT_EQ(TempFolder::PathOf(programDir), programDir + "temp/");
  EXPECT_EQ(TempFolder::EmptyFiles(programDir), 1);
  EXPECT_FALSE(fs::exists(dir.File("설치 폴더/temp/메일.eml")));

  EXPECT_EQ(TempFolder::EmptyFiles(dir.Path() + "/nowhere/"), 0);
  // An empty directory would mean "temp/" below wherever the program was
  // started from: nothing is touched.
  EXPECT_EQ(TempFolder::EmptyFiles(""), 0);
}

}  // namespace
}  // namespace veradex
