#pragma once

#include <string>

#include "pages/CategoryPage.h"

namespace veradex {

// What the category commands need of the report window. The window
// implements it; tests use a recording fake.
class CategoryPageHost {
 public:
  virtual ~CategoryPageHost() = default;

  // The window's `category` field: 0 none, 1..6 pages, 7 e-mail.
  virtual int GetCategory() const = 0;
  virtual void SetCategory(int category) = 0;
  // Loads the four state bitmaps into a category button and repaints it.
  virtual void SetButtonLook(int control, const CategoryPage::Look& look) = 0;
  // Sends the embedded browser to a URL (no flags, frame, post data or headers).
  virtual void Navigate(const std::string& url) = 0;
  // The browser's location name: the title of the page shown, or its address
  // when it has none. Code page 949.
  virtual std::string GetLocationName() = 0;
  // 0 the browser view, 5 the e-mail report view.
  virtual void SetDisplayMode(int show) = 0;
  // Moves the window's stored field values into its controls.
  virtual void TransferFieldsToControls() = 0;
  // Opens a web page in the user's default browser.
  virtual void OpenInDefaultBrowser(const std::string& url) = 0;
};

}  // namespace veradex
