// "*IDN?" through our VISA library (viQueryf with the driver's identity
// format) over each transport, side by side with a raw C client of the same
// protocol (raw_clients.h), all against one in-process emulator. The modes run
// interleaved in small blocks, so that a change of load on the machine falls
// on all of them alike; each round gives wall and client-thread CPU time per
// query, and the medians of the rounds are reported.
//
// The process runs on one CPU unless --spread is given: on a small virtual
// machine where a wake-up lands (the same core or another) moves a loopback
// round trip by a factor of two, which would swamp what is measured.
//
// usage: visa_query_rate [QUERIES_PER_MODE] [ROUNDS] [--spread]
#include <sched.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hislip_server.h"
#include "raw_clients.h"
#include "scripted_instrument.h"
#include "socket_server.h"
#include "visa.h"
#include "vxi11_server.h"

namespace {

constexpr int kBlock = 200;  // queries of one mode before the next mode's turn

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Mode {
  std::string name;
  std::function<bool()> query;
  double wall = 0, cpu = 0;                       // this round's totals
  std::vector<double> wall_per_query, cpu_per_query;  // one entry a round
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// A VISA session for `resource`, closed with its resource manager at exit.
ViSession OpenVisa(const std::string& resource) {
  ViSession rm = 0, vi = 0;
  if (viOpenDefaultRM(&rm) < 0 || viOpen(rm, resource.c_str(), VI_NULL, 2000, &vi) < 0) return 0;
  viSetAttribute(vi, VI_ATTR_TERMCHAR, '\n');
  viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, VI_TRUE);
  return vi;
}

// Keeps this process (and the threads it starts later) on the first CPU it may use.
bool PinToOneCpu() {
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

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool spread = std::erase(args, "--spread") > 0;
  const int per_mode = args.size() > 0 ? std::max(std::atoi(args[0].c_str()), kBlock) : 20000;
  const int rounds = args.size() > 1 ? std::max(std::atoi(args[1].c_str()), 1) : 3;
  const bool pinned = !spread && PinToOneCpu();
  emulator::ScriptedInstrument instrument;
  emulator::SocketServer server(instrument, nullptr);
  emulator::Vxi11Server vxi11(instrument, nullptr);
  emulator::HislipServer hislip(instrument, nullptr);
  std::string error = server.start("127.0.0.1", 0);
  if (error.empty()) error = vxi11.start("127.0.0.1", 0);
  if (error.empty()) error = hislip.start("127.0.0.1", 0);
  if (!error.empty()) {
    std::fprintf(stderr, "emulator: %s\n", error.c_str());
    return 1;
  }
  setenv("ZEVRA_VXI11_PORTMAPPER_PORT", std::to_string(vxi11.portmapper_port()).c_str(), 1);

  struct Transport {
    const char* name;
    std::string resource;
    std::unique_ptr<bench::RawClient> raw;
  } transports[] = {
      {"SOCKET", "TCPIP0::127.0.0.1::" + std::to_string(server.port()) + "::SOCKET", bench::RawSocket(server.port())},
      {"VXI-11", "TCPIP0::127.0.0.1::inst0::INSTR", bench::RawVxi11(vxi11.core_port())},
      {"HiSLIP", "TCPIP0::127.0.0.1::hislip0," + std::to_string(hislip.port()) + "::INSTR",
       bench::RawHislip(hislip.port())},
  };
  std::vector<Mode> modes;
  char f[4][257];
  for (Transport& t : transports) {
    ViSession vi = OpenVisa(t.resource);
    if (vi == 0 || !t.raw->ok()) {
      std::fprintf(stderr, "cannot open %s\n", t.resource.c_str());
      return 1;
    }
    modes.push_back({std::string("raw ") + t.name, [raw = t.raw.get()] { return raw->query(); }, 0, 0, {}, {}});
    modes.push_back({std::string("VISA ") + t.name,
                     [vi, &f] {
                       return viQueryf(vi, "*IDN?\n", "%256[^,],%256[^,],%256[^,],%256[^,]%*T", f[0], f[1], f[2],
                                       f[3]) == VI_SUCCESS;
                     },
                     0, 0, {}, {}});
  }

  auto run_block = [](Mode& m) {
    for (int i = 0; i < kBlock; ++i) {
      if (m.query()) continue;
      std::fprintf(stderr, "a query by %s failed\n", m.name.c_str());
      return false;
    }
    return true;
  };
  for (Mode& m : modes)  // warm-up
    if (!run_block(m)) return 1;
  const int blocks = per_mode / kBlock;
  for (int round = 0; round < rounds; ++round) {
    for (Mode& m : modes) m.wall = m.cpu = 0;
    for (int b = 0; b < blocks; ++b) {
      for (Mode& m : modes) {
        const double cpu_start = ThreadCpuSeconds();
        const auto wall_start = std::chrono::steady_clock::now();
        if (!run_block(m)) return 1;
        m.wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
        m.cpu += ThreadCpuSeconds() - cpu_start;
      }
    }
    for (Mode& m : modes) {
      m.wall_per_query.push_back(m.wall / (blocks * kBlock));
      m.cpu_per_query.push_back(m.cpu / (blocks * kBlock));
    }
  }

  std::printf("%d queries per mode in blocks of %d, modes interleaved; medians of %d rounds; %s\n",
              blocks * kBlock, kBlock, rounds, pinned ? "one CPU" : "CPUs as the scheduler places them");
  std::printf("%-12s %14s %14s %10s %10s\n", "path", "wall us/query", "CPU us/query", "wall/raw", "CPU/raw");
  for (std::size_t i = 0; i < modes.size(); i += 2) {
    const Mode& raw = modes[i];
    const Mode& visa = modes[i + 1];
    const double raw_wall = Median(raw.wall_per_query), raw_cpu = Median(raw.cpu_per_query);
    const double visa_wall = Median(visa.wall_per_query), visa_cpu = Median(visa.cpu_per_query);
    std::printf("%-12s %14.2f %14.2f\n", raw.name.c_str(), raw_wall * 1e6, raw_cpu * 1e6);
    std::printf("%-12s %14.2f %14.2f %10.2f %10.2f\n", visa.name.c_str(), visa_wall * 1e6, visa_cpu * 1e6,
                visa_wall / raw_wall, visa_cpu / raw_cpu);
  }
  const double socket_wall = Median(modes[0].wall_per_query);
  std::printf("VISA VXI-11 against one raw SOCKET round trip: %.2f wall\n", Median(modes[3].wall_per_query) / socket_wall);
  return 0;
}
