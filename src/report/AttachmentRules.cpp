#include "report/AttachmentRules.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <wx/string.h>

#include "platform/Cp949.h"
#include "platform/NativePath.h"
#include "report/ReportTexts.h"

namespace veradex {

namespace {

// The cause code a failed open shows and the text that says it, by the
// system's error number; any other number is cause 1 with the system's text.
struct OpenFailure {
  int error;
  int cause;
  ReportTexts::Text text;
};
constexpr int kGenericCause = 1;
constexpr OpenFailure kOpenFailures[] = {
    {ENOENT, 2, ReportTexts::kFileNotFound},     {ENOTDIR, 3, ReportTexts::kBadPath},
    {ENAMETOOLONG, 3, ReportTexts::kBadPath},    {ELOOP, 3, ReportTexts::kBadPath},
    {EMFILE, 4, ReportTexts::kTooManyOpenFiles}, {ENFILE, 4, ReportTexts::kTooManyOpenFiles},
    {EACCES, 5, ReportTexts::kAccessDenied},     {EPERM, 5, ReportTexts::kAccessDenied},
    {EISDIR, 5, ReportTexts::kFolderNotFile},    {EIO, 10, ReportTexts::kDeviceError},
    {EBUSY, 11, ReportTexts::kFileInUse},        {ETXTBSY, 11, ReportTexts::kFileInUse},
};

const OpenFailure* FindOpenFailure(int error) {
  for (const OpenFailure& failure : kOpenFailures)
    if (failure.error == error) return &failure;
  return nullptr;
}

#ifdef _WIN32
constexpr const char* kSeparators = "\\/";
#else
constexpr const char* kSeparators = "/";
#endif

wxString LowerAscii(const wxString& text) {
  wxString out;
  out.reserve(text.length());
  for (wxUniChar c : text) {
    const wxUniChar::value_type v = c.GetValue();
    out += (v >= 'A' && v <= 'Z') ? wxUniChar(v + 0x20) : c;
  }
  return out;
}

// Only for comparing with ASCII texts: a byte of a multi-byte character is
// never taken for a letter there.
bool SameAscii(const std::string& text, const char* ascii) {
  const std::size_t length = std::strlen(ascii);
  if (text.size() != length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
    if (c != ascii[i]) return false;
  }
  return true;
}

}  // namespace

std::string AttachmentRules::NameOf(const std::string& path) {
  const std::size_t cut = path.find_last_of(kSeparators);
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool AttachmentRules::SameName(const std::string& a, const std::string& b) {
  return LowerAscii(NativePath::ToWx(a)) == LowerAscii(NativePath::ToWx(b));
}

AttachmentProblem AttachmentRules::CheckAdd(const std::vector<std::string>& listedNames, const std::string& name) {
  if (listedNames.size() >= static_cast<std::size_t>(kMaxFiles)) return AttachmentProblem::kTooMany;
  for (const std::string& listed : listedNames)
    if (SameName(listed, name)) return AttachmentProblem::kDuplicate;
  return AttachmentProblem::kNone;
}

AttachmentProblem AttachmentRules::CheckDropped(const std::string& path) {
  const std::size_t dot = path.find_last_of('.');
  const std::string extension = dot == std::string::npos ? path : path.substr(dot + 1);
  return SameAscii(extension, "eml") || SameAscii(extension, "msg") ? AttachmentProblem::kNone
                                                                    : AttachmentProblem::kNotMailFile;
}

long long AttachmentRules::ListedSize(const std::string& path) {
  std::error_code error;
  const std::filesystem::path file = NativePath::ToFs(path);
  if (path.empty() || !std::filesystem::is_regular_file(file, error)) return 0;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  return error ? 0 : static_cast<long long>(size);
}

AttachmentRules::Verdict AttachmentRules::CheckFile(const std::string& path) {
  int error = 0;
  long long length = 0;
  const int fd = path.empty() ? -1 : NativePath::OpenDescriptor(path, O_RDONLY);
  if (fd < 0) {
    error = path.empty() ? ENOENT : errno;
    // Windows opens no folder (access denied) and calls a path through a
    // file missing: say what it is, as where the system tells it.
    std::error_code ignored;
    if (error == EACCES && std::filesystem::is_directory(NativePath::ToFs(path), ignored)) error = EISDIR;
    if (error == ENOENT && !path.empty()) {
      for (std::filesystem::path up = NativePath::ToFs(path).parent_path(); !up.empty() && up != up.parent_path();
           up = up.parent_path()) {
        if (std::filesystem::is_regular_file(up, ignored)) {
          error = ENOTDIR;
          break;
        }
      }
    }
  } else {
    struct stat info;
    if (::fstat(fd, &info) != 0)
      error = errno;
    else if (S_ISDIR(info.st_mode))
      error = EISDIR;  // a folder opens here but is no file to send
    else
      length = static_cast<long long>(info.st_size);
    ::close(fd);
  }
  if (error != 0) return Verdict{AttachmentProblem::kCannotOpen, error};
  if (length > kMaxBytes) return Verdict{AttachmentProblem::kTooLarge, 0};
  const std::string tail = path.size() >= 4 ? path.substr(path.size() - 4) : path;
  if (SameAscii(tail, ".eml") || SameAscii(tail, ".msg")) return Verdict{};
  return Verdict{AttachmentProblem::kWrongExtension, 0};
}

std::string AttachmentRules::MessageOf(const Verdict& verdict) {
  switch (verdict.problem) {
    case AttachmentProblem::kNone:
      return std::string();
    case AttachmentProblem::kTooMany:
      return ReportTexts::Get(ReportTexts::kTooManyFiles);
    case AttachmentProblem::kDuplicate:
      return ReportTexts::Get(ReportTexts::kDuplicateFile);
    case AttachmentProblem::kNotMailFile:
      return ReportTexts::Get(ReportTexts::kNotMailFile);
    case AttachmentProblem::kCannotOpen: {
      char cause[16];
      std::snprintf(cause, sizeof cause, "%d", CauseOf(verdict.error));
      return ReportTexts::Get(ReportTexts::kOpenErrorPrefix) + cause + "): " + DescriptionOf(verdict.error);
    }
    case AttachmentProblem::kTooLarge:
      return ReportTexts::Get(ReportTexts::kFileTooLarge);
    case AttachmentProblem::kWrongExtension:
      return ReportTexts::Get(ReportTexts::kWrongExtension);
  }
  return std::string();
}

int AttachmentRules::CauseOf(int error) {
  const OpenFailure* failure = FindOpenFailure(error);
  return failure != nullptr ? failure->cause : kGenericCause;
}

std::string AttachmentRules::DescriptionOf(int error) {
  if (const OpenFailure* failure = FindOpenFailure(error)) return ReportTexts::Get(failure->text);
  return Cp949::FromWxLossy(wxString(std::strerror(error), wxConvLocal));
}

}  // namespace veradex
