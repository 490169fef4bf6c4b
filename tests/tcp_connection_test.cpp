// SPDX-License-Identifier: MIT
// The TCP stream under every LAN transport, against an instrument's SOCKET
// port named by ZEVRA_TEST_SOCKET_PEER ("host:port", the emulator started by
// the test script): exact replies, many queries in one write, deadlines kept
// with nothing to read, discarding what arrived, and the refusals. Written for
// any system; the Windows build runs it under Wine against the Linux emulator.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

#include "tcp_connection.h"
#include "visa.h"
#include "wakeup.h"

namespace {

using visa::Deadline;
using visa::TcpConnection;
using Clock = std::chrono::steady_clock;

const char kIdentity[] = "Halmeric,QDX7001,QDX7001-000001,1.00\n";

class TcpConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* peer = std::getenv("ZEVRA_TEST_SOCKET_PEER");
    if (peer == nullptr) GTEST_SKIP() << "ZEVRA_TEST_SOCKET_PEER (host:port of an instrument) is not set";
    const std::string text = peer;
    host = text.substr(0, text.rfind(':'));
    port = static_cast<unsigned>(std::stoul(text.substr(text.rfind(':') + 1)));
    ASSERT_EQ(TcpConnection::connect(host, port, Deadline::after_ms(2000), link), VI_SUCCESS);
  }

  // Everything up to and including the next line feed.
  std::string ReadLine(Deadline deadline) {
    std::string line;
    char c = 0;
    std::size_t got = 0;
    while (line.empty() || line.back() != '\n') {
      if (link.read_some(&c, 1, deadline, got) != VI_SUCCESS) break;
      line += c;
    }
    return line;
  }

  std::string host;
  unsigned port = 0;
  TcpConnection link;
};

TEST_F(TcpConnectionTest, AQueryIsAnsweredExactly) {
  ASSERT_EQ(link.write_all("*IDN?\n", 6, Deadline::after_ms(2000)), VI_SUCCESS);
  EXPECT_EQ(ReadLine(Deadline::after_ms(2000)), kIdentity);
  EXPECT_EQ(link.peer_address(), host);
  std::uint32_t local = 0;
  ASSERT_TRUE(link.local_ipv4(local));
  if (host == "127.0.0.1") {
    EXPECT_EQ(local, 0x7F000001u) << "the address the peer can reach back";
  }
  EXPECT_TRUE(link.flag(IPPROTO_TCP, TCP_NODELAY)) << "set at connect";
  EXPECT_TRUE(link.set_flag(SOL_SOCKET, SO_KEEPALIVE, true));
  EXPECT_TRUE(link.flag(SOL_SOCKET, SO_KEEPALIVE));
}

// More than the socket buffers hold each way: writes and reads that wait
// for room and for data, all replies whole and in order.
TEST_F(TcpConnectionTest, ThousandsOfQueriesInOneWriteAreAllAnswered) {
  constexpr int kQueries = 50000;
  std::string queries;
  for (int i = 0; i < kQueries; ++i) queries += "*IDN?\n";
  std::string replies(kQueries * (sizeof kIdentity - 1), '\0');
  std::thread writer(
      [&] { EXPECT_EQ(link.write_all(queries.data(), queries.size(), Deadline::after_ms(20000)), VI_SUCCESS); });
  EXPECT_EQ(link.read_exact(replies.data(), replies.size(), Deadline::after_ms(20000)), VI_SUCCESS);
  writer.join();
  std::string expected;
  for (int i = 0; i < kQueries; ++i) expected += kIdentity;
  EXPECT_TRUE(replies == expected);
}

TEST_F(TcpConnectionTest, AReadWithNothingToReadEndsAtItsDeadline) {
  char c = 0;
  std::size_t got = 1;
  const auto start = Clock::now();
  EXPECT_EQ(link.read_some(&c, 1, Deadline::after_ms(300), got), VI_ERROR_TMO);
  const auto took = Clock::now() - start;
  EXPECT_EQ(got, 0u);
  EXPECT_GE(took, std::chrono::milliseconds(290));
  EXPECT_LT(took, std::chrono::milliseconds(300 + 500));
  // The connection is still good after a timeout.
  ASSERT_EQ(link.write_all("*IDN?\n", 6, Deadline::after_ms(2000)), VI_SUCCESS);
  EXPECT_EQ(ReadLine(Deadline::after_ms(2000)), kIdentity);
}

