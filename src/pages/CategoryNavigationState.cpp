#include "pages/CategoryNavigationState.h"

namespace veradex {

bool CategoryNavigationState::OnNavigateComplete(const std::string& url, const std::string& reportPageUrl) {
  if (firstReportPageSeen_ || NormalizeAddress(url) != NormalizeAddress(reportPageUrl)) return false;
  firstReportPageSeen_ = true;
  return true;
}

void CategoryNavigationState::NoteLocationName(Category currentCategory, const std::string& locationName) {
  if (currentCategory != Category::kNone && locationName.find("singo.jsp") != std::string::npos)
    rerenderPending_ = true;
}

bool CategoryNavigationState::OnDocumentComplete(Category currentCategory) {
  if (currentCategory == Category::kNone || !rerenderPending_) return false;
  rerenderPending_ = false;
  return true;
}

CategoryNavigationState& CategoryNavigationState::Process() {
  static CategoryNavigationState state;
  return state;
}

void CategoryNavigationState::Reset() {
  firstReportPageSeen_ = false;
  rerenderPending_ = false;
}

std::string CategoryNavigationState::NormalizeAddress(const std::string& url) {
  std::string lower = url;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  const std::string scheme = "https://";
  if (lower.compare(0, scheme.size(), scheme) == 0) {
    const auto hostEnd = lower.find('/', scheme.size());
    const auto authorityEnd = hostEnd == std::string::npos ? lower.size() : hostEnd;
    const std::string port = ":443";
    if (authorityEnd >= scheme.size() + port.size() &&
        lower.compare(authorityEnd - port.size(), port.size(), port) == 0)
      lower.erase(authorityEnd - port.size(), port.size());
  }
  return lower;
}

}  // namespace veradex
