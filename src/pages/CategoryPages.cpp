#include "pages/CategoryPages.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include <wx/string.h>

#include "pages/CategoryPage.h"
#include "pages/PageTemplate.h"
#include "platform/Cp949.h"
#include "platform/ExecutablePath.h"
#include "platform/LocalTime.h"
#include "platform/NativePath.h"
#include "platform/UserFolders.h"
#include "profile/PersonalProfile.h"
#include "profile/ServerSettings.h"

namespace veradex {

namespace fs = std::filesystem;

namespace {

// "페이지 양식 파일을 읽을 수 없습니다: " (the page template cannot be read)
const char kTemplateUnreadable[] =
    "\xC6\xE4\xC0\xCC\xC1\xF6 \xBE\xE7\xBD\xC4 \xC6\xC4\xC0\xCF\xC0\xBB \xC0\xD0\xC0\xBB \xBC\xF6 "
    "\xBE\xF8\xBD\xC0\xB4\xCF\xB4\xD9: ";
// "페이지 파일을 쓸 수 없습니다: " (the page cannot be written)
const char kPageUnwritable[] =
    "\xC6\xE4\xC0\xCC\xC1\xF6 \xC6\xC4\xC0\xCF\xC0\xBB \xBE\xB5 \xBC\xF6 \xBE\xF8\xBD\xC0\xB4\xCF\xB4\xD9: ";
// "알 수 없는 신고 분류입니다." (unknown report category)
const char kUnknownCategory[] =
    "\xBE\xCB \xBC\xF6 \xBE\xF8\xB4\xC2 \xBD\xC5\xB0\xED \xBA\xD0\xB7\xF9\xC0\xD4\xB4\xCF\xB4\xD9.";

fs::path FsPath(const std::string& native) { return NativePath::ToFs(native); }

// A path as the user reads it in a message: code page 949.
std::string ShownPath(const std::string& native) { return NativePath::ToCp949(native); }

std::string Join(const std::string& directory, const std::string& name) {
  return directory + CategoryPages::kSeparator + name;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  {
    std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out.fail()) return true;
  }
  std::error_code ignored;
  fs::remove(FsPath(path), ignored);  // no half-written page is left behind
  return false;
}

}  // namespace

CategoryPages::CategoryPages() : CategoryPages(ProgramDirectory(), UserPageDirectory()) {}

CategoryPages::CategoryPages(std::string programDirectory, std::string fallbackDirectory)
    : programDir_(std::move(programDirectory)),
      fallbackDir_(std::move(fallbackDirectory)),
      clock_([] { return std::time(nullptr); }) {}

std::string CategoryPages::ProgramDirectory(const std::string& executablePath) {
  const auto cut = executablePath.rfind(kSeparator);
  if (cut == std::string::npos) return ".";
  std::string directory = executablePath.substr(0, cut);
  const auto endsWith = [&directory](const std::string& tail) {
    return directory.size() >= tail.size() && directory.compare(directory.size() - tail.size(), tail.size(), tail) == 0;
  };
  if (endsWith("Debug") || endsWith("Release")) {
    const auto parent = directory.rfind(kSeparator);
    if (parent != std::string::npos) directory.resize(parent);
  }
  return directory;
}

std::string CategoryPages::ProgramDirectory() { return ProgramDirectory(ExecutablePath::GetExecutablePath()); }

std::string CategoryPages::UserPageDirectory() {
  std::string program = ExecutablePath::GetExecutableBaseName();
  if (program.empty()) program = "veradex";
  const std::string tail = std::string(1, kSeparator) + "Ambrel" + kSeparator + program + kSeparator + "pages";
  const std::string base = UserFolders::Base(UserFolders::Kind::kData);
  return base.empty() ? std::string() : base + tail;
}