TEST_F(TcpConnectionTest, DiscardingDropsWhatArrivedAndNothingAfter) {
  ASSERT_EQ(link.write_all("*IDN?\n*IDN?\n", 12, Deadline::after_ms(2000)), VI_SUCCESS);
  EXPECT_EQ(link.discard_until_quiet(200, Deadline::after_ms(2000)), VI_SUCCESS);
  char c = 0;
  std::size_t got = 0;
  EXPECT_EQ(link.read_some(&c, 1, Deadline::after_ms(100), got), VI_ERROR_TMO) << "both replies dropped";
  ASSERT_EQ(link.write_all("*IDN?\n", 6, Deadline::after_ms(2000)), VI_SUCCESS);
  EXPECT_EQ(ReadLine(Deadline::after_ms(2000)), kIdentity);
  EXPECT_EQ(link.discard_arrived(), VI_SUCCESS) << "nothing queued";
}

// How a reader thread waiting on a silent peer is stopped from another thread.
TEST_F(TcpConnectionTest, AWaitForBytesEndsWhenWokenAndWhenTheyCome) {
  visa::Wakeup wake;
  ASSERT_TRUE(wake.ok());
  const auto start = Clock::now();
  std::thread waker([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    wake.signal();
  });
  EXPECT_EQ(wake.wait_readable(link.fd(), 5000), VI_ERROR_ABORT);
  waker.join();
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100 + 1000));
  EXPECT_EQ(wake.wait_readable(link.fd(), 0), VI_ERROR_ABORT) << "signalled until cleared";
  wake.clear();
  EXPECT_EQ(wake.wait_readable(link.fd(), 100), VI_ERROR_TMO);
  char reply[64] = {};
  std::size_t got = 0;
  EXPECT_EQ(link.read_available(reply, sizeof reply, got), VI_ERROR_TMO) << "nothing has arrived";
  ASSERT_EQ(link.write_all("*IDN?\n", 6, Deadline::after_ms(2000)), VI_SUCCESS);
  std::string line;
  while (line.size() < sizeof kIdentity - 1) {
    ASSERT_EQ(wake.wait_readable(link.fd(), 2000), VI_SUCCESS);
    ASSERT_EQ(link.read_available(reply, sizeof reply, got), VI_SUCCESS);
    line.append(reply, got);
  }
  EXPECT_EQ(line, kIdentity);
}

// The socket an instrument connects back to (VXI-11's interrupt channel):
// a connection is waited for beside the wake-up, accepted, and carries bytes.
TEST_F(TcpConnectionTest, AListeningSocketTakesAConnectionBack) {
  visa::TcpListeningSocket listener;
  std::uint16_t back_port = 0;
  ASSERT_EQ(listener.listen_ipv4(0x7F000001u, back_port), VI_SUCCESS);
  EXPECT_NE(back_port, 0);
  visa::Wakeup wake;
  EXPECT_EQ(wake.wait_readable(listener.handle(), 100), VI_ERROR_TMO) << "nobody has connected";
  TcpConnection from_peer, accepted;
  ASSERT_EQ(TcpConnection::connect("127.0.0.1", back_port, Deadline::after_ms(2000), from_peer), VI_SUCCESS);
  ASSERT_EQ(wake.wait_readable(listener.handle(), 2000), VI_SUCCESS);
  ASSERT_EQ(listener.accept(accepted), VI_SUCCESS);
  ASSERT_EQ(from_peer.write_all("srq", 3, Deadline::after_ms(2000)), VI_SUCCESS);
  char got[3] = {};
  ASSERT_EQ(accepted.read_exact(got, sizeof got, Deadline::after_ms(2000)), VI_SUCCESS);
  EXPECT_EQ(std::string(got, sizeof got), "srq");
  from_peer.close();
  std::size_t count = 0;
  ASSERT_EQ(wake.wait_readable(accepted.fd(), 2000), VI_SUCCESS) << "the close is seen";
  EXPECT_EQ(accepted.read_available(got, sizeof got, count), VI_ERROR_CONN_LOST);
}

TEST_F(TcpConnectionTest, WhatCannotBeReachedIsNotFound) {
  TcpConnection other;
  EXPECT_EQ(TcpConnection::connect("no-such-host.invalid", port, Deadline::after_ms(2000), other),
            VI_ERROR_RSRC_NFOUND);
  // A port nobody listens on: the one just freed by a closed connection's peer is not known, so take port 1.
  const auto start = Clock::now();
  EXPECT_EQ(TcpConnection::connect(host, 1, Deadline::after_ms(1000), other), VI_ERROR_RSRC_NFOUND);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000 + 500));
  EXPECT_FALSE(other.is_open());
}

TEST_F(TcpConnectionTest, AClosedConnectionIsLost) {
  link.close();
  EXPECT_FALSE(link.is_open());
  char c = 0;
  std::size_t got = 0;
  EXPECT_EQ(link.write_all("*IDN?\n", 6, Deadline::after_ms(100)), VI_ERROR_CONN_LOST);
  EXPECT_EQ(link.read_some(&c, 1, Deadline::after_ms(100), got), VI_ERROR_CONN_LOST);
}

}  // namespace
