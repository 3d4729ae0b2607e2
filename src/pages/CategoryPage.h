#pragma once

#include <cstddef>

namespace veradex {

// One command of the report window that leads to a report form page, or the
// e-mail button beside them: which category it makes current, which template
// it reads and which page it writes, which placeholders it fills, and the
// bitmaps its button carries while its category is current.
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

  // Bitmap resource ids of a button's four states.
  struct Look {
    int normal;
    int pressed;
    int focused;
    int disabled;
  };

  int category;              // 1..6 pages, 7 the e-mail report view
  int control;               // button id in the report window
  const char* templateName;  // nullptr for the e-mail button
  const char* pageName;      // nullptr for the e-mail button
  unsigned tokens;           // TokenSet bits
  Look current;              // the button's look while its category is current

  // Categories.
  static constexpr int kNone = 0;
  static constexpr int kTelephone = 1;
  static constexpr int kEmail = 7;

  // The report-lookup button: search.bak -> search.html (mobile set and the
  // report password), then search_2006.bak -> search_2006.html as it is.
  static constexpr int kLookupControl = 1085;
  static constexpr const char* kLookupTemplate = "search.bak";
  static constexpr const char* kLookupPage = "search.html";
  static constexpr const char* kOldLookupTemplate = "search_2006.bak";
  static constexpr const char* kOldLookupPage = "search_2006.html";
  static constexpr unsigned kLookupTokens = kMobileTokens | kPasswordToken;

  // The policy button: a page of the information site in the user's browser.
  static constexpr int kPolicyControl = 1102;
  static constexpr const char* kPolicyPagePath = "/ambrel/spam/jsp/spam_policy.jsp";
  // The report host's page the report window opens, and whose answers bring
  // a category's page back.
  static constexpr const char* kReportPagePath = "/h_singo/singo.jsp";

  // The seven category buttons, e-mail first, then categories 1 to 6.
  static const CategoryPage* All(std::size_t* count);
  // nullptr when no button has this category (0, out of range).
  static const CategoryPage* ForCategory(int category);
  // nullptr when the control is not a category button.
  static const CategoryPage* ForControl(int control);
};

}  // namespace veradex
