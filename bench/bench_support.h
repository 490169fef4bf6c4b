// What the benchmarks share: pinning to one CPU, client-thread CPU time and
// context switches, medians, and running modes interleaved in blocks.
#pragma once

#include <sched.h>
#include <sys/resource.h>
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

// This thread's context switches so far: the waits it blocked in, and the
// times the scheduler took the CPU from it (on one CPU, mostly to run the
// peer it had just woken).
struct Switches {
  long waited = 0, preempted = 0;
};
inline Switches ThreadSwitches() {
  rusage u{};
  if (getrusage(RUSAGE_THREAD, &u) != 0) return {};
  return {u.ru_nvcsw, u.ru_nivcsw};
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Per-operation wall and CPU seconds and context switches, one entry a round.
struct Samples {
  std::vector<double> wall_per_op, cpu_per_op, waited_per_op, preempted_per_op;
  double wall() const { return Median(wall_per_op); }
  double cpu() const { return Median(cpu_per_op); }
  double waited() const { return Median(waited_per_op); }
  double preempted() const { return Median(preempted_per_op); }
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
    std::vector<double> wall(modes.size()), cpu(modes.size()), waited(modes.size()), preempted(modes.size());
    for (int b = 0; b < blocks; ++b) {
      for (std::size_t k = 0; k < modes.size(); ++k) {
        const Switches switches_start = ThreadSwitches();
        const double cpu_start = ThreadCpuSeconds();
        const auto wall_start = std::chrono::steady_clock::now();
        if (!run_block(modes[k])) return false;
        wall[k] += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
        cpu[k] += ThreadCpuSeconds() - cpu_start;
        const Switches switches_end = ThreadSwitches();
        waited[k] += static_cast<double>(switches_end.waited - switches_start.waited);
        preempted[k] += static_cast<double>(switches_end.preempted - switches_start.preempted);
      }
    }
    const double ops = static_cast<double>(blocks) * per_block;
    for (std::size_t k = 0; k < modes.size(); ++k) {
      Samples& s = modes[k].samples;
      s.wall_per_op.push_back(wall[k] / ops);
      s.cpu_per_op.push_back(cpu[k] / ops);
      s.waited_per_op.push_back(waited[k] / ops);
      s.preempted_per_op.push_back(preempted[k] / ops);
    }
  }
  return true;
}

template <typename Mode>
bool RunInterleaved(std::vector<Mode>& modes, int rounds, int per_block, int blocks = 3) {
  return RunModes(modes, rounds, blocks, per_block, [](Mode& m) { return m.read_reply(); });
}

}  // namespace bench
