#pragma once

#include <string>

#include "pages/CategoryNavigationState.h"
#include "pages/CategoryPages.h"

namespace veradex {

class CategoryPageHost;
class MessageSink;
class PersonalProfile;

// The report window's category and page commands and its browser events, on
// top of the page writer. The window forwards its category, lookup and
// policy commands and its two browser events here and implements
// CategoryPageHost.
//
// A page that cannot be written ends in a message (style 16) and leaves
// everything as it was: no navigation, no change of category or view.
class CategoryPageController {
 public:
  // All references must outlive the controller. By default the messages go
  // to MessageSink::Current(), the profile is PersonalProfile::Global() and
  // the browser-event state is the process's own.
  CategoryPageController(CategoryPageHost& host, CategoryPages& pages);
  CategoryPageController(CategoryPageHost& host, CategoryPages& pages, const PersonalProfile& profile,
                         MessageSink* sink, CategoryNavigationState& state);

  // A category button: the e-mail category shows the e-mail report view,
  // the others render their page.
  void ShowCategory(Category category);
  // Categories with a page (telephone to malicious code): page written,
  // category set (its button takes the current look), browser sent to the
  // page, browser view. Returns false (after the message) when the page was
  // not written or the category has no page.
  bool RenderCategoryPage(Category category);
  // The report-lookup command: writes search.html and search_2006.html and
  // shows the first; the category stays as it is.
  bool ShowLookupPage();
  // The e-mail category: made current, e-mail report view.
  void ShowEmailReport();
  // The policy command: the information site's policy page in the default
  // browser.
  void OpenPolicyPage();
  // After the settings changed: fields into the controls, then the current
  // category shown again (e-mail: the e-mail view again; none: nothing more).
  void RefreshCategoryPage();

  // Browser events. url: the completed address.
  void OnNavigateComplete(const std::string& url);
  void OnDocumentComplete();

  // "https://<report host>/h_singo/singo.jsp", the page the window opens at
  // start.
  static std::string ReportPageUrl();

 private:
  CategoryPageHost& host_;
  CategoryPages& pages_;
  const PersonalProfile& profile_;
  MessageSink* sink_;
  CategoryNavigationState& state_;
};

}  // namespace veradex
