#include "net/MultipartBody.h"

namespace veradex {

MultipartPart* MultipartBody::AddPart(int index) {
  if (index == -1) {
    if (partCount_ >= kCapacity) return nullptr;
    return &parts_[partCount_++];
  }
  if (index < 0 || index >= kCapacity) return nullptr;
  return &parts_[index];
}

long long MultipartBody::ContentLength() const {
  long long total = MultipartPart::kClosingLineLength;
  for (int i = 0; i < partCount_; ++i) total += parts_[i].BlockLength();
  return total;
}

}  // namespace veradex
