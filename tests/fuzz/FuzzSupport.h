#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

#include <wx/debug.h>
#include <wx/string.h>

#include "net/ByteStream.h"

namespace veradex::fuzz {

// A server's answer played from memory behind the stream interface the
// exchanges use. The first input byte says how the answer is cut up: 0 gives
// every read as much as it asks for, n > 0 hands out at most n bytes per
// read (so heads, cookies and verdicts are split across reads). The rest is
// the answer; after it the stream reports the end. What the exchange sends is
// kept, to check it wrote its request whole.
class FuzzStream : public veradex::ByteStream {
 public:
  FuzzStream(const uint8_t* data, std::size_t size) {
    if (size > 0) {
      piece_ = data[0];
      answer_.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
    }
  }

  bool Send(const char* bytes, int length) override {
    if (closed_ || length < 0) return false;
    sent_.append(bytes, static_cast<std::size_t>(length));
    return true;
  }
  int Receive(char* buffer, int capacity) override {
    if (closed_ || capacity <= 0 || at_ >= answer_.size()) return -1;
    std::size_t count = std::min(static_cast<std::size_t>(capacity), answer_.size() - at_);
    if (piece_ > 0) count = std::min<std::size_t>(count, piece_);
    std::memcpy(buffer, answer_.data() + at_, count);
    at_ += count;
    return static_cast<int>(count);
  }
  void Close() override { closed_ = true; }

  const std::string& Sent() const { return sent_; }

 private:
  std::string answer_;
  std::size_t at_ = 0;
  unsigned piece_ = 0;
  std::string sent_;
  bool closed_ = false;
};

// Splits an input at the byte sequence "\n--8<--\n" into at most `count`
// fields (the last one takes the rest), so one input can carry several texts.
inline std::size_t SplitFields(const uint8_t* data, std::size_t size, std::string* fields, std::size_t count) {
  static const std::string kCut = "\n--8<--\n";
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t used = 0;
  std::size_t start = 0;
  while (used + 1 < count) {
    const std::size_t cut = input.find(kCut, start);
    if (cut == std::string::npos) break;
    fields[used++] = input.substr(start, cut - start);
    start = cut + kCut.size();
  }
  fields[used++] = input.substr(start);
  return used;
}

// A property every input must keep; a broken one ends the run like a crash,
// so libFuzzer keeps the input.
inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz: property broken: %s\n", what);
  std::abort();
}

// A folder of this process for the files a target writes, in memory (tmpfs)
// when there is one; removed at exit.
inline const std::string& ScratchFolder() {
  static const std::string* const folder = [] {
    namespace fs = std::filesystem;
    const std::string base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string();
    auto* made = new std::string(base + "/veradex-fuzz-XXXXXX");
    if (mkdtemp(made->data()) == nullptr) std::abort();
    return made;
  }();
  static const bool removeAtExit = (std::atexit([] {
                                      std::error_code ignored;
                                      std::filesystem::remove_all(*folder, ignored);
                                    }),
                                    true);
  (void)removeAtExit;
  return *folder;
}

// Empties the scratch folder.
inline void ClearScratchFolder() {
  for (const auto& entry : std::filesystem::directory_iterator(ScratchFolder()))
    std::filesystem::remove_all(entry.path());
}

// A failed toolkit assertion ends the run like a crash too.
inline void AbortOnAssertion() {
  wxSetAssertHandler(
      [](const wxString& file, int line, const wxString&, const wxString& condition, const wxString& message) {
        std::fprintf(stderr, "fuzz: assertion %s failed at %s:%d: %s\n", condition.utf8_str().data(),
                     file.utf8_str().data(), line, message.utf8_str().data());
        std::abort();
      });
}

}  // namespace veradex::fuzz
