#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/FileStamp.h"
#include "platform/MessageSink.h"

namespace veradex {

// One file field of a multipart/form-data body, held in memory ready to send:
// the part header, the file's bytes and CR LF in one block.
class MultipartPart {
 public:
  // The delimiter line that opens every part and the closing line of a body.
  static constexpr const char* kDelimiter = "-----------------------------7d32231303e8";
  static constexpr const char* kClosingLine = "-----------------------------7d32231303e8--\r\n";
  static constexpr int kClosingLineLength = 45;

  MultipartPart() = default;
  MultipartPart(const MultipartPart&) = delete;
  MultipartPart& operator=(const MultipartPart&) = delete;

  // Loads the file at localPath as field `fieldName` announced as
  // `wireFileName`. Returns the block length, or -1 when the file cannot be
  // opened or read (after "파일 열기 실패: <path>"; the part then has no block).
  // When no block can be had for the file (out of memory, or a file too long
  // for a 32-bit length) it says "메모리가 부족합니다" and the part carries the
  // header and CR LF only.
  int LoadFile(const std::string& fieldName, const std::string& localPath, const std::string& wireFileName,
               MessageSink& sink);

  const std::string& WireFileName() const { return wireFileName_; }
  const std::string& LocalPath() const { return localPath_; }
  // The bytes to send; nullptr and 0 when nothing has been loaded.
  const char* Block() const { return block_.get(); }
  int BlockLength() const { return blockLength_; }
  // The file's own bytes within the block; nullptr and 0 when not loaded.
  const char* FileBytes() const { return block_ ? block_.get() + headerLength_ : nullptr; }
  std::size_t FileLength() const { return block_ ? static_cast<std::size_t>(blockLength_ - headerLength_ - 2) : 0; }
  // The file those bytes were read from, as it was once they were read.
  const FileStamp& LoadedStamp() const { return loadedStamp_; }

 private:
  std::string wireFileName_;
  std::string localPath_;
  std::unique_ptr<char[]> block_;
  int blockLength_ = 0;
  int headerLength_ = 0;
  FileStamp loadedStamp_;
};

}  // namespace veradex
