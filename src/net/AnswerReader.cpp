#include "net/AnswerReader.h"

#include <algorithm>

#include "net/HttpExchange.h"

namespace veradex {

namespace {
constexpr char kHeadEnd[] = "\r\n\r\n";
constexpr std::size_t kHeadEndLength = sizeof kHeadEnd - 1;
}  // namespace

void AnswerReader::Read(Until until, std::size_t bound, int piece, const Decider& decided) {
  while (wire_.size() < bound) {
    const std::size_t before = wire_.size();
    if (!Receive(piece > 0 ? piece : static_cast<int>(bound - before))) return;
    if (decided && decided(wire_.data() + before, wire_.size() - before)) return;
    if (Over(until)) return;
  }
}

bool AnswerReader::Receive(int most) {
  const std::size_t before = wire_.size();
  wire_.resize(before + static_cast<std::size_t>(most));
  const int count = stream_.Receive(&wire_[before], most);
  wire_.resize(before + static_cast<std::size_t>(std::clamp(count, 0, most)));
  if (count <= 0) return false;
  if (!HeadEnded()) {
    // The blank line may have begun in the read before.
    headEnd_ = wire_.find(kHeadEnd, before >= kHeadEndLength - 1 ? before - (kHeadEndLength - 1) : 0);
    if (HeadEnded()) announced_ = HttpExchange::ContentLengthOf(wire_.substr(0, headEnd_ + 2));
  }
  return true;
}

bool AnswerReader::Over(Until until) const {
  switch (until) {
    case Until::kHeadEnd:
      return HeadEnded();
    case Until::kAnswerEnd:
      return HeadEnded() && (announced_ < 0 || Complete());
    case Until::kAnnouncedBody:
      return Complete();
  }
  return false;
}

std::string AnswerReader::Text() const { return wire_.substr(0, std::min(wire_.find('\0'), wire_.size())); }

bool AnswerReader::Complete() const {
  return HeadEnded() && announced_ >= 0 &&
         static_cast<long long>(wire_.size() - headEnd_ - kHeadEndLength) >= announced_;
}

}  // namespace veradex
