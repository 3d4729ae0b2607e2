#pragma once

#include <ctime>
#include <functional>
#include <string>

#include "pages/CategoryPage.h"
#include "platform/NativePath.h"

namespace veradex {

class PersonalProfile;

// Writes the report form pages the report window shows in its browser: reads
// a template X.bak from the program directory, fills in the reporter's data
// and writes the page beside it. Paths (the program directory, the pages
// written) are the file system's own bytes, as ExecutablePath gives them
// (UTF-8 on Linux); messages are code page 949 text for the user.
//
// When the program directory cannot be written (an installation owned by
// another user), the page goes to a per-user folder instead; the template is
// still read from the program directory and the result names where the page
// went.
class CategoryPages {
 public:
  struct Result {
    bool ok = false;
    std::string path;     // the page written (the one to show)
    std::string message;  // why nothing was written, when !ok
  };

  static constexpr char kSeparator = NativePath::kSeparator;

  // The running program's directory and the per-user page folder.
  CategoryPages();
  // Explicit folders; an empty fallback folder means no fallback.
  CategoryPages(std::string programDirectory, std::string fallbackDirectory);

  // Directory of the executable: the path cut at its last separator; when
  // that directory ends with "Debug" or "Release" (exact case) it is cut once
  // more, so the parent is used.
  static std::string ProgramDirectory(const std::string& executablePath);
  // The same for the running executable.
  static std::string ProgramDirectory();
  // Where pages go when the program directory cannot be written:
  // $XDG_DATA_HOME/Ambrel/<program>/pages (~/.local/share when unset), on
  // Windows %APPDATA%\Ambrel\<program>\pages.
  static std::string UserPageDirectory();
  // A file: URL for a page path (for the browser).
  static std::string PageUrl(const std::string& path);

  // Categories with a page (telephone to malicious code): fills the category's template and writes its page
  // (exact names, "BOARD_SPAM.HTML" for the bulletin board). Pressing a
  // button twice writes the page twice. Nothing else is touched: the caller
  // sets the category, navigates and switches the view when ok.
  Result RenderCategoryPage(Category category, const PersonalProfile& profile) const;
  // The report-lookup pages: "search.html" with the mobile number and report
  // password, and "search_2006.html" copied as it is (only the report host
  // filled). Both templates are read before anything is written. The result
  // names search.html.
  Result RenderLookupPages(const PersonalProfile& profile) const;

  // Time source for the year placeholders (tests fix it).
  void SetClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }
  // "host" or "host:port" the forms post to; empty (the default) takes the
  // report host of ServerSettings::Current() at each rendering.
  void SetReportHost(std::string hostPort) { reportHost_ = std::move(hostPort); }

  const std::string& ProgramDir() const { return programDir_; }
  const std::string& FallbackDir() const { return fallbackDir_; }

 private:
  bool ReadTemplate(const std::string& name, std::string* bytes, Result* failure) const;
  // Writes the pages into the program directory or, when that fails, into
  // the fallback folder; all pages of one command go to the same folder.
  // Returns the path of the first page.
  Result WritePages(const std::string* names, const std::string* pages, int count) const;
  int CurrentYear() const;
  std::string ReportHost() const;

  std::string programDir_;
  std::string fallbackDir_;
  std::function<std::time_t()> clock_;
  std::string reportHost_;
};

}  // namespace veradex
