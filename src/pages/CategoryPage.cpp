#include "pages/CategoryPage.h"

namespace veradex {

namespace {

constexpr unsigned kPersonal = CategoryPage::kPersonalTokens;
constexpr unsigned kMobile = CategoryPage::kMobileTokens;
constexpr unsigned kYear = CategoryPage::kYearTokens;
constexpr unsigned kCarrier = CategoryPage::kCarrierTokens;

const CategoryPage kPages[] = {
    {7, 1094, nullptr, nullptr, 0, {208, 209, 208, 210}},
    {1, 1095, "PHONE_SPAM.bak", "PHONE_SPAM.html", kPersonal | kMobile | kCarrier, {224, 213, 224, 214}},
    {2, 1096, "EMAILRETURN_SPAM.bak", "EMAILRETURN_SPAM.html", kPersonal, {230, 225, 230, 228}},
    {3, 1097, "BOARD_SPAM.bak", "BOARD_SPAM.HTML", kPersonal | kYear | kCarrier, {234, 231, 234, 232}},
    {4, 1098, "Elec_Spam.bak", "Elec_Spam.html", kPersonal | kYear, {252, 237, 252, 238}},
    {5, 1100, "Fax_Spam.bak", "Fax_Spam.html", kPersonal | kYear, {261, 253, 261, 254}},
    {6, 1101, "code_spam.bak", "code_spam.html", kPersonal | kYear, {212, 263, 212, 264}},
};

}  // namespace

const CategoryPage* CategoryPage::All(std::size_t* count) {
  if (count != nullptr) *count = sizeof(kPages) / sizeof(kPages[0]);
  return kPages;
}

const CategoryPage* CategoryPage::ForCategory(int category) {
  for (const CategoryPage& page : kPages)
    if (page.category == category) return &page;
  return nullptr;
}

const CategoryPage* CategoryPage::ForControl(int control) {
  for (const CategoryPage& page : kPages)
    if (page.control == control) return &page;
  return nullptr;
}

}  // namespace veradex
