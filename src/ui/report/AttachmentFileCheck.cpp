#include "ui/report/AttachmentFileCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/MessageSink.h"
#include "ui/report/AttachmentList.h"
#include "ui/report/Utf8Text.h"

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

bool Fail(const wxString& text) {
  MessageSink::Current().ShowMessage(Utf8Text::ToCp949(text), kStyleStop);
  return false;
}

}  // namespace

int AttachmentFileCheck::CauseOf(int error) {
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

wxString AttachmentFileCheck::DescriptionOf(int error) {
  switch (error) {
    case ENOENT:
      return wxString::FromUTF8("파일을 찾을 수 없습니다.");
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return wxString::FromUTF8("파일 경로가 올바르지 않습니다.");
    case EMFILE:
    case ENFILE:
      return wxString::FromUTF8("열려 있는 파일이 너무 많습니다.");
    case EACCES:
    case EPERM:
      return wxString::FromUTF8("파일에 접근할 권한이 없습니다.");
    case EISDIR:
      return wxString::FromUTF8("파일이 아니라 폴더입니다.");
    case EIO:
      return wxString::FromUTF8("파일을 읽는 중 장치 오류가 발생했습니다.");
    case EBUSY:
    case ETXTBSY:
      return wxString::FromUTF8("다른 프로그램이 파일을 사용하고 있습니다.");
    default:
      return wxString(std::strerror(error), wxConvLocal);
  }
}

bool AttachmentFileCheck::Check(const wxString& path) {
  const wxCharBuffer native = path.fn_str();
  int error = 0;
  long long length = 0;
  const int fd = native.data() != nullptr ? ::open(native.data(), O_RDONLY | O_CLOEXEC) : -1;
  if (fd < 0) {
    error = native.data() != nullptr ? errno : EINVAL;
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
  if (error != 0)
    return Fail(wxString::Format(wxString::FromUTF8("에러(%d): %s"), CauseOf(error), DescriptionOf(error)));

  if (length > kMaxBytes) return Fail(wxString::FromUTF8("파일 크기는 2MByte 이하로 첨부 하셔야 합니다."));

  const wxString tail = path.length() >= 4 ? path.Right(4) : path;
  if (AttachmentList::SameName(tail, ".eml") || AttachmentList::SameName(tail, ".msg")) return true;
  return Fail(wxString::FromUTF8("파일명의 끝에 \".eml, .msg\"등의 문자(확장자)를 가진 파일만 첨부가 가능합니다."));
}

}  // namespace veradex
