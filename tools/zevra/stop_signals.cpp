// SPDX-License-Identifier: MIT
#include "stop_signals.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <iterator>

namespace zevra_tool {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<int> g_received{0};
// Written by the handler so a wait wakes at once (a self-pipe).
int g_wake[2] = {-1, -1};
struct sigaction g_previous[std::size(kSignals)];

void OnStop(int signal) {
  int saved = errno;
  g_received = signal;
  if (g_wake[1] >= 0) {
    char byte = 1;
    (void)!::write(g_wake[1], &byte, 1);
  }
  errno = saved;
}

}  // namespace

StopSignals::StopSignals() {
  g_received = 0;
  if (::pipe2(g_wake, O_CLOEXEC | O_NONBLOCK) != 0) g_wake[0] = g_wake[1] = -1;
  struct sigaction action {};
  action.sa_handler = OnStop;
  // Calls in progress (a measurement's I/O) go on; the wait between samples wakes.
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (std::size_t k = 0; k < std::size(kSignals); ++k) ::sigaction(kSignals[k], &action, &g_previous[k]);
}

StopSignals::~StopSignals() {
  for (std::size_t k = 0; k < std::size(kSignals); ++k) ::sigaction(kSignals[k], &g_previous[k], nullptr);
  for (int& fd : g_wake) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

bool StopSignals::wait_until(std::chrono::steady_clock::time_point due) const {
  for (;;) {
    if (g_received != 0) return true;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(due - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{g_wake[0], POLLIN, 0};
    // Rounded up so the wait never ends before `due`.
    int timeout = static_cast<int>(std::min<long long>(left.count() + 1, 60000));
    if (g_wake[0] < 0) {
      ::usleep(static_cast<useconds_t>(std::min(timeout, 50)) * 1000);
      continue;
    }
    ::poll(&p, 1, timeout);
  }
}

int StopSignals::received() const { return g_received; }

const char* SignalName(int signal) {
  switch (signal) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "a signal";
  }
}

}  // namespace zevra_tool
