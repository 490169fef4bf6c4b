// Queries per second over loopback: "*IDN?" through our VISA library
// (viQueryf with the driver's identity format) over each transport, against
// the same exchange made with plain socket calls, all against one in-process
// emulator.
//
// usage: visa_query_rate [QUERIES]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include "hislip_server.h"
#include "scripted_instrument.h"
#include "socket_server.h"
#include "vxi11_server.h"
#include "visa.h"

namespace {

double queries_per_second(int count, const std::function<bool()>& query) {
  for (int i = 0; i < count / 20 + 1; ++i) {
    if (!query()) return -1;  // warm-up
  }
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    if (!query()) return -1;
  }
  std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return count / elapsed.count();
}

// The plain-socket client: write the query, read up to the line feed.
class PlainClient {
 public:
  explicit PlainClient(unsigned port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ok_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  }
  ~PlainClient() { ::close(fd_); }
  bool ok() const { return ok_; }

  bool query() {
    static const char kQuery[] = "*IDN?\n";
    if (::send(fd_, kQuery, sizeof kQuery - 1, 0) != sizeof kQuery - 1) return false;
    char buf[512];
    std::size_t used = 0;
    for (;;) {
      ssize_t n = ::recv(fd_, buf + used, sizeof buf - used, 0);
      if (n <= 0) return false;
      used += static_cast<std::size_t>(n);
      if (buf[used - 1] == '\n') return true;
      if (used == sizeof buf) return false;
    }
  }

 private:
  int fd_ = -1;
  bool ok_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  int count = argc > 1 ? std::atoi(argv[1]) : 20000;
  emulator::ScriptedInstrument instrument;
  emulator::SocketServer server(instrument, nullptr);
  std::string error = server.start("127.0.0.1", 0);
  if (!error.empty()) {
    std::fprintf(stderr, "emulator: %s\n", error.c_str());
    return 1;
  }
  emulator::Vxi11Server vxi11(instrument, nullptr);
  emulator::HislipServer hislip(instrument, nullptr);
  if (!(error = vxi11.start("127.0.0.1", 0)).empty() || !(error = hislip.start("127.0.0.1", 0)).empty()) {
    std::fprintf(stderr, "emulator: %s\n", error.c_str());
    return 1;
  }
  setenv("ZEVRA_VXI11_PORTMAPPER_PORT", std::to_string(vxi11.portmapper_port()).c_str(), 1);
  const std::pair<const char*, std::string> transports[] = {
      {"SOCKET", "TCPIP0::127.0.0.1::" + std::to_string(server.port()) + "::SOCKET"},
      {"VXI-11", "TCPIP0::127.0.0.1::inst0::INSTR"},
      {"HiSLIP", "TCPIP0::127.0.0.1::hislip0," + std::to_string(hislip.port()) + "::INSTR"},
  };
  double visa[3] = {};
  for (std::size_t t = 0; t < 3; ++t) {
    const std::string& resource = transports[t].second;
    ViSession rm = 0, vi = 0;
    if (viOpenDefaultRM(&rm) < 0 || viOpen(rm, resource.c_str(), VI_NULL, 2000, &vi) < 0) {
      std::fprintf(stderr, "cannot open %s\n", resource.c_str());
      return 1;
    }
    viSetAttribute(vi, VI_ATTR_TERMCHAR, '\n');
    viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, VI_TRUE);
    char f[4][257];
    visa[t] = queries_per_second(count, [&] {
      return viQueryf(vi, "*IDN?\n", "%256[^,],%256[^,],%256[^,],%256[^,]%*T", f[0], f[1], f[2], f[3]) == VI_SUCCESS;
    });
    viClose(rm);
    if (visa[t] <= 0) {
      std::fprintf(stderr, "a query over %s failed\n", transports[t].first);
      return 1;
    }
  }

  PlainClient plain_client(server.port());
  double plain = plain_client.ok() ? queries_per_second(count, [&] { return plain_client.query(); })
                                   : -1;
  if (plain <= 0) {
    std::fprintf(stderr, "a plain-socket query failed\n");
    return 1;
  }
  std::printf("plain socket: %.0f q/s (%d queries)\n", plain, count);
  std::printf("transport  VISA q/s  VISA/plain-socket\n");
  for (std::size_t t = 0; t < 3; ++t) std::printf("%-9s  %8.0f  %17.3f\n", transports[t].first, visa[t], visa[t] / plain);
  return 0;
}
