#include <gtest/gtest.h>
#include <wx/string.h>

#include <string>
#include <vector>

#include "platform/Cp949.h"
#include "profile/MemoryProfileStore.h"
#include "profile/PersonalProfile.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

std::string K(const char* utf8) { return Cp949::FromWxLossy(wxString::FromUTF8(utf8)); }

// Remembers the order of the writes.
class OrderedStore : public MemoryProfileStore {
 public:
  std::vector<std::string> writes;
  bool WriteProfileString(const std::string& section, const std::string& entry, const std::string& text) override {
    writes.push_back(section + "/" + entry);
    return MemoryProfileStore::WriteProfileString(section, entry, text);
  }
  bool WriteProfileBinary(const std::string& section, const std::string& entry, const std::string& bytes) override {
    writes.push_back(section + "/" + entry + " (binary)");
    return MemoryProfileStore::WriteProfileBinary(section, entry, bytes);
  }
};

PersonalProfile Sample() {
  PersonalProfile p;
  p.name = K("  홍길동 ");
  p.email = "\thong@example.com\r\n";
  p.tel1 = " 02";
  p.tel2 = "1234 ";
  p.tel3 = "5678";
  p.mtel1 = "010";
  p.mtel2 = " 9876";
  p.mtel3 = "5432\n";
  p.carrier = K("기타 ");
  p.reportPassword = " pass word ";
  return p;
}

TEST(PersonalProfile, SaveWritesUntrimmedTextInOrderThenTheEmptyPassword) {
  OrderedStore store;
  PersonalProfile p = Sample();
  p.Save(store);
  EXPECT_EQ(store.writes,
            (std::vector<std::string>{"Options/Name", "Options/EMail", "Options/Tel1", "Options/Tel2", "Options/Tel3",
                                      "Options/MTel1", "Options/MTel2", "Options/MTel3", "Options/McomTel",
                                      "Options/singo_pw", "Options/Password (binary)"}));
  // The store keeps what was typed; memory holds the trimmed text.
  EXPECT_EQ(store.GetProfileString("Options", "Name"), K("  홍길동 "));
  EXPECT_EQ(store.GetProfileString("Options", "MTel3"), "5432\n");
  EXPECT_EQ(store.GetProfileString("Options", "singo_pw"), " pass word ");
  EXPECT_EQ(p.name, K("홍길동"));
  EXPECT_EQ(p.email, "hong@example.com");
  EXPECT_EQ(p.carrier, K("기타"));
  EXPECT_EQ(p.reportPassword, "pass word");  // inner blanks stay
  EXPECT_TRUE(store.HasBinary("Options", "Password"));
  EXPECT_EQ(store.GetBinary("Options", "Password"), "");
}

TEST(PersonalProfile, LoadTrimsEveryFieldAndEmptiesTheLegacyPassword) {
  MemoryProfileStore store;
  Sample().Save(store);
  PersonalProfile p;
  p.legacyPassword = "old";
  p.Load(store);
  EXPECT_EQ(p.name, K("홍길동"));
  EXPECT_EQ(p.tel1, "02");
  EXPECT_EQ(p.tel2, "1234");
  EXPECT_EQ(p.mtel2, "9876");
  EXPECT_EQ(p.mtel3, "5432");
  EXPECT_EQ(p.reportPassword, "pass word");
  EXPECT_EQ(p.legacyPassword, "");

  // A fresh user: every field empty.
  PersonalProfile fresh;
  fresh.name = "stale";
  fresh.Load(MemoryProfileStore());
  EXPECT_EQ(fresh.name, "");
  EXPECT_EQ(fresh.carrier, "");
}

}  // namespace
}  // namespace veradex
