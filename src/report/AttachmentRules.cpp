#include "report/AttachmentRules.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <wx/string.h>

#include "platform/Cp949.h"
#include "platform/NativePath.h"

namespace veradex {

namespace {

enum Cause {
  kGeneric = 1,
  kFileNotFound = 2,
  kBadPath = 3,
  kTooManyOpenFiles = 4,
  kAccessDenied = 5,
  kHardIo = 10,
  kSharingViolation = 11,
};

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
  struct stat info;
  if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
  return static_cast<long long>(info.st_size);
}

AttachmentRules::Verdict AttachmentRules::CheckFile(const std::string& path) {
  int error = 0;
  long long length = 0;
  const int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = path.empty() ? ENOENT : errno;
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
      return Cp949::FromUtf8("5개 이상은 첨부하실 수 없습니다");
    case AttachmentProblem::kDuplicate:
      return Cp949::FromUtf8("동일한 파일이 첨부리스트에 존재합니다");
    case AttachmentProblem::kNotMailFile:
      return Cp949::FromUtf8("eml파일 또는 msg파일이 아닙니다");
    case AttachmentProblem::kCannotOpen: {
      char cause[16];
      std::snprintf(cause, sizeof cause, "%d", CauseOf(verdict.error));
      return Cp949::FromUtf8("에러(") + cause + "): " + DescriptionOf(verdict.error);
    }
    case AttachmentProblem::kTooLarge:
      return Cp949::FromUtf8("파일 크기는 2MByte 이하로 첨부 하셔야 합니다.");
    case AttachmentProblem::kWrongExtension:
      return Cp949::FromUtf8("파일명의 끝에 \".eml, .msg\"등의 문자(확장자)를 가진 파일만 첨부가 가능합니다.");
  }
  return std::string();
}

int AttachmentRules::CauseOf(int error) {
  switch (error) {
    case ENOENT:
      return kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return kBadPath;
    case EMFILE:
    case ENFILE:
      return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
      return kAccessDenied;
    case EIO:
      return kHardIo;
    case EBUSY:
    case ETXTBSY:
      return kSharingViolation;
    default:
      return kGeneric;
  }
}

std::string AttachmentRules::DescriptionOf(int error) {
  switch (error) {
    case ENOENT:
      return Cp949::FromUtf8("파일을 찾을 수 없습니다.");
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return Cp949::FromUtf8("파일 경로가 올바르지 않습니다.");
    case EMFILE:
    case ENFILE:
      return Cp949::FromUtf8("열려 있는 파일이 너무 많습니다.");
    case EACCES:
    case EPERM:
      return Cp949::FromUtf8("파일에 접근할 권한이 없습니다.");
    case EISDIR:
      return Cp949::FromUtf8("파일이 아니라 폴더입니다.");
    case EIO:
      return Cp949::FromUtf8("파일을 읽는 중 장치 오류가 발생했습니다.");
    case EBUSY:
    case ETXTBSY:
      return Cp949::FromUtf8("다른 프로그램이 파일을 사용하고 있습니다.");
    default:
      return Cp949::FromWxLossy(wxString(std::strerror(error), wxConvLocal));
  }
}

}  // namespace veradex
