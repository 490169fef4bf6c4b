// SPDX-License-Identifier: MIT
// The VISA library's VXI-11 client against a server that lies about its
// replies: a read reply declaring far more data than it carries is an I/O
// error, never a copy from nowhere, and the session carries on being usable
// for a close.
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/loopback_server.h"
#include "unique_fd.h"
#include "visa.h"

namespace {

using emulator::UniqueFd;

std::uint32_t Word(const std::string& body, std::size_t index) {
  std::uint32_t v = 0;
  for (std::size_t k = 0; k < 4; ++k) v = (v << 8) | static_cast<unsigned char>(body[index * 4 + k]);
  return v;
}

void PutWord(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

// One listener serving both the portmapper (pointing at itself) and the core
// channel; every device read is answered with a length of 0xFFFFFFF0 and no data.
class LyingVxi11Server {
 public:
  LyingVxi11Server() : listener_(testsupport::ListenOnLoopback(port_)) {
    acceptor_ = std::thread([this] { Accept(); });
  }
  ~LyingVxi11Server() {
    stopping_ = true;
    ::shutdown(listener_.get(), SHUT_RDWR);
    acceptor_.join();
    for (std::thread& t : clients_) t.join();
  }
  unsigned port() const { return port_; }
  int reads() const { return reads_; }

 private:
  void Accept() {
    for (;;) {
      int fd = ::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0 || stopping_) {
        if (fd >= 0) ::close(fd);
        return;
      }
      clients_.emplace_back([this, fd] { Serve(UniqueFd(fd)); });
    }
  }
  void Serve(UniqueFd fd) {
    for (;;) {
      unsigned char marker[4];
      if (!testsupport::ReadAll(fd.get(), marker, 4)) return;
      std::size_t length = ((marker[0] & 0x7Fu) << 24) | (marker[1] << 16) | (marker[2] << 8) | marker[3];
      std::string body(length, '\0');
      if (length < 24 || !testsupport::ReadAll(fd.get(), body.data(), length)) return;
      const std::uint32_t xid = Word(body, 0), program = Word(body, 3), procedure = Word(body, 5);
      std::string reply;
      PutWord(reply, xid);
      for (std::uint32_t v : {1u, 0u, 0u, 0u, 0u}) PutWord(reply, v);  // reply, accepted, no verifier, success
      if (program == 100000) {
        PutWord(reply, port_);  // GETPORT: the core channel is here too
      } else if (procedure == 10) {
        for (std::uint32_t v : {0u, 1u, 0u, 1024u}) PutWord(reply, v);  // create_link: lid 1
      } else if (procedure == 12) {
        ++reads_;
        for (std::uint32_t v : {0u, 4u, 0xFFFFFFF0u}) PutWord(reply, v);  // error 0, END, a length it lacks
      } else {
        PutWord(reply, 0);
      }
      std::string framed;
      PutWord(framed, 0x80000000u | static_cast<std::uint32_t>(reply.size()));
      framed += reply;
      if (::send(fd.get(), framed.data(), framed.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(framed.size())) return;
    }
  }

  unsigned port_ = 0;
  UniqueFd listener_;
  std::atomic<bool> stopping_{false};
  std::atomic<int> reads_{0};
  std::thread acceptor_;
  std::vector<std::thread> clients_;
};

TEST(Vxi11Hostile, AReadReplyLongerThanItsDataIsAnIoError) {
  LyingVxi11Server server;
  setenv("ZEVRA_VXI11_PORTMAPPER_PORT", std::to_string(server.port()).c_str(), 1);
  ViSession rm = VI_NULL, vi = VI_NULL;
  ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
  ASSERT_EQ(viOpen(rm, "TCPIP0::127.0.0.1::inst0::INSTR", VI_NULL, 2000, &vi), VI_SUCCESS);
  ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 1000), VI_SUCCESS);
  char data[64];
  ViUInt32 count = 7;
  EXPECT_EQ(viRead(vi, reinterpret_cast<ViBuf>(data), sizeof data, &count), VI_ERROR_IO);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(server.reads(), 1);
  EXPECT_EQ(viClose(vi), VI_SUCCESS);
  viClose(rm);
  unsetenv("ZEVRA_VXI11_PORTMAPPER_PORT");
}

}  // namespace
