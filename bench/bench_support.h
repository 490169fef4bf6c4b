// SPDX-License-Identifier: MIT
// What the benchmarks share: where client and emulator run, client-thread CPU time and
// context switches, medians, and running modes interleaved in blocks.
#pragma once

#include <sched.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace bench {

// The process's resident memory in kB.
inline long ResidentKb() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The CPUs this process may use, in order.
inline std::vector<int> AllowedCpus() {
  std::vector<int> cpus;
  cpu_set_t allowed;
  if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return cpus;
  for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
    if (CPU_ISSET(cpu, &allowed)) cpus.push_back(cpu);
  return cpus;
}

// Keeps the calling thread (and the threads it starts later) on `cpu`.
inline bool PinTo(int cpu) {
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(cpu, &one);
  return sched_setaffinity(0, sizeof one, &one) == 0;
}

// Where client and emulator run. One CPU by default: on a small virtual
// machine, whether a wake-up lands on the same core or another moves a
// loopback round trip by a factor of two, which would swamp what is measured.
// --split puts the emulator's threads on one CPU and the client on another,
// as with an instrument on the far side of a wire: placement is as fixed as
// on one CPU, but the client's code is not evicted by the server's between
// exchanges. --spread leaves placement to the scheduler.
enum class Placement { one_cpu, split, scheduler };

// The common command line: [COUNT] [ROUNDS] [--spread|--split], or [ROUNDS]
// [--spread|--split] when there is no count. Pins the process as the
// placement asks; with --split, call ClientOnItsOwnCpu once the emulator's
// threads have started.
struct Options {
  int count = 0;
  int rounds = 3;
  Placement placement = Placement::scheduler;
  int client_cpu = -1;  // with --split
};
inline Options ParseOptions(int argc, char** argv, bool takes_count, int default_count = 0, int least_count = 0) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool spread = std::erase(args, "--spread") > 0;
  const bool split = std::erase(args, "--split") > 0;
  Options o;
  std::size_t next = 0;
  if (takes_count) {
    o.count = args.size() > next ? std::max(std::atoi(args[next].c_str()), least_count) : default_count;
    ++next;
  }
  o.rounds = args.size() > next ? std::max(std::atoi(args[next].c_str()), 1) : 3;
  const std::vector<int> cpus = AllowedCpus();
  if (spread || cpus.empty()) return o;
  if (split && cpus.size() >= 2) {
    if (PinTo(cpus.back())) {
      o.placement = Placement::split;
      o.client_cpu = cpus.front();
    }
  } else if (PinTo(cpus.front())) {
    o.placement = Placement::one_cpu;
  }
  return o;
}

// With --split, moves the calling (client) thread off the emulator's CPU.
inline bool ClientOnItsOwnCpu(const Options& o) {
  return o.placement != Placement::split || PinTo(o.client_cpu);
}

inline const char* PlacementText(const Options& o) {
  switch (o.placement) {
    case Placement::one_cpu: return "client and emulator on one CPU";
    case Placement::split: return "emulator on one CPU, client on another";
    case Placement::scheduler: break;
  }
  return "CPUs as the scheduler places them";
}

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
