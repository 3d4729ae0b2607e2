#include <gtest/gtest.h>
#include <sys/stat.h>
#include <wx/string.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Cp949.h"
#include "platform/UserFolders.h"
#include "profile/ConfigProfileStore.h"
#include "profile/PersonalProfile.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;

// CP949 bytes of a UTF-8 literal.
std::string K(const char* utf8) {
  std::string out;
  EXPECT_TRUE(Cp949::FromWx(wxString::FromUTF8(utf8), &out)) << utf8;
  return out;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

TEST(ConfigProfileStore, FreshProfileReadsDefaultsAndCreatesNothing) {
  TempDir dir;
  ConfigProfileStore store("veradex", dir.Path() + "/Ambrel");
  EXPECT_EQ(store.FilePath(), dir.Path() + "/Ambrel/veradex.conf");
  EXPECT_EQ(store.GetProfileString("Options", "Name"), "");
  EXPECT_EQ(store.GetProfileString("environments", "setup", "default"), "default");
  EXPECT_FALSE(store.GetProfileFlag("environments", "use_pw"));
  EXPECT_FALSE(store.WasDamaged());
  EXPECT_FALSE(fs::exists(store.FilePath()));
}

TEST(ConfigProfileStore, AwkwardTextsComeBackByteForByteAfterARestart) {
  TempDir dir;
  const std::vector<std::string> values = {
      K("홍길동"),
      "  leading blanks",
      "trailing blanks  ",
      " ",
      "\t tab and blank \t",
      "\"quoted\"",
      "\"",
      "say \"hi\"",
      "C:\\dir\\sub\\",
      "\\",
      "a=b=c",
      "#not a comment",
      ";not a comment either",
      "[Options]",
      "line one\nline two",
      "crlf\r\nend",
      "\r",
      "$HOME and ${USER} and %PATH%",
      K(" 서울시 강남구 \"테헤란로\" 123 "),
      K("기타"),
      "",
  };
  {
    ConfigProfileStore store("veradex", dir.Path());
    for (std::size_t i = 0; i < values.size(); ++i)
      EXPECT_TRUE(store.WriteProfileString("Options", "v" + std::to_string(i), values[i])) << i;
    // The same run reads back what it wrote.
    for (std::size_t i = 0; i < values.size(); ++i)
      EXPECT_EQ(store.GetProfileString("Options", "v" + std::to_string(i), "missing"), values[i]) << i;
  }
  ConfigProfileStore reopened("veradex", dir.Path());
  EXPECT_FALSE(reopened.WasDamaged());
  for (std::size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(reopened.GetProfileString("Options", "v" + std::to_string(i), "missing"), values[i]) << i;

  // The file is UTF-8 text with the sections by name, readable by a person.
  const std::string file = ReadFileBytes(reopened.FilePath());
  EXPECT_NE(file.find("[Options]\n"), std::string::npos);
  EXPECT_NE(file.find("v0=홍길동\n"), std::string::npos) << file;
  EXPECT_FALSE(wxString::FromUTF8(file.data(), file.size()).empty());
}

TEST(ConfigProfileStore, EveryCp949CharacterRoundTrips) {
  // All double-byte characters the code page defines, in one value.
  std::string all;
  std::size_t count = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x41; trail <= 0xFE; ++trail) {
      const std::string character{static_cast<char>(lead), static_cast<char>(trail)};
      std::string back;
      if (!Cp949::FromWx(Cp949::ToWx(character), &back) || back != character) continue;
      all += character;
      ++count;
    }
  }
  ASSERT_GT(count, 17000u);  // 8,822 hangul syllables in the extension, 2,350 + 4,888 hanja + symbols
  all += " ~\x7F";
  TempDir dir;
  { ConfigProfileStore("veradex", dir.Path()).WriteProfileString("Options", "Name", all); }
  EXPECT_EQ(ConfigProfileStore("veradex", dir.Path()).GetProfileString("Options", "Name"), all);
}