std::string CategoryPages::PageUrl(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string url = "file://";
#ifdef _WIN32
  url += '/';  // file:///C:/...
  const std::string bytes = NativePath::ToWx(path).utf8_string();
#else
  const std::string& bytes = path;  // the file system's bytes are the URL's
#endif
  for (const char c : bytes) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      url += '/';
    } else if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
               c == '/' || c == '-' || c == '_' || c == '.' || c == '~' || c == ':') {
      url += c;
    } else {
      url += '%';
      url += kHex[byte >> 4];
      url += kHex[byte & 0x0F];
    }
  }
  return url;
}

CategoryPages::Result CategoryPages::RenderCategoryPage(Category category, const PersonalProfile& profile) const {
  Result result;
  const CategoryPage* page = CategoryPage::ForCategory(category);
  if (page == nullptr || page->templateName == nullptr) {
    result.message = kUnknownCategory;
    return result;
  }
  std::string text;
  if (!ReadTemplate(page->templateName, &text, &result)) return result;
  const std::string names[] = {page->pageName};
  const std::string pages[] = {PageTemplate::Fill(text, page->tokens, profile, CurrentYear(), ReportHost())};
  return WritePages(names, pages, 1);
}

CategoryPages::Result CategoryPages::RenderLookupPages(const PersonalProfile& profile) const {
  Result result;
  std::string lookup;
  std::string oldLookup;
  if (!ReadTemplate(CategoryPage::kLookupTemplate, &lookup, &result)) return result;
  if (!ReadTemplate(CategoryPage::kOldLookupTemplate, &oldLookup, &result)) return result;
  const std::string names[] = {CategoryPage::kLookupPage, CategoryPage::kOldLookupPage};
  const std::string pages[] = {
      PageTemplate::Fill(lookup, CategoryPage::kLookupTokens, profile, CurrentYear(), ReportHost()),
      PageTemplate::Fill(oldLookup, 0, profile, CurrentYear(), ReportHost()),
  };
  return WritePages(names, pages, 2);
}

bool CategoryPages::ReadTemplate(const std::string& name, std::string* bytes, Result* failure) const {
  const std::string path = Join(programDir_, name);
  std::ifstream in(FsPath(path), std::ios::binary);
  std::error_code error;
  const auto size = fs::file_size(FsPath(path), error);
  if (in && !error && !fs::is_directory(FsPath(path), error)) {
    bytes->assign(static_cast<std::size_t>(size), '\0');
    in.read(bytes->data(), static_cast<std::streamsize>(size));
    if (in.gcount() == static_cast<std::streamsize>(size)) return true;
  }
  failure->ok = false;
  failure->path.clear();
  failure->message = kTemplateUnreadable + ShownPath(path);
  return false;
}

CategoryPages::Result CategoryPages::WritePages(const std::string* names, const std::string* pages, int count) const {
  std::vector<std::string> folders = {programDir_};
  if (!fallbackDir_.empty() && fallbackDir_ != programDir_) folders.push_back(fallbackDir_);
  for (const std::string& folder : folders) {
    if (folder != programDir_) {
      std::error_code error;
      fs::create_directories(FsPath(folder), error);
    }
    int written = 0;
    while (written < count && WriteFile(Join(folder, names[written]), pages[written])) ++written;
    if (written == count) {
      Result result;
      result.ok = true;
      result.path = Join(folder, names[0]);
      return result;
    }
    // Pages of one command stay together: undo what this folder got.
    for (int i = 0; i < written; ++i) {
      std::error_code ignored;
      fs::remove(FsPath(Join(folder, names[i])), ignored);
    }
  }
  Result result;
  result.message = kPageUnwritable + ShownPath(Join(programDir_, names[0]));
  return result;
}

int CategoryPages::CurrentYear() const {
  const std::time_t now = clock_ ? clock_() : std::time(nullptr);
  return LocalTime::From(now).tm_year + 1900;
}

std::string CategoryPages::ReportHost() const {
  return reportHost_.empty() ? ServerSettings::Current().report.HostPort() : reportHost_;
}

}  // namespace veradex
