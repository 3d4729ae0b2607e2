#include "support/BlackHolePort.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace veradex::test {

BlackHolePort::BlackHolePort() {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(listener_, 0);
  socklen_t length = sizeof address;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  // Fill the accept queue; the listener never takes anything from it.
  for (int i = 0; i < 4; ++i) {
    const int filler = socket(AF_INET, SOCK_STREAM, 0);
    fcntl(filler, F_SETFL, fcntl(filler, F_GETFL, 0) | O_NONBLOCK);
    connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    fillers_.push_back(filler);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

BlackHolePort::~BlackHolePort() {
  for (const int filler : fillers_) close(filler);
  close(listener_);
}

}  // namespace veradex::test
