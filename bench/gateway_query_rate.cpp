// SPDX-License-Identifier: MIT
// "*IDN?" by viQueryf through zevra-gateway (in this process, in front of the
// emulator's raw socket) over HiSLIP and VXI-11, side by side with the same
// query straight to the emulator over SOCKET, HiSLIP and VXI-11. The modes
// run interleaved in small blocks; medians of the rounds. What the gateway
// adds per exchange is its time over the direct SOCKET query.
//
// Client, gateway and emulator run on one CPU unless --split (client on the
// other) or --spread is given (bench_support.h says why).
//
// usage: gateway_query_rate [QUERIES_PER_MODE] [ROUNDS] [--split|--spread]

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "hislip_service.h"
#include "instrument_pool.h"
#include "loopback_emulator.h"
#include "visa.h"
#include "vxi11_service.h"

namespace {

constexpr int kBlock = 200;

struct Mode {
  std::string name;
  ViSession vi;
  bench::Samples samples;
};

}  // namespace

int main(int argc, char** argv) {
  const bench::Options options = bench::ParseOptions(argc, argv, true, 20000, kBlock);
  bench::LoopbackEmulator emulator;
  if (!emulator.start()) return 1;
  const std::string direct_vxi11_portmapper = std::to_string(emulator.vxi11.portmapper_port());
  const emulator::TcpListener::Admit admit = [](const sockaddr_storage&) { return true; };
  gateway::InstrumentPool pool({{"hislip0", emulator.socket_resource()}, {"inst1", emulator.socket_resource()}},
                               gateway::ServiceSettings{}.most_message_bytes);
  gateway::HislipService hislip(pool, admit, {});
  gateway::Vxi11Service vxi11(pool, admit, {});
  if (!hislip.start("127.0.0.1", 0).empty() || !vxi11.start("127.0.0.1", 0).empty()) return 1;
  if (!bench::ClientOnItsOwnCpu(options)) return 1;

  // The VXI-11 clients find their portmapper through the environment, read at each open.
  std::vector<Mode> modes = {{"direct SOCKET", bench::OpenVisa(emulator.socket_resource()), {}},
                             {"direct HiSLIP", bench::OpenVisa(emulator.hislip_resource()), {}},
                             {"direct VXI-11", bench::OpenVisa(emulator.vxi11_resource()), {}}};
  setenv("ZEVRA_VXI11_PORTMAPPER_PORT", std::to_string(vxi11.portmapper_port()).c_str(), 1);
  modes.push_back({"gateway HiSLIP",
                   bench::OpenVisa("TCPIP0::127.0.0.1::hislip0," + std::to_string(hislip.port()) + "::INSTR"), {}});
  modes.push_back({"gateway VXI-11", bench::OpenVisa("TCPIP0::127.0.0.1::inst1::INSTR"), {}});
  for (const Mode& m : modes) {
    if (m.vi == 0) {
      std::fprintf(stderr, "cannot open %s\n", m.name.c_str());
      return 1;
    }
  }
  char f[4][257];
  auto query = [&f](Mode& m) {
    return viQueryf(m.vi, "*IDN?\n", "%256[^,],%256[^,],%256[^,],%256[^,]%*T", f[0], f[1], f[2], f[3]) == VI_SUCCESS;
  };
  const int blocks = options.count / kBlock;
  if (!bench::RunModes(modes, options.rounds, blocks, kBlock, query)) return 1;

  std::printf("%d queries per mode in blocks of %d, modes interleaved; medians of %d rounds; %s\n", blocks * kBlock,
              kBlock, options.rounds, bench::PlacementText(options));
  std::printf("%-16s %14s %14s %12s %16s\n", "path", "wall us/query", "queries/s", "wall/direct",
              "added us/query");
  const double direct = modes[0].samples.wall();
  for (const Mode& m : modes) {
    const double wall = m.samples.wall();
    std::printf("%-16s %14.2f %14.0f %12.2f %16.2f\n", m.name.c_str(), wall * 1e6, 1 / wall, wall / direct,
                (wall - direct) * 1e6);
  }
  return 0;
}
