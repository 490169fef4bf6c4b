// SPDX-License-Identifier: MIT
// The HiSLIP client's side of the protocol: a fake server on loopback
// answers every connection (synchronous and asynchronous channel alike) with
// the input's bytes, then closes; the client opens and queries.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "fuzz_support.h"
#include "hislip_codec.h"
#include "visa.h"

namespace {

class FakeServer {
 public:
  FakeServer() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd_, 16) != 0) std::abort();
    socklen_t len = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    std::thread([this] { Serve(); }).detach();
  }
  unsigned port() const { return port_; }
  void answer(std::string_view bytes) {
    std::lock_guard lock(mutex_);
    answer_.assign(bytes);
  }

 private:
  void Serve() {
    for (;;) {
      int client = ::accept(fd_, nullptr, nullptr);
      if (client < 0) continue;
      std::string answer;
      {
        std::lock_guard lock(mutex_);
        answer = answer_;
      }
      char scratch[4096];
      pollfd p{client, POLLIN, 0};
      if (::poll(&p, 1, 20) > 0) (void)::recv(client, scratch, sizeof scratch, MSG_DONTWAIT);
      (void)::send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
      ::shutdown(client, SHUT_WR);
      ::poll(&p, 1, 20);
      ::close(client);
    }
  }
  int fd_ = -1;
  unsigned port_ = 0;
  std::mutex mutex_;
  std::string answer_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static FakeServer server;
  static ViSession rm = [] {
    ViSession s = VI_NULL;
    if (viOpenDefaultRM(&s) < VI_SUCCESS) std::abort();
    return s;
  }();
  std::string_view bytes = fuzzing::Text(data, size);
  // The codec alone, on every header the input holds.
  for (std::size_t at = 0; at + hislip::kHeaderSize <= bytes.size(); at += hislip::kHeaderSize) {
    hislip::Header h;
    hislip::Decode(reinterpret_cast<const unsigned char*>(bytes.data() + at), h);
  }
  server.answer(bytes);
  std::string resource = "TCPIP0::127.0.0.1::hislip0," + std::to_string(server.port()) + "::INSTR";
  ViSession vi = VI_NULL;
  if (viOpen(rm, resource.c_str(), VI_NULL, 200, &vi) >= VI_SUCCESS) {
    viSetAttribute(vi, VI_ATTR_TMO_VALUE, 50);
    char reply[64];
    viQueryf(vi, "*IDN?\n", "%63[^\n]", reply);
    viClose(vi);
  }
  return 0;
}
