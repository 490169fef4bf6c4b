// SPDX-License-Identifier: MIT
// Resident memory per open VISA session, each transport, side by side with
// the raw clients of the same protocols (raw_clients.h) holding as many open
// connections, all against one in-process emulator. Each measurement runs in a
// process of its own, forked from the emulator's, so only the client's memory
// is counted and no mode reuses another's freed heap. A session counts once it
// has opened and answered one "*IDN?".
//
// usage: visa_session_memory [SESSIONS] [ROUNDS]

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "loopback_emulator.h"
#include "raw_clients.h"
#include "visa.h"

namespace {

// Kilobytes per connection of `open_one`, measured in a child process: one
// opened first (what is loaded once is not counted), then `count` more.
long PerSession(int count, const std::function<bool()>& open_one) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return -1;
  pid_t child = fork();
  if (child == 0) {
    close(pipe_fds[0]);
    long result = -1;
    if (open_one()) {
      const long before = bench::ResidentKb();
      int opened = 0;
      while (opened < count && open_one()) ++opened;
      if (opened == count) result = (bench::ResidentKb() - before) * 1000 / count;  // kB per session, times 1000
    }
    if (write(pipe_fds[1], &result, sizeof result) != sizeof result) _exit(1);
    _exit(0);
  }
  close(pipe_fds[1]);
  long result = -1;
  if (read(pipe_fds[0], &result, sizeof result) != sizeof result) result = -1;
  close(pipe_fds[0]);
  waitpid(child, nullptr, 0);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  const int sessions = argc > 1 ? std::atoi(argv[1]) : 64;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  bench::LoopbackEmulator emulator;
  if (!emulator.start()) return 1;

  // Clients and sessions stay open until the measuring process ends.
  static std::vector<std::unique_ptr<bench::RawClient>> raw_clients;
  auto raw = [](std::function<std::unique_ptr<bench::RawClient>()> make) {
    return [make] {
      raw_clients.push_back(make());
      return raw_clients.back()->ok() && raw_clients.back()->query();
    };
  };
  auto visa = [](std::string resource) {
    return [resource] { return bench::OpenAndAskIdentity(resource) != 0; };
  };
  const unsigned socket_port = emulator.socket.port(), core_port = emulator.vxi11.core_port(),
                 hislip_port = emulator.hislip.port();
  struct Mode {
    const char* name;
    std::function<bool()> open_one;
    std::vector<long> samples;
  } modes[] = {
      {"raw SOCKET", raw([=] { return bench::RawSocket(socket_port); }), {}},
      {"VISA SOCKET", visa(emulator.socket_resource()), {}},
      {"raw VXI-11", raw([=] { return bench::RawVxi11(core_port); }), {}},
      {"VISA VXI-11", visa(emulator.vxi11_resource()), {}},
      {"raw HiSLIP", raw([=] { return bench::RawHislip(hislip_port); }), {}},
      {"VISA HiSLIP", visa(emulator.hislip_resource()), {}},
  };
  for (int round = 0; round < rounds; ++round) {
    for (Mode& mode : modes) {
      const long per = PerSession(sessions, mode.open_one);
      if (per < 0) {
        std::fprintf(stderr, "%s: could not open %d sessions\n", mode.name, sessions);
        return 1;
      }
      mode.samples.push_back(per);
    }
  }

  std::printf("resident memory per open session, %d sessions, each answered one *IDN?; medians of %d rounds\n",
              sessions, rounds);
  std::printf("%-12s %12s %10s\n", "path", "kB/session", "VISA/raw");
  for (std::size_t i = 0; i < std::size(modes); i += 2) {
    double median[2];
    for (int k = 0; k < 2; ++k) {
      std::vector<long> s = modes[i + k].samples;
      std::nth_element(s.begin(), s.begin() + static_cast<long>(s.size() / 2), s.end());
      median[k] = static_cast<double>(s[s.size() / 2]) / 1000.0;
    }
    std::printf("%-12s %12.1f\n", modes[i].name, median[0]);
    std::printf("%-12s %12.1f %9.2fx\n", modes[i + 1].name, median[1], median[0] > 0 ? median[1] / median[0] : 0.0);
  }
  return 0;
}
