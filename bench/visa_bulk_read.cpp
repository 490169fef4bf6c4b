// SPDX-License-Identifier: MIT
// Large replies (1 MB and 16 MB) through our VISA library over each
// transport: one viRead of the whole reply, and a formatted read of it
// (viQueryf with "%#[^\n]"), side by side with a raw C client of the same
// protocol receiving the same reply. Modes interleave in small blocks and the
// medians of the rounds are reported, wall and client-thread CPU per reply;
// client and emulator run on one CPU unless --split or --spread is given
// (bench_support.h).
//
// usage: visa_bulk_read [ROUNDS] [--split|--spread]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
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

struct Mode {
  std::string name;
  std::function<bool()> read_reply;
  bench::Samples samples;
};


}  // namespace

int main(int argc, char** argv) {
  const bench::Options options = bench::ParseOptions(argc, argv, false);
  const int rounds = options.rounds;
  bench::LoopbackEmulator emulator;
  if (!emulator.start() || !bench::ClientOnItsOwnCpu(options)) return 1;
  emulator::ScriptedInstrument& instrument = emulator.instrument;

  struct Size {
    const char* name;
    std::size_t bytes;
    int per_block;
  } sizes[] = {{"1 MB", 1u << 20, 10}, {"16 MB", 16u << 20, 1}};
  for (const Size& size : sizes) {
    const std::string command = std::string("BULK") + std::to_string(size.bytes) + "?\n";
    instrument.on(command.substr(0, command.size() - 1), std::string(size.bytes - 1, 'b'),
                  emulator::ScriptedInstrument::kForever);
  }

  struct Transport {
    const char* name;
    std::string resource;
    std::unique_ptr<bench::RawClient> raw;
    ViSession vi = 0;
  } transports[] = {
      {"SOCKET", emulator.socket_resource(), bench::RawSocket(emulator.socket.port())},
      {"VXI-11", emulator.vxi11_resource(), bench::RawVxi11(emulator.vxi11.core_port())},
      {"HiSLIP", emulator.hislip_resource(), bench::RawHislip(emulator.hislip.port())},
  };
  for (Transport& t : transports) {
    t.vi = bench::OpenVisa(t.resource, 20000);
    if (t.vi == 0 || !t.raw->ok()) {
      std::fprintf(stderr, "cannot open %s\n", t.resource.c_str());
      return 1;
    }
  }

  std::printf("medians of %d rounds; %s\n", rounds, bench::PlacementText(options));
  std::printf("%-6s %-22s %12s %12s %9s %9s\n", "reply", "path", "wall ms", "CPU ms", "wall/raw", "CPU/raw");
  for (const Size& size : sizes) {
    const std::string command = std::string("BULK") + std::to_string(size.bytes) + "?\n";
    std::vector<char> buffer(size.bytes + 64);
    std::string raw_reply;
    std::vector<Mode> modes;
    for (Transport& t : transports) {
      ViSession vi = t.vi;
      const std::size_t expected = size.bytes;
      modes.push_back({std::string("raw ") + t.name,
                       [&t, &command, &raw_reply, expected] {
                         return t.raw->query(command, &raw_reply) && t.raw->reply_length() == expected;
                       },
                       {}});
      modes.push_back({std::string("VISA viRead ") + t.name,
                       [vi, &command, &buffer, expected] {
                         ViUInt32 count = 0;
                         if (viWrite(vi, reinterpret_cast<ViConstBuf>(command.data()),
                                     static_cast<ViUInt32>(command.size()), &count) < 0)
                           return false;
                         ViStatus st = viRead(vi, reinterpret_cast<ViBuf>(buffer.data()),
                                              static_cast<ViUInt32>(buffer.size()), &count);
                         return st >= 0 && count == expected;
                       },
                       {}});
      modes.push_back({std::string("VISA %#[^\\n] ") + t.name,
                       [vi, &command, &buffer, expected] {
                         ViInt32 count = static_cast<ViInt32>(buffer.size() - 1);
                         ViStatus st = viQueryf(vi, command.c_str(), "%#[^\n]", &count, buffer.data());
                         return st >= 0 && static_cast<std::size_t>(count) == expected - 1;
                       },
                       {}});
    }
    if (!bench::RunInterleaved(modes, rounds, size.per_block)) return 1;
    for (std::size_t i = 0; i < modes.size(); i += 3) {
      const bench::Samples& raw = modes[i].samples;
      for (std::size_t k = i; k < i + 3; ++k) {
        const bench::Samples& m = modes[k].samples;
        std::printf("%-6s %-22s %12.3f %12.3f", size.name, modes[k].name.c_str(), m.wall() * 1e3, m.cpu() * 1e3);
        if (k != i) std::printf(" %9.2f %9.2f", m.wall() / raw.wall(), m.cpu() / raw.cpu());
        std::printf("\n");
      }
    }
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak resident memory of the process: %ld MB\n", usage.ru_maxrss / 1024);
  return 0;
}
