#pragma once

#include <cstddef>

namespace veradex {

// Which category button of the report window is current. The values are the
// ones the report window has always used: none yet, the six kinds of spam
// reported through a page, and e-mail spam (the e-mail report view).
enum class Category : int {
  kNone = 0,
  kTelephone = 1,
  kResentAfterOptOut = 2,
  kBulletinBoard = 3,
  kElectronicMedia = 4,
  kFax = 5,
  kMaliciousCode = 6,
  kEmail = 7,
};

// One category of the report window and its report form page: which
// template it reads, which page it writes and which placeholders it fills.
// The e-mail category has no page. The window's buttons (their ids and
// images) are the user interface's business.
class CategoryPage {
 public:
  // Groups of placeholders, filled in the order of the bits.
  enum TokenSet : unsigned {
    kContactTokens = 1u << 0,  // __name__ __email__ __tel1__ __tel2__ __tel3__
    kMobileTokens = 1u << 1,   // __mtel1__ __mtel2__ __mtel3__
    kPasswordToken = 1u << 2,  // __singo_pw__
    kYearTokens = 1u << 3,     // __now_year__ __before_year__ __the_before_year__
    kCarrierTokens = 1u << 4,  // __SKT__ __LGT__ __KT__ __ETC__
    kPersonalTokens = kContactTokens | kPasswordToken,
  };

  Category category;
  const char* templateName;  // nullptr for the e-mail category
  const char* pageName;      // nullptr for the e-mail category
  unsigned tokens;           // TokenSet bits

  // The report-lookup command: search.bak -> search.html (mobile set and the
  // report password), then search_2006.bak -> search_2006.html as it is.
  static constexpr const char* kLookupTemplate = "search.bak";
  static constexpr const char* kLookupPage = "search.html";
  static constexpr const char* kOldLookupTemplate = "search_2006.bak";
  static constexpr const char* kOldLookupPage = "search_2006.html";
  static constexpr unsigned kLookupTokens = kMobileTokens | kPasswordToken;

  // The policy command: a page of the information site in the user's browser.
  static constexpr const char* kPolicyPagePath = "/ambrel/spam/jsp/spam_policy.jsp";
  // The report host's page the report window opens, and whose answers bring
  // a category's page back.
  static constexpr const char* kReportPagePath = "/h_singo/singo.jsp";

  // The seven categories in the order of their buttons: e-mail first, then
  // categories 1 to 6.
  static const CategoryPage* All(std::size_t* count);
  // nullptr for Category::kNone (and values outside the enumeration).
  static const CategoryPage* ForCategory(Category category);
};

}  // namespace veradex