TEST(ConfigProfileStore, TextThatIsNotWholeCharactersIsRefusedAndTheOldValueStays) {
  TempDir dir;
  ConfigProfileStore store("veradex", dir.Path());
  ASSERT_TRUE(store.WriteProfileString("Options", "Name", K("김")));
  EXPECT_FALSE(store.WriteProfileString("Options", "Name", "\xB1"));   // half a character
  EXPECT_FALSE(store.WriteProfileString("Options", "Name", "a\x80"));  // not a character at all
  EXPECT_EQ(ConfigProfileStore("veradex", dir.Path()).GetProfileString("Options", "Name"), K("김"));
}

TEST(ConfigProfileStore, EmptyValuesExistAndNothingIsDeleted) {
  TempDir dir;
  {
    ConfigProfileStore store("veradex", dir.Path());
    store.WriteProfileString("environments", "use_pw", "1");
    store.WriteProfileString("environments", "use_pw", "");
    store.WriteProfileString("environments", "run_at_sysstart", "0");
    store.WriteProfileString("environments", "hide_at_run", " ");
  }
  ConfigProfileStore store("veradex", dir.Path());
  // Written empty: present, empty, off; not the caller's default.
  EXPECT_EQ(store.GetProfileString("environments", "use_pw", "default"), "");
  EXPECT_FALSE(store.GetProfileFlag("environments", "use_pw"));
  // Any non-empty text is on, even "0" and a blank.
  EXPECT_TRUE(store.GetProfileFlag("environments", "run_at_sysstart"));
  EXPECT_TRUE(store.GetProfileFlag("environments", "hide_at_run"));
  EXPECT_NE(ReadFileBytes(store.FilePath()).find("[environments]\n"), std::string::npos);
}

TEST(ConfigProfileStore, BinaryValuesIncludingTheEmptyPassword) {
  TempDir dir;
  {
    ConfigProfileStore store("veradex", dir.Path());
    EXPECT_TRUE(store.WriteProfileBinary("Options", "Password", ""));
    EXPECT_TRUE(store.WriteProfileBinary("Options", "Blob", std::string("\0\x01\xFF=\n", 5)));
  }
  ConfigProfileStore store("veradex", dir.Path());
  std::string bytes = "not read";
  EXPECT_TRUE(store.GetProfileBinary("Options", "Password", &bytes));
  EXPECT_EQ(bytes, "");
  EXPECT_TRUE(store.GetProfileBinary("Options", "Blob", &bytes));
  EXPECT_EQ(bytes, std::string("\0\x01\xFF=\n", 5));
  EXPECT_FALSE(store.GetProfileBinary("Options", "Missing", &bytes));
}

TEST(ConfigProfileStore, FileIsPrivateAndWritesLeaveNoTemporaryFiles) {
  TempDir dir;
  const std::string folder = dir.Path() + "/deeper/Ambrel";
  ConfigProfileStore store("veradex", folder);
  for (int i = 0; i < 20; ++i) store.WriteProfileString("environments", "PW", "secret" + std::to_string(i));
  struct stat info;
  ASSERT_EQ(::stat(store.FilePath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);  // holds the program password
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"veradex.conf"});
  EXPECT_EQ(ConfigProfileStore("veradex", folder).GetProfileString("environments", "PW"), "secret19");
}

// A write replaces the whole file from what the store holds; the value the
// file already holds is not written again, in this run or the next.
TEST(ConfigProfileStore, TheValueAlreadyStoredIsNotWrittenAgain) {
  TempDir dir;
  ConfigProfileStore store("veradex", dir.Path());
  ASSERT_TRUE(store.WriteProfileString("environments", "program_dir", "/opt/veradex/"));
  // A mark the store does not know of: gone once the file is written again.
  { std::ofstream(store.FilePath(), std::ios::app) << "; untouched\n"; }
  const auto untouched = [&] { return ReadFileBytes(store.FilePath()).find("; untouched") != std::string::npos; };
  EXPECT_TRUE(store.WriteProfileString("environments", "program_dir", "/opt/veradex/"));
  EXPECT_TRUE(
      ConfigProfileStore("veradex", dir.Path()).WriteProfileString("environments", "program_dir", "/opt/veradex/"));
  EXPECT_TRUE(untouched());
  EXPECT_TRUE(store.WriteProfileString("environments", "program_dir", "/usr/lib/veradex/"));
  EXPECT_FALSE(untouched());
  EXPECT_EQ(ConfigProfileStore("veradex", dir.Path()).GetProfileString("environments", "program_dir"),
            "/usr/lib/veradex/");
}

