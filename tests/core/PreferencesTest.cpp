#include <gtest/gtest.h>

#include <string>

#include "platform/Cp949.h"
#include "profile/MemoryProfileStore.h"
#include "profile/Preferences.h"
#include "profile/ProgramPassword.h"

namespace veradex {
namespace {

TEST(Preferences, FlagsReadAnyTextAsOnAndAreWrittenAsOneOrEmpty) {
  MemoryProfileStore store;
  EXPECT_FALSE(Preferences::Load(store).hideAtRun);
  store.WriteProfileString(profile::kEnvironments, "hide_at_run", "0");  // any text is on
  store.WriteProfileString(profile::kEnvironments, "use_pw", "");
  store.WriteProfileString(profile::kEnvironments, "run_at_sysstart", "yes");
  store.WriteProfileString(profile::kEnvironments, "ProPathName", Cp949::FromUtf8("/opt/프로그램/"));
  Preferences loaded = Preferences::Load(store);
  EXPECT_TRUE(loaded.hideAtRun);
  EXPECT_FALSE(loaded.usePassword);
  EXPECT_TRUE(loaded.runAtStart);
  EXPECT_EQ(loaded.programDir, Cp949::FromUtf8("/opt/프로그램/"));

  loaded.hideAtRun = false;
  loaded.usePassword = true;
  loaded.programDir = "/elsewhere/";
  ASSERT_TRUE(loaded.Save(store));
  const auto value = [&store](const char* entry) { return store.GetProfileString(profile::kEnvironments, entry, "-"); };
  EXPECT_EQ(value("hide_at_run"), "");
  EXPECT_EQ(value("use_pw"), "1");
  EXPECT_EQ(value("run_at_sysstart"), "1");
  // The program folder is start-up's to write, never the settings'.
  EXPECT_EQ(value("ProPathName"), Cp949::FromUtf8("/opt/프로그램/"));
  ASSERT_TRUE(loaded.SaveProgramDir(store));
  EXPECT_EQ(Preferences::Load(store).programDir, "/elsewhere/");
}

TEST(ProgramPassword, SetUpOnceAndComparedExactly) {
  MemoryProfileStore store;
  ProgramPassword password(store);
  EXPECT_FALSE(password.IsSet());
  EXPECT_TRUE(password.Matches(""));  // nothing stored reads as empty

  ASSERT_TRUE(password.Set(Cp949::FromUtf8("암호Ab")));
  EXPECT_FALSE(password.IsSet());  // only the mark tells the set-up is done
  ASSERT_TRUE(password.MarkSetUp());
  EXPECT_TRUE(password.IsSet());
  EXPECT_EQ(store.GetProfileString(profile::kEnvironments, "PW"), Cp949::FromUtf8("암호Ab"));
  EXPECT_EQ(store.GetProfileString(profile::kEnvironments, "setup"), "1");

  EXPECT_TRUE(password.Matches(Cp949::FromUtf8("암호Ab")));
  for (const char* wrong : {"암호ab", "암호Ab ", " 암호Ab", ""})
    EXPECT_FALSE(password.Matches(Cp949::FromUtf8(wrong))) << wrong;
}

}  // namespace
}  // namespace veradex
