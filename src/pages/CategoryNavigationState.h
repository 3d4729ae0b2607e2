#pragma once

#include <string>

#include "pages/CategoryPage.h"

namespace veradex {

// What the report window's browser events do with the category pages. The
// window opens the report host's "singo.jsp" page at start; the first time in
// the process that this page completes, the telephone page is rendered. From
// then on, a completed navigation whose location name (the page title, or its
// address when it has none) contains "singo.jsp" while a category is current
// marks a re-render, and the next completed document renders the current
// category again: a submitted form comes back as a fresh, pre-filled page.
//
// Use from the browser events, on the GUI thread:
//
//   navigated(url):
//     if (state.OnNavigateComplete(url, reportPageUrl)) RenderCategoryPage(Category::kTelephone);
//     state.NoteLocationName(category, locationName);   // category as it is now
//   loaded:
//     if (state.OnDocumentComplete(category)) ShowCategory(category);  // e-mail: the e-mail view
class CategoryNavigationState {
 public:
  // True exactly once in the process: the first time url equals the report
  // page's address (ignoring case, and a written default port 443).
  bool OnNavigateComplete(const std::string& url, const std::string& reportPageUrl);
  // With a current category (not kNone), a location name containing "singo.jsp"
  // marks a re-render as pending.
  void NoteLocationName(Category currentCategory, const std::string& locationName);
  // True when a category is current and a re-render is pending; the mark is
  // then cleared.
  bool OnDocumentComplete(Category currentCategory);

  bool RerenderPending() const { return rerenderPending_; }
  bool FirstReportPageSeen() const { return firstReportPageSeen_; }

  // The state of this process (the once-only flag and the mark live as long
  // as the program).
  static CategoryNavigationState& Process();
  // Back to the state of a fresh process (tests).
  void Reset();

  // Lower-cased address with ":443" dropped after an https host.
  static std::string NormalizeAddress(const std::string& url);

 private:
  bool firstReportPageSeen_ = false;
  bool rerenderPending_ = false;
};

}  // namespace veradex