TEST(ConfigProfileStore, DamagedFileLoadsWhatItCanAndIsKeptAside) {
  TempDir dir;
  const std::string damaged = std::string("[Options]\n") + "Name=홍길동\n" + "EMail=\xFF\xFE\xFD garbage\n" +
                              "just some words without an equals sign\n" + "Tel1=02\n" +
                              std::string("Tel2=\0\0\0\n", 9) + "[environments\n" + "PW=kept\n" + "[environments]\n" +
                              "setup=1\n";
  dir.Write("veradex.conf", damaged);
  {
    ConfigProfileStore store("veradex", dir.Path());
    EXPECT_TRUE(store.WasDamaged());
    EXPECT_TRUE(store.IsPersistent());
    EXPECT_EQ(store.GetProfileString("Options", "Name"), K("홍길동"));
    EXPECT_EQ(store.GetProfileString("Options", "Tel1"), "02");
    EXPECT_EQ(store.GetProfileString("Options", "EMail", "default"), "default");
    EXPECT_EQ(store.GetProfileString("environments", "setup"), "1");
    // The damaged file is kept whole beside the profile.
    ASSERT_FALSE(store.DamagedCopyPath().empty());
    EXPECT_EQ(fs::path(store.DamagedCopyPath()).parent_path(), fs::path(dir.Path()));
    EXPECT_EQ(fs::path(store.DamagedCopyPath()).filename().string().rfind("veradex.conf.damaged-", 0), 0u);
    EXPECT_EQ(ReadFileBytes(store.DamagedCopyPath()), damaged);
    store.WriteProfileString("environments", "ProPathName", "/opt/veradex/");
  }
  // The profile itself is clean now and keeps everything that was readable.
  ConfigProfileStore reopened("veradex", dir.Path());
  EXPECT_FALSE(reopened.WasDamaged());
  EXPECT_EQ(reopened.GetProfileString("Options", "Name"), K("홍길동"));
  EXPECT_EQ(reopened.GetProfileString("environments", "ProPathName"), "/opt/veradex/");
  EXPECT_EQ(FilesIn(dir.Path()).size(), 2u);

  // A second damaged file never replaces the first kept copy.
  dir.Write("veradex.conf", "\x80\x80\n");
  ConfigProfileStore again("veradex", dir.Path());
  EXPECT_TRUE(again.WasDamaged());
  EXPECT_EQ(FilesIn(dir.Path()).size(), 3u);
}

TEST(ConfigProfileStore, LinesWrittenInCp949AreRecovered) {
  TempDir dir;
  dir.Write("veradex.conf", "[Options]\nName=" + K("홍길동") + "\nMcomTel=" + K("기타") + "\n");
  ConfigProfileStore store("veradex", dir.Path());
  EXPECT_TRUE(store.WasDamaged());  // rewritten as UTF-8, the original kept
  EXPECT_EQ(store.GetProfileString("Options", "Name"), K("홍길동"));
  EXPECT_EQ(ConfigProfileStore("veradex", dir.Path()).GetProfileString("Options", "McomTel"), K("기타"));
}

TEST(ConfigProfileStore, SoundFilesWithCommentsBomAndCrlfAreNotDamage) {
  TempDir dir;
  dir.Write("veradex.conf",
            "\xEF\xBB\xBF# written by hand\r\n[Options]\r\n  ; indented comment\r\nName = 홍길동\r\n\r\n");
  ConfigProfileStore store("veradex", dir.Path());
  EXPECT_FALSE(store.WasDamaged());
  EXPECT_EQ(store.GetProfileString("Options", "Name"), K("홍길동"));
  EXPECT_EQ(FilesIn(dir.Path()).size(), 1u);
}

