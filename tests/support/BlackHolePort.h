#pragma once

#include <vector>

namespace veradex::test {

// A loopback port that never answers a connect: a listener that never
// accepts, its backlog filled, so the kernel drops further connection
// attempts and a client's connect waits until its own time-out.
class BlackHolePort {
 public:
  BlackHolePort();
  ~BlackHolePort();
  BlackHolePort(const BlackHolePort&) = delete;
  BlackHolePort& operator=(const BlackHolePort&) = delete;

  int Port() const { return port_; }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::vector<int> fillers_;
};

}  // namespace veradex::test
