#include "net/MultipartPart.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

#include <sys/stat.h>

#include "platform/NativePath.h"

namespace veradex {

namespace {
const char kOpenFailed[] = "\xc6\xc4\xc0\xcf\x20\xbf\xad\xb1\xe2\x20\xbd\xc7\xc6\xd0\x3a\x20";  // 파일 열기 실패:
const char kOutOfMemory[] =
    "\xb8\xde\xb8\xf0\xb8\xae\xb0\xa1\x20\xba\xce\xc1\xb7\xc7\xd5\xb4\xcf\xb4\xd9";  // 메모리가 부족합니다
}  // namespace

int MultipartPart::LoadFile(const std::string& fieldName, const std::string& localPath, const std::string& wireFileName,
                            MessageSink& sink) {
  const std::string header = std::string(kDelimiter) + "\r\nContent-Disposition: form-data; name=\"" + fieldName +
                             "\"; filename=\"" + wireFileName + "\"\r\nContent-Type: application/octet-stream\r\n\r\n";
  const long long headerLength = static_cast<long long>(header.size());
  wireFileName_ = wireFileName;
  localPath_ = localPath;
  block_.reset();
  blockLength_ = 0;
  headerLength_ = 0;
  loadedStamp_ = FileStamp();

  std::FILE* file = NativePath::Open(localPath, "rb");
  long long fileLength = -1;
  struct stat status {};
  if (file != nullptr && (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode))) {
    std::fclose(file);  // a folder or a device is no message file
    file = nullptr;
  }
  if (file != nullptr && std::fseek(file, 0, SEEK_END) == 0) {
#ifdef _WIN32
    fileLength = _ftelli64(file);
#else
    fileLength = static_cast<long long>(ftello(file));
#endif
    if (std::fseek(file, 0, SEEK_SET) != 0) fileLength = -1;
  }
  if (fileLength < 0) {
    if (file != nullptr) std::fclose(file);
    sink.ShowMessage(kOpenFailed + NativePath::ToCp949(localPath), kStyleStop);
    return -1;
  }

  // The block length is a 32-bit count: a file that does not fit counts as
  // one for which no memory can be had.
  std::unique_ptr<char[]> block;
  if (headerLength + fileLength + 2 <= INT_MAX) {
    block.reset(new (std::nothrow) char[static_cast<std::size_t>(headerLength + fileLength + 2)]);
  }
  if (!block) {
    sink.ShowMessage(kOutOfMemory, kStyleStop);
    fileLength = 0;
    block.reset(new char[static_cast<std::size_t>(headerLength + 2)]);
  } else if (fileLength > 0 && std::fread(block.get() + headerLength, 1, static_cast<std::size_t>(fileLength), file) !=
                                   static_cast<std::size_t>(fileLength)) {
    // Opened but unreadable (a folder, a file that shrank): as good as not opened.
    std::fclose(file);
    sink.ShowMessage(kOpenFailed + NativePath::ToCp949(localPath), kStyleStop);
    return -1;
  }
  const FileStamp loaded = FileStamp::Of(file);
  std::fclose(file);

  std::memcpy(block.get(), header.data(), header.size());
  block[headerLength + fileLength] = '\r';
  block[headerLength + fileLength + 1] = '\n';
  block_ = std::move(block);
  blockLength_ = static_cast<int>(headerLength + fileLength + 2);
  headerLength_ = static_cast<int>(headerLength);
  loadedStamp_ = loaded;
  return blockLength_;
}

}  // namespace veradex