TEST(ConfigProfileStore, RepeatedSectionsAreMergedAndPathSectionsLeftOut) {
  TempDir dir;
  dir.Write("veradex.conf",
            "[Options]\nName=a\n[environments]\nPW=x\n[OPTIONS]\nEMail=e\n[Opt\\ions]\nTel1=02\n"
            "[a/b]\nTel2=9\n[..]\nTel3=9\n[environments]\nuse_pw=1\nMTel1=0\r10\n");
  {
    ConfigProfileStore store("veradex", dir.Path());
    EXPECT_TRUE(store.WasDamaged());
    EXPECT_EQ(store.GetProfileString("Options", "Name"), "a");
    EXPECT_EQ(store.GetProfileString("Options", "EMail"), "e");
    EXPECT_EQ(store.GetProfileString("Options", "Tel1"), "02");
    EXPECT_EQ(store.GetProfileString("Options", "Tel2", "-"), "-");
    EXPECT_EQ(store.GetProfileString("", "Tel3", "-"), "-");
    EXPECT_EQ(store.GetProfileString("environments", "use_pw"), "1");
    EXPECT_EQ(store.GetProfileString("environments", "MTel1", "-"), "-");  // a lone CR ends a line elsewhere
    EXPECT_TRUE(store.WriteProfileString("Options", "Name", "b"));
  }
  ConfigProfileStore reopened("veradex", dir.Path());
  EXPECT_FALSE(reopened.WasDamaged());
  EXPECT_EQ(reopened.GetProfileString("Options", "Name"), "b");
  EXPECT_EQ(reopened.GetProfileString("environments", "PW"), "x");
}

TEST(ConfigProfileStore, ANameMarkedUnchangeableIsAnOrdinaryValue) {
  // The reader would let nobody change a value whose name begins with '!',
  // and call the change made.
  TempDir dir;
  dir.Write("veradex.conf", "[Options]\n!Name=a\n  \\!!EMail=e\n");
  {
    ConfigProfileStore store("veradex", dir.Path());
    EXPECT_TRUE(store.WasDamaged());
    EXPECT_EQ(store.GetProfileString("Options", "Name"), "a");
    EXPECT_EQ(store.GetProfileString("Options", "EMail"), "e");
    EXPECT_TRUE(store.WriteProfileString("Options", "Name", "b"));
    EXPECT_TRUE(store.WriteProfileString("Options", "EMail", "f"));
  }
  ConfigProfileStore reopened("veradex", dir.Path());
  EXPECT_EQ(reopened.GetProfileString("Options", "Name"), "b");
  EXPECT_EQ(reopened.GetProfileString("Options", "EMail"), "f");
}

TEST(ConfigProfileStore, UnreadableFileIsMovedAsideAndTheProfileStartsAfresh) {
  TempDir dir;
  fs::create_directories(dir.Path() + "/veradex.conf/inside");  // a folder where the file should be
  ConfigProfileStore store("veradex", dir.Path());
  EXPECT_TRUE(store.WasDamaged());
  EXPECT_TRUE(store.IsPersistent());
  ASSERT_FALSE(store.DamagedCopyPath().empty());
  EXPECT_TRUE(fs::is_directory(store.DamagedCopyPath() + "/inside"));
  EXPECT_TRUE(store.WriteProfileString("environments", "setup", "1"));
  EXPECT_EQ(ConfigProfileStore("veradex", dir.Path()).GetProfileString("environments", "setup"), "1");
}

TEST(ConfigProfileStore, PersonalDataKeepsItsBlanksInTheFileButNeverInMemory) {
  test::TempDir dir;
  PersonalProfile p;
  p.name = K("  홍길동 ");
  p.email = "\thong@example.com\r\n";
  p.carrier = K("기타");
  {
    ConfigProfileStore store("veradex", dir.Path());
    p.Save(store);
    std::string password = "x";
    EXPECT_TRUE(store.GetProfileBinary("Options", "Password", &password));
    EXPECT_EQ(password, "");
  }
  ConfigProfileStore restarted("veradex", dir.Path());
  EXPECT_EQ(restarted.GetProfileString("Options", "Name"), K("  홍길동 "));
  EXPECT_EQ(restarted.GetProfileString("Options", "EMail"), "\thong@example.com\r\n");
  PersonalProfile loaded;
  loaded.Load(restarted);
  EXPECT_EQ(loaded.name, K("홍길동"));
  EXPECT_EQ(loaded.email, "hong@example.com");
  EXPECT_EQ(loaded.carrier, p.carrier);
}

TEST(ConfigProfileStore, DefaultFolderIsAmbrelInTheConfigBase) {
  EXPECT_EQ(ConfigProfileStore::DefaultFolder(), UserFolders::Base(UserFolders::Kind::kConfig) + "/Ambrel");
}

}  // namespace
}  // namespace veradex
