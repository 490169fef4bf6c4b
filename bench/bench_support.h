// What the benchmarks share: pinning to one CPU, client-thread CPU time,
// medians, and running modes interleaved in blocks.
#pragma once

#include <sched.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace bench {

// Keeps this process (and the threads it starts later) on the first CPU it
// may use: on a small virtual machine where a wake-up lands moves a loopback
// round trip by a factor of two, which would swamp what is measured.
inline bool PinToOneCpu() {
  cpu_set_t allowed;
  if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return false;
  for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
    if (!CPU_ISSET(cpu, &allowed)) continue;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    return sched_setaffinity(0, sizeof one, &one) == 0;
  }
  return false;
}

// The common command line: [COUNT] [ROUNDS] [--spread], or [ROUNDS]
// [--spread] when there is no count. Pins the process to one CPU unless
// --spread is given.
struct Options {
  int count = 0;
  int rounds = 3;
  bool pinned = false;
};
inline Options ParseOptions(int argc, char** argv, bool takes_count, int default_count = 0, int least_count = 0) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool spread = std::erase(args, "--spread") > 0;
  Options o;
  std::size_t next = 0;
  if (takes_count) {
    o.count = args.size() > next ? std::max(std::atoi(args[next].c_str()), least_count) : default_count;
    ++next;
  }
  o.rounds = args.size() > next ? std::max(std::atoi(args[next].c_str()), 1) : 3;
  o.pinned = !spread && PinToOneCpu();
  return o;
}
inline const char* Placement(const Options& o) { return o.pinned ? "one CPU" : "CPUs as the scheduler places them"; }

inline double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Per-operation wall and CPU seconds, one entry a round.
struct Samples {
  std::vector<double> wall_per_op, cpu_per_op;
  double wall() const { return Median(wall_per_op); }
  double cpu() const { return Median(cpu_per_op); }
};

// Runs `blocks` blocks of `per_block` operations of each mode in turn, for
// each of `rounds` rounds, after one warm-up block; a mode is any type with a
// `name`, a callable `read_reply` or `query`, and `samples`. False when an
// operation failed.
template <typename Mode, typename Op>
bool RunModes(std::vector<Mode>& modes, int rounds, int blocks, int per_block, Op op) {
  auto run_block = [&](Mode& m) {
    for (int i = 0; i < per_block; ++i) {
      if (op(m)) continue;
      std::fprintf(stderr, "an operation of %s failed\n", m.name.c_str());
      return false;
    }
    return true;
  };
  for (Mode& m : modes)
    if (!run_block(m)) return false;
  for (int round = 0; round < rounds; ++round) {
    std::vector<double> wall(modes.size()), cpu(modes.size());
    for (int b = 0; b < blocks; ++b) {
      for (std::size_t k = 0; k < modes.size(); ++k) {
        const double cpu_start = ThreadCpuSeconds();
        const auto wall_start = std::chrono::steady_clock::now();
        if (!run_block(modes[k])) return false;
        wall[k] += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
        cpu[k] += ThreadCpuSeconds() - cpu_start;
      }
    }
    for (std::size_t k = 0; k < modes.size(); ++k) {
      modes[k].samples.wall_per_op.push_back(wall[k] / (blocks * per_block));
      modes[k].samples.cpu_per_op.push_back(cpu[k] / (blocks * per_block));
    }
  }
  return true;
}

template <typename Mode>
bool RunInterleaved(std::vector<Mode>& modes, int rounds, int per_block, int blocks = 3) {
  return RunModes(modes, rounds, blocks, per_block, [](Mode& m) { return m.read_reply(); });
}

}  // namespace bench
