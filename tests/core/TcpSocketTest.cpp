#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "net/TcpSocket.h"

namespace veradex {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTimeout = 1;  // seconds

TEST(TcpSocket, ReceiveWaitsAtMostItsTimeOut) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 4), 0);
  socklen_t length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);

  TcpSocket connection(kTimeout, kTimeout);
  ASSERT_TRUE(connection.Connect("127.0.0.1", ntohs(address.sin_port)).Ok());
  EXPECT_TRUE(connection.Send("hello", 5));
  const int peer = accept(listener, nullptr, nullptr);
  char buffer[16] = {};
  EXPECT_EQ(recv(peer, buffer, sizeof buffer, 0), 5);
  const auto start = Clock::now();
  EXPECT_EQ(connection.Receive(buffer, sizeof buffer), -1);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(kTimeout + 1));
  EXPECT_FALSE(connection.Send("x", 1));  // closed by the time-out
  close(peer);
  close(listener);
}

}  // namespace
}  // namespace veradex
