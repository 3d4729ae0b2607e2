#pragma once

#include "net/MultipartPart.h"

namespace veradex {

// A multipart/form-data body with room for one part: the report upload sends
// one file per body.
class MultipartBody {
 public:
  static constexpr int kCapacity = 1;

  // With index -1 the next free part, counted as used from now on; with
  // another index the part at that index. nullptr when there is no such part.
  MultipartPart* AddPart(int index);

  int PartCount() const { return partCount_; }
  const MultipartPart& Part(int index) const { return parts_[index]; }
  // The length of the whole body on the wire: every part's block and the
  // closing line.
  long long ContentLength() const;

 private:
  MultipartPart parts_[kCapacity];
  int partCount_ = 0;
};

}  // namespace veradex
