#pragma once

#include <string>

#include "pages/CategoryPage.h"

namespace veradex {

// What the report window shows in its large area: the e-mail report view
// (personal data, description, attachments, send) or the embedded browser
// with a report page.
enum class View { kEmailReport, kBrowser };

// What the category commands need of the report window. The window
// implements it; tests use a recording fake.
class CategoryPageHost {
 public:
  virtual ~CategoryPageHost() = default;

  virtual Category GetCategory() const = 0;
  // Makes a category current; its button takes the current look.
  virtual void SetCategory(Category category) = 0;
  // Sends the embedded browser to a URL (no flags, frame, post data or headers).
  virtual void Navigate(const std::string& url) = 0;
  // The browser's location name: the title of the page shown, or its address
  // when it has none. Code page 949.
  virtual std::string GetLocationName() = 0;
  virtual void ShowView(View view) = 0;
  // Moves the window's stored field values into its controls.
  virtual void TransferFieldsToControls() = 0;
  // Opens a web page in the user's default browser.
  virtual void OpenInDefaultBrowser(const std::string& url) = 0;
};

}  // namespace veradex
