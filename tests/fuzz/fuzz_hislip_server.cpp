// SPDX-License-Identifier: MIT
// The emulator's HiSLIP server decoding what a client sends: each input is
// sent on a fresh connection, which is then read until the server closes it.
// Waiting for the close keeps each input's allocations inside its own run (the
// server frees what it received before it closes), so a leak report names a
// real leak and a server that never lets go shows up as a timeout.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "fuzz_support.h"
#include "hislip_server.h"
#include "qdx_instrument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static emulator::QdxInstrument instrument([] {
    emulator::QdxOptions o;
    o.virtual_time = true;
    return o;
  }());
  static emulator::HislipServer* server = [] {
    auto* s = new emulator::HislipServer(instrument, nullptr);  // serves for the whole run
    if (!s->start("127.0.0.1", 0).empty()) std::abort();
    return s;
  }();
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<std::uint16_t>(server->port()));
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
    (void)::send(fd, data, size, MSG_NOSIGNAL);
    ::shutdown(fd, SHUT_WR);
    char scratch[4096];
    while (::recv(fd, scratch, sizeof scratch, 0) > 0) {
    }
  }
  ::close(fd);
  return 0;
}
