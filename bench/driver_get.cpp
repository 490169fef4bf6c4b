// SPDX-License-Identifier: MIT
// A driver Get of a channel attribute (the voltage level of CH2, read from
// the instrument each time: Cache=0) over SOCKET, side by side with a raw C
// client sending exactly the bytes the driver sends (taken from the
// emulator's transcript of one Get) and reading the same replies, with
// QueryInstrStatus off and on; and between them the same exchanges made with
// VISA calls (viPrintf, viQueryf), which shows the library's share, and the
// raw client with a memory footprint the size of the Get's code (below).
// Modes interleave in blocks; medians of rounds; client and emulator on one
// CPU unless --split or --spread (bench_support.h).
//
// usage: driver_get [GETS_PER_MODE] [ROUNDS] [--split|--spread]
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ZEVRA.h"
#include "bench_support.h"
#include "driver_store.h"
#include "qdx_on_loopback.h"
#include "raw_clients.h"
#include "socket_server.h"
#include "visa.h"

namespace {

constexpr int kBlock = 200;

// About as many distinct cache lines as a driver Get runs code on (callgrind's
// instruction-level profile of the Get counts some 300 lines on 40-odd pages).
// A raw client that also reads that many lines, each on its own page, before
// every exchange shows what a footprint of that size costs on its own: caches
// and TLB are cold again after each switch to the server and back.
constexpr int kFootprintLines = 300;
constexpr std::size_t kFootprintStride = 4096 + 64;  // a new page and a new cache set each time

unsigned TouchFootprint() {
  static std::vector<unsigned char> memory(kFootprintLines * kFootprintStride, 1);
  unsigned sum = 0;
  for (int i = 0; i < kFootprintLines; ++i) sum += *static_cast<volatile unsigned char*>(&memory[i * kFootprintStride]);
  return sum;
}

struct Mode {
  std::string name;
  std::function<bool()> get;
  bench::Samples samples;
};

// The lines one Get sends, as the emulator received them.
std::vector<std::string> LinesOfOneGet(emulator::Transcript& transcript, ViSession vi) {
  ViReal64 level = 0;
  transcript.clear();
  if (ZEVRA_GetAttributeViReal64(vi, "CH2", ZEVRA_ATTR_VOLTAGE_LEVEL, &level) < 0) return {};
  return transcript.lines();
}

}  // namespace

