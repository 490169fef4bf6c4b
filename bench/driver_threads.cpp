// SPDX-License-Identifier: MIT
// How driver calls scale with threads: N threads, each on its own session,
// doing Set+Get of a channel's voltage level, for N = 1, 2, 4, 8; simulated
// sessions (no I/O: the runtime's own cost and locks) and real ones against
// the emulator over SOCKET. Reports the total rate and its ratio to one
// thread's, medians of rounds. Threads run wherever the scheduler puts them.
//
// usage: driver_threads [SECONDS_PER_RUN] [ROUNDS]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "ZEVRA.h"
#include "bench_support.h"
#include "driver_store.h"
#include "qdx_on_loopback.h"

namespace {

// Set+Get pairs per second over `threads` sessions opened with `options`.
double PairsPerSecond(const std::string& resource, const char* options, int threads, double seconds) {
  std::vector<ViSession> sessions(threads, VI_NULL);
  for (ViSession& vi : sessions) {
    if (ZEVRA_InitWithOptions(const_cast<char*>(resource.c_str()), VI_FALSE, VI_FALSE, options, &vi) < 0) {
      std::fprintf(stderr, "cannot open %s with %s\n", resource.c_str(), options);
      std::exit(1);
    }
  }
  std::atomic<bool> go{false}, stop{false};
  std::atomic<long> pairs{0};
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&, vi = sessions[t]] {
      while (!go) std::this_thread::yield();
      long done = 0;
      for (double level = 1.0; !stop; level = level < 2.0 ? level + 0.01 : 1.0) {
        ViReal64 back = 0;
        if (ZEVRA_ConfigureVoltageLevel(vi, "CH1", level) < 0 ||
            ZEVRA_GetAttributeViReal64(vi, "CH1", ZEVRA_ATTR_VOLTAGE_LEVEL, &back) < 0) {
          std::fprintf(stderr, "a Set+Get failed\n");
          std::exit(1);
        }
        ++done;
      }
      pairs += done;
    });
  }
  const auto start = std::chrono::steady_clock::now();
  go = true;
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  stop = true;
  for (std::thread& w : workers) w.join();
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  for (ViSession vi : sessions) ZEVRA_close(vi);
  return static_cast<double>(pairs) / elapsed;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::max(std::atof(argv[1]), 0.1) : 1.0;
  const int rounds = argc > 2 ? std::max(std::atoi(argv[2]), 1) : 3;
  bench::QdxOnLoopback qdx;
  bench::TempDriverStore store;
  if (!qdx.start() || !store.ok()) return 1;
  const std::string resource = qdx.resource();

  std::printf("%u CPUs; %.1f s a run, medians of %d rounds; Set+Get pairs per second\n",
              std::thread::hardware_concurrency(), seconds, rounds);
  std::printf("%-10s %8s %14s %10s\n", "sessions", "threads", "pairs/s", "vs 1");
  struct Kind {
    const char* name;
    const char* options;
  } kinds[] = {{"simulated", "Simulate=1,Cache=0"}, {"real", "Cache=0"}};
  for (const Kind& kind : kinds) {
    double one = 0;
    for (int threads : {1, 2, 4, 8}) {
      std::vector<double> rates;
      for (int r = 0; r < rounds; ++r) rates.push_back(PairsPerSecond(resource, kind.options, threads, seconds));
      const double rate = bench::Median(rates);
      if (threads == 1) one = rate;
      std::printf("%-10s %8d %14.0f %10.2f\n", kind.name, threads, rate, rate / one);
    }
  }
  return 0;
}
