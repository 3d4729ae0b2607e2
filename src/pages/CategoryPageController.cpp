#include "pages/CategoryPageController.h"

#include "pages/CategoryPage.h"
#include "pages/CategoryPageHost.h"
#include "platform/MessageSink.h"
#include "profile/PersonalProfile.h"
#include "profile/ServerSettings.h"

namespace veradex {

namespace {

constexpr int kBrowserView = 0;
constexpr int kEmailView = 5;

}  // namespace

CategoryPageController::CategoryPageController(CategoryPageHost& host, CategoryPages& pages)
    : CategoryPageController(host, pages, PersonalProfile::Global(), nullptr, CategoryNavigationState::Process()) {}

CategoryPageController::CategoryPageController(CategoryPageHost& host, CategoryPages& pages,
                                               const PersonalProfile& profile, MessageSink* sink,
                                               CategoryNavigationState& state)
    : host_(host), pages_(pages), profile_(profile), sink_(sink), state_(state) {}

bool CategoryPageController::OnCommand(int control) {
  if (control == CategoryPage::kLookupControl) {
    ShowLookupPage();
    return true;
  }
  if (control == CategoryPage::kPolicyControl) {
    OpenPolicyPage();
    return true;
  }
  const CategoryPage* page = CategoryPage::ForControl(control);
  if (page == nullptr) return false;
  if (page->category == CategoryPage::kEmail)
    ShowEmailReport();
  else
    RenderCategoryPage(page->category);
  return true;
}

bool CategoryPageController::RenderCategoryPage(int category) {
  const CategoryPage* page = CategoryPage::ForCategory(category);
  if (page == nullptr || page->templateName == nullptr) return false;
  const CategoryPages::Result result = pages_.RenderCategoryPage(category, profile_);
  if (!result.ok) {
    (sink_ != nullptr ? *sink_ : MessageSink::Current()).ShowMessage(result.message, kStyleStop);
    return false;
  }
  // The current look only once the page exists: a failed command leaves the
  // buttons as they were, like the category.
  host_.SetButtonLook(page->control, page->current);
  host_.SetCategory(category);
  host_.Navigate(CategoryPages::PageUrl(result.path));
  host_.SetDisplayMode(kBrowserView);
  return true;
}

bool CategoryPageController::ShowLookupPage() {
  const CategoryPages::Result result = pages_.RenderLookupPages(profile_);
  if (!result.ok) {
    (sink_ != nullptr ? *sink_ : MessageSink::Current()).ShowMessage(result.message, kStyleStop);
    return false;
  }
  host_.Navigate(CategoryPages::PageUrl(result.path));
  host_.SetDisplayMode(kBrowserView);
  return true;
}

void CategoryPageController::ShowEmailReport() {
  const CategoryPage* email = CategoryPage::ForCategory(CategoryPage::kEmail);
  host_.SetButtonLook(email->control, email->current);
  host_.SetCategory(CategoryPage::kEmail);
  host_.SetDisplayMode(kEmailView);
}

void CategoryPageController::OpenPolicyPage() {
  host_.OpenInDefaultBrowser(ServerSettings::Current().InfoUrl(CategoryPage::kPolicyPagePath));
}

void CategoryPageController::RefreshCategoryPage() {
  host_.TransferFieldsToControls();
  const int category = host_.GetCategory();
  if (category == CategoryPage::kEmail)
    host_.SetDisplayMode(kEmailView);
  else if (category != CategoryPage::kNone)
    RenderCategoryPage(category);
}

void CategoryPageController::OnNavigateComplete(const std::string& url) {
  if (state_.OnNavigateComplete(url, ReportPageUrl())) RenderCategoryPage(CategoryPage::kTelephone);
  const int category = host_.GetCategory();
  if (category != CategoryPage::kNone) state_.NoteLocationName(category, host_.GetLocationName());
}

void CategoryPageController::OnDocumentComplete() {
  const int category = host_.GetCategory();
  if (!state_.OnDocumentComplete(category)) return;
  if (category == CategoryPage::kEmail)
    ShowEmailReport();
  else
    RenderCategoryPage(category);
}

std::string CategoryPageController::ReportPageUrl() {
  return ServerSettings::Current().ReportUrl(CategoryPage::kReportPagePath);
}

}  // namespace veradex
