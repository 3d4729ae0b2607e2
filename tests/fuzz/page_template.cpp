// A report form template filled with the personal data: the template and
// every value come from the input (cut by SplitFields), all placeholder
// groups on. The values land HTML-escaped, so no value may bring a raw '<'
// or '"' into the page that the template did not have.
#include <algorithm>

#include "FuzzSupport.h"
#include "pages/CategoryPage.h"
#include "pages/PageTemplate.h"
#include "profile/PersonalProfile.h"

using namespace veradex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string fields[12];
  fuzz::SplitFields(data, size, fields, 12);
  PersonalProfile profile;
  std::string* values[] = {&profile.name,  &profile.email, &profile.tel1,  &profile.tel2,    &profile.tel3,
                           &profile.mtel1, &profile.mtel2, &profile.mtel3, &profile.carrier, &profile.reportPassword};
  for (int i = 0; i < 10; ++i) *values[i] = fields[i + 1];
  const std::string& text = fields[0];
  const unsigned all = CategoryPage::kContactTokens | CategoryPage::kMobileTokens | CategoryPage::kPasswordToken |
                       CategoryPage::kYearTokens | CategoryPage::kCarrierTokens;
  const std::string page = PageTemplate::Fill(text, all, profile, 2026, fields[11]);
  const auto count = [](const std::string& s, char c) { return std::count(s.begin(), s.end(), c); };
  fuzz::Require(count(page, '<') == count(text, '<') && count(page, '"') == count(text, '"'), "values come in escaped");
  return 0;
}