int main(int argc, char** argv) {
  const bench::Options run = bench::ParseOptions(argc, argv, true, 20000, kBlock);
  const int per_mode = run.count, rounds = run.rounds;

  // The lines of a Get are learnt on a server that keeps a transcript; the
  // timing runs on one that does not.
  bench::QdxOnLoopback qdx;
  emulator::Transcript transcript;
  emulator::SocketServer recorded(qdx.instrument, &transcript);
  bench::TempDriverStore store;
  if (!qdx.start() || !store.ok()) return 1;
  if (std::string error = recorded.start("127.0.0.1", 0); !error.empty()) {
    std::fprintf(stderr, "emulator: %s\n", error.c_str());
    return 1;
  }
  if (!bench::ClientOnItsOwnCpu(run)) return 1;
  std::string resource = qdx.resource();
  std::string recorded_resource = "TCPIP0::127.0.0.1::" + std::to_string(recorded.port()) + "::SOCKET";

  std::vector<Mode> modes;
  std::vector<std::unique_ptr<bench::RawClient>> raws;
  std::vector<ViSession> sessions;
  for (const char* status : {"0", "1"}) {
    ViSession vi = VI_NULL, learner = VI_NULL;
    std::string options_text = std::string("Cache=0,QueryInstrStatus=") + status;
    if (ZEVRA_InitWithOptions(recorded_resource.data(), VI_TRUE, VI_FALSE, options_text.c_str(), &learner) < 0 ||
        ZEVRA_InitWithOptions(resource.data(), VI_TRUE, VI_FALSE, options_text.c_str(), &vi) < 0) {
      std::fprintf(stderr, "cannot open %s\n", resource.c_str());
      return 1;
    }
    sessions.push_back(vi);
    std::vector<std::string> lines = LinesOfOneGet(transcript, learner);
    ZEVRA_close(learner);
    if (lines.empty()) {
      std::fprintf(stderr, "the Get sent nothing\n");
      return 1;
    }
    std::printf("QueryInstrStatus=%s: a Get sends", status);
    for (const std::string& line : lines) std::printf(" \"%s\"", line.c_str());
    std::printf("\n");
    raws.push_back(bench::RawSocket(qdx.server.port()));
    bench::RawClient* raw = raws.back().get();
    auto send_raw = [raw, lines] {
      for (const std::string& line : lines) {
        // A query is answered with a line; a command is sent with no reply to wait for.
        if (line.find('?') != std::string::npos ? !raw->query(line + "\n", nullptr) : !raw->send(line + "\n"))
          return false;
      }
      return true;
    };
    const std::string on_off = *status == '1' ? "on" : "off";
    modes.push_back({"raw C, status " + on_off, send_raw, {}});
    modes.push_back({"raw C+footprint, " + on_off, [send_raw] { return TouchFootprint() != 0 && send_raw(); }, {}});
    ViSession rm = VI_NULL, direct = VI_NULL;
    if (viOpenDefaultRM(&rm) < 0 || viOpen(rm, resource.c_str(), VI_NULL, 2000, &direct) < 0) return 1;
    viSetAttribute(direct, VI_ATTR_TERMCHAR_EN, VI_TRUE);
    modes.push_back({"VISA calls, status " + on_off,
                     [direct, lines] {
                       char reply[256];
                       for (const std::string& line : lines) {
                         const std::string command = line + "\n";
                         ViStatus st = line.find('?') != std::string::npos
                                           ? viQueryf(direct, command.c_str(), "%255[^\n]", reply)
                                           : viPrintf(direct, command.c_str());
                         if (st < 0) return false;
                       }
                       return true;
                     },
                     {}});
    modes.push_back({"driver Get, status " + on_off,
                     [vi] {
                       ViReal64 level = 0;
                       return ZEVRA_GetAttributeViReal64(vi, "CH2", ZEVRA_ATTR_VOLTAGE_LEVEL, &level) >= 0;
                     },
                     {}});
  }
  if (!bench::RunModes(modes, rounds, per_mode / kBlock, kBlock, [](Mode& m) { return m.get(); })) return 1;

  std::printf("%d Gets per mode in blocks of %d, modes interleaved; medians of %d rounds; %s\n",
              per_mode / kBlock * kBlock, kBlock, rounds, bench::PlacementText(run));
  // Waits and preemptions per Get show why wall time can grow by more than
  // the client's CPU time: on one CPU, a client that spends longer on each
  // exchange is more often preempted by the server its send has just woken.
  std::printf("%-24s %12s %12s %9s %9s %8s %10s\n", "path", "wall us/Get", "CPU us/Get", "wall/raw", "CPU/raw",
              "waits", "preempted");
  constexpr std::size_t kModesPerStatus = 4;
  for (std::size_t i = 0; i < modes.size(); i += kModesPerStatus) {
    const bench::Samples& raw = modes[i].samples;
    for (std::size_t k = i; k < i + kModesPerStatus; ++k) {
      const bench::Samples& m = modes[k].samples;
      std::printf("%-24s %12.2f %12.2f ", modes[k].name.c_str(), m.wall() * 1e6, m.cpu() * 1e6);
      if (k == i) std::printf("%9s %9s ", "", "");
      else std::printf("%9.2f %9.2f ", m.wall() / raw.wall(), m.cpu() / raw.cpu());
      std::printf("%8.3f %10.3f\n", m.waited(), m.preempted());
    }
  }
  for (ViSession vi : sessions) ZEVRA_close(vi);
  return 0;
}
