#include "pages/CategoryPageController.h"

#include "pages/CategoryPage.h"
#include "pages/CategoryPageHost.h"
#include "platform/MessageSink.h"
#include "profile/PersonalProfile.h"
#include "profile/ServerSettings.h"

namespace veradex {

CategoryPageController::CategoryPageController(CategoryPageHost& host, CategoryPages& pages)
    : CategoryPageController(host, pages, PersonalProfile::Global(), nullptr, CategoryNavigationState::Process()) {}

CategoryPageController::CategoryPageController(CategoryPageHost& host, CategoryPages& pages,
                                               const PersonalProfile& profile, MessageSink* sink,
                                               CategoryNavigationState& state)
    : host_(host), pages_(pages), profile_(profile), sink_(sink), state_(state) {}

void CategoryPageController::ShowCategory(Category category) {
  if (category == Category::kEmail)
    ShowEmailReport();
  else
    RenderCategoryPage(category);
}

bool CategoryPageController::RenderCategoryPage(Category category) {
  const CategoryPage* page = CategoryPage::ForCategory(category);
  if (page == nullptr || page->templateName == nullptr) return false;
  const CategoryPages::Result result = pages_.RenderCategoryPage(category, profile_);
  if (!result.ok) {
    (sink_ != nullptr ? *sink_ : MessageSink::Current()).ShowMessage(result.message, kStyleStop);
    return false;
  }
  // The category (and with it the button's current look) only once the page
  // exists: a failed command leaves both as they were.
  host_.SetCategory(category);
  host_.Navigate(CategoryPages::PageUrl(result.path));
  host_.ShowView(View::kBrowser);
  return true;
}

bool CategoryPageController::ShowLookupPage() {
  const CategoryPages::Result result = pages_.RenderLookupPages(profile_);
  if (!result.ok) {
    (sink_ != nullptr ? *sink_ : MessageSink::Current()).ShowMessage(result.message, kStyleStop);
    return false;
  }
  host_.Navigate(CategoryPages::PageUrl(result.path));
  host_.ShowView(View::kBrowser);
  return true;
}

void CategoryPageController::ShowEmailReport() {
  host_.SetCategory(Category::kEmail);
  host_.ShowView(View::kEmailReport);
}

void CategoryPageController::OpenPolicyPage() {
  host_.OpenInDefaultBrowser(ServerSettings::Current().InfoUrl(CategoryPage::kPolicyPagePath));
}

void CategoryPageController::RefreshCategoryPage() {
  host_.TransferFieldsToControls();
  const Category category = host_.GetCategory();
  if (category == Category::kEmail)
    host_.ShowView(View::kEmailReport);
  else if (category != Category::kNone)
    RenderCategoryPage(category);
}

void CategoryPageController::OnNavigateComplete(const std::string& url) {
  if (state_.OnNavigateComplete(url, ReportPageUrl())) RenderCategoryPage(Category::kTelephone);
  const Category category = host_.GetCategory();
  if (category != Category::kNone) state_.NoteLocationName(category, host_.GetLocationName());
}

void CategoryPageController::OnDocumentComplete() {
  const Category category = host_.GetCategory();
  if (state_.OnDocumentComplete(category)) ShowCategory(category);
}

std::string CategoryPageController::ReportPageUrl() {
  return ServerSettings::Current().ReportUrl(CategoryPage::kReportPagePath);
}

}  // namespace veradex
