#include <gtest/gtest.h>

#include <chrono>

#include "net/TcpSocket.h"
#include "support/LoopbackSocket.h"

namespace veradex {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTimeout = 1;  // seconds

TEST(TcpSocket, ReceiveWaitsAtMostItsTimeOut) {
  int port = 0;
  const int listener = test::LoopbackSocket::Listen(&port);
  ASSERT_GE(listener, 0);

  TcpSocket connection(kTimeout, kTimeout);
  ASSERT_TRUE(connection.Connect("127.0.0.1", port).Ok());
  EXPECT_TRUE(connection.Send("hello", 5));
  const int peer = test::LoopbackSocket::Accept(listener);
  char buffer[16] = {};
  EXPECT_EQ(test::LoopbackSocket::Receive(peer, buffer, sizeof buffer), 5);
  const auto start = Clock::now();
  EXPECT_EQ(connection.Receive(buffer, sizeof buffer), -1);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(kTimeout + 1));
  EXPECT_FALSE(connection.Send("x", 1));  // closed by the time-out
  test::LoopbackSocket::Close(peer);
  test::LoopbackSocket::Close(listener);
}

}  // namespace
}  // namespace veradex
