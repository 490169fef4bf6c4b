// SPDX-License-Identifier: MIT
// "*IDN?" through our VISA library (viQueryf with the driver's identity
// format) over each transport, side by side with a raw C client of the same
// protocol (raw_clients.h), all against one in-process emulator. The modes run
// interleaved in small blocks, so that a change of load on the machine falls
// on all of them alike; each round gives wall and client-thread CPU time per
// query, and the medians of the rounds are reported.
//
// Client and emulator run on one CPU unless --split or --spread is given
// (bench_support.h says why).
//
// usage: visa_query_rate [QUERIES_PER_MODE] [ROUNDS] [--split|--spread]

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

constexpr int kBlock = 200;  // queries of one mode before the next mode's turn

struct Mode {
  std::string name;
  std::function<bool()> query;
  bench::Samples samples;
};

}  // namespace

int main(int argc, char** argv) {
  const bench::Options options = bench::ParseOptions(argc, argv, true, 20000, kBlock);
  const int per_mode = options.count, rounds = options.rounds;
  bench::LoopbackEmulator emulator;
  if (!emulator.start() || !bench::ClientOnItsOwnCpu(options)) return 1;

  struct Transport {
    const char* name;
    std::string resource;
    std::unique_ptr<bench::RawClient> raw;
  } transports[] = {
      {"SOCKET", emulator.socket_resource(), bench::RawSocket(emulator.socket.port())},
      {"VXI-11", emulator.vxi11_resource(), bench::RawVxi11(emulator.vxi11.core_port())},
      {"HiSLIP", emulator.hislip_resource(), bench::RawHislip(emulator.hislip.port())},
  };
  std::vector<Mode> modes;
  char f[4][257];
  for (Transport& t : transports) {
    ViSession vi = bench::OpenVisa(t.resource);
    if (vi == 0 || !t.raw->ok()) {
      std::fprintf(stderr, "cannot open %s\n", t.resource.c_str());
      return 1;
    }
    modes.push_back({std::string("raw ") + t.name, [raw = t.raw.get()] { return raw->query(); }, {}});
    modes.push_back({std::string("VISA ") + t.name,
                     [vi, &f] {
                       return viQueryf(vi, "*IDN?\n", "%256[^,],%256[^,],%256[^,],%256[^,]%*T", f[0], f[1], f[2],
                                       f[3]) == VI_SUCCESS;
                     },
                     {}});
  }

  const int blocks = per_mode / kBlock;
  if (!bench::RunModes(modes, rounds, blocks, kBlock, [](Mode& m) { return m.query(); })) return 1;

  std::printf("%d queries per mode in blocks of %d, modes interleaved; medians of %d rounds; %s\n",
              blocks * kBlock, kBlock, rounds, bench::PlacementText(options));
  std::printf("%-12s %14s %14s %10s %10s\n", "path", "wall us/query", "CPU us/query", "wall/raw", "CPU/raw");
  for (std::size_t i = 0; i < modes.size(); i += 2) {
    const Mode& raw = modes[i];
    const Mode& visa = modes[i + 1];
    const double raw_wall = raw.samples.wall(), raw_cpu = raw.samples.cpu();
    const double visa_wall = visa.samples.wall(), visa_cpu = visa.samples.cpu();
    std::printf("%-12s %14.2f %14.2f\n", raw.name.c_str(), raw_wall * 1e6, raw_cpu * 1e6);
    std::printf("%-12s %14.2f %14.2f %10.2f %10.2f\n", visa.name.c_str(), visa_wall * 1e6, visa_cpu * 1e6,
                visa_wall / raw_wall, visa_cpu / raw_cpu);
  }
  std::printf("VISA VXI-11 against one raw SOCKET round trip: %.2f wall\n",
              modes[3].samples.wall() / modes[0].samples.wall());
  return 0;
}
