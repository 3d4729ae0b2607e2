#pragma once

#include <string>

#include "pages/CategoryNavigationState.h"
#include "pages/CategoryPages.h"

namespace veradex {

class CategoryPageHost;
class MessageSink;
class PersonalProfile;

// The report window's category and page commands and its browser events, on
// top of the page writer. The window forwards its button commands and its two
// browser events here and implements CategoryPageHost.
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

  // Buttons 1085, 1094..1098, 1100..1102: true when the control is one of
  // them (the command has then run).
  bool OnCommand(int control);

  // Categories 1..6 (buttons 1095..1098, 1100, 1101): current look on the
  // button, page written, category set, browser sent to the page, browser
  // view. Returns false (after the message) when the page was not written.
  bool RenderCategoryPage(int category);
  // Button 1085: writes search.html and search_2006.html and shows the
  // first; the category and the button looks stay as they are.
  bool ShowLookupPage();
  // Button 1094: current look, category 7, e-mail report view.
  void ShowEmailReport();
  // Button 1102: the information site's policy page in the default browser.
  void OpenPolicyPage();
  // After the settings changed: fields into the controls, then the current
  // category shown again (7: the e-mail view again; 0: nothing more).
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
