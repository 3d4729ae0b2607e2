#include "pages/CategoryPage.h"

namespace veradex {

namespace {

constexpr unsigned kPersonal = CategoryPage::kPersonalTokens;
constexpr unsigned kMobile = CategoryPage::kMobileTokens;
constexpr unsigned kYear = CategoryPage::kYearTokens;
constexpr unsigned kCarrier = CategoryPage::kCarrierTokens;

const CategoryPage kPages[] = {
    {Category::kEmail, nullptr, nullptr, 0},
    {Category::kTelephone, "PHONE_SPAM.bak", "PHONE_SPAM.html", kPersonal | kMobile | kCarrier},
    {Category::kResentAfterOptOut, "EMAILRETURN_SPAM.bak", "EMAILRETURN_SPAM.html", kPersonal},
    {Category::kBulletinBoard, "BOARD_SPAM.bak", "BOARD_SPAM.HTML", kPersonal | kYear | kCarrier},
    {Category::kElectronicMedia, "Elec_Spam.bak", "Elec_Spam.html", kPersonal | kYear},
    {Category::kFax, "Fax_Spam.bak", "Fax_Spam.html", kPersonal | kYear},
    {Category::kMaliciousCode, "code_spam.bak", "code_spam.html", kPersonal | kYear},
};

}  // namespace

const CategoryPage* CategoryPage::All(std::size_t* count) {
  if (count != nullptr) *count = sizeof(kPages) / sizeof(kPages[0]);
  return kPages;
}

const CategoryPage* CategoryPage::ForCategory(Category category) {
  for (const CategoryPage& page : kPages)
    if (page.category == category) return &page;
  return nullptr;
}

}  // namespace veradex
