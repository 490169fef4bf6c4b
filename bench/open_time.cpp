// SPDX-License-Identifier: MIT
// Opening: what a test program waits for before its first exchange, each
// against a raw client in the same run. VISA: viOpen and one "*IDN?" (and
// viClose) over SOCKET, HiSLIP and VXI-11, against raw clients connecting and
// asking (the raw VXI-11 client asks the portmapper over TCP first, as viOpen
// does). The driver: ZEVRA_InitWithOptions and ZEVRA_close by resource
// name, and by logical name with a small and a large configuration store,
// against a raw C client connecting and sending the bytes an Init sends
// (learnt from the emulator's transcript of one). Modes interleave in blocks;
// medians of rounds; client and emulator on one CPU unless --split or --spread.
//
// usage: open_time [OPENS_PER_MODE] [ROUNDS] [--split|--spread]
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "ZEVRA.h"
#include "bench_support.h"
#include "loopback_emulator.h"
#include "qdx_on_loopback.h"
#include "raw_clients.h"
#include "socket_server.h"
#include "visa.h"

namespace {

constexpr int kBlock = 20;

struct Mode {
  std::string name;
  std::function<bool()> open;
  bench::Samples samples;
  std::size_t baseline = 0;  // the mode it is compared with
};

// A store that registers the driver and names `resource` "psu", with
// `others` more assets, sessions and logical names around it (a lab's store).
std::string WriteStore(const std::string& path, const std::string& resource, int others) {
  std::ofstream out(path);
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<IviConfigStore>\n  <SoftwareModules>\n"
         "    <IviSoftwareModule id=\"ZEVRA\">\n      <Name>ZEVRA</Name>\n      <Prefix>ZEVRA</Prefix>\n"
         "      <ModulePath>libZEVRA_64.so</ModulePath>\n      <PhysicalNames/>\n      <DataComponents/>\n"
         "    </IviSoftwareModule>\n  </SoftwareModules>\n  <HardwareAssets>\n";
  auto asset = [&](const std::string& name, const std::string& address) {
    out << "    <IviHardwareAsset id=\"" << name << "\">\n      <Name>" << name << "</Name>\n"
        << "      <IOResourceDescriptor>" << address << "</IOResourceDescriptor>\n    </IviHardwareAsset>\n";
  };
  for (int i = 0; i < others; ++i) asset("asset" + std::to_string(i), "TCPIP0::10.0." + std::to_string(i / 250) + "." +
                                                                     std::to_string(i % 250 + 1) + "::inst0::INSTR");
  asset("bench", resource);
  out << "  </HardwareAssets>\n  <DriverSessions>\n";
  auto session = [&](const std::string& name, const std::string& asset_name) {
    out << "    <IviDriverSession id=\"" << name << "\">\n      <Name>" << name << "</Name>\n"
        << "      <IviHardwareAsset idref=\"" << asset_name << "\"/>\n"
        << "      <IviSoftwareModuleRef idref=\"ZEVRA\"/>\n    </IviDriverSession>\n";
  };
  for (int i = 0; i < others; ++i) session("session" + std::to_string(i), "asset" + std::to_string(i));
  session("S", "bench");
  out << "  </DriverSessions>\n  <LogicalNames>\n";
  auto logical = [&](const std::string& name, const std::string& session_name) {
    out << "    <IviLogicalName>\n      <Name>" << name << "</Name>\n      <IviDriverSession idref=\"" << session_name
        << "\"/>\n    </IviLogicalName>\n";
  };
  for (int i = 0; i < others; ++i) logical("name" + std::to_string(i), "session" + std::to_string(i));
  logical("psu", "S");
  out << "  </LogicalNames>\n</IviConfigStore>\n";
  out.close();
  // Written long before the test program runs, as a lab's store is.
  const timespec written[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
  utimensat(AT_FDCWD, path.c_str(), written, 0);
  return path;
}

bool VisaOpenAndAsk(const std::string& resource) {
  const ViSession vi = bench::OpenAndAskIdentity(resource);
  return vi != 0 && viClose(vi) == VI_SUCCESS;
}

bool DriverOpenAndClose(const std::string& name) {
  ViSession vi = VI_NULL;
  if (ZEVRA_InitWithOptions(const_cast<char*>(name.c_str()), VI_TRUE, VI_FALSE, "", &vi) < 0) return false;
  return ZEVRA_close(vi) >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bench::Options run = bench::ParseOptions(argc, argv, true, 400, kBlock);
  bench::LoopbackEmulator scripted;
  scripted.instrument.set_identity("Halmeric,QDX7001,QDX7001-000001,1.00");
  bench::QdxOnLoopback qdx;
  emulator::Transcript transcript;
  emulator::SocketServer recorded(qdx.instrument, &transcript);
  if (!scripted.start() || !qdx.start() || !recorded.start("127.0.0.1", 0).empty()) return 1;
  if (!bench::ClientOnItsOwnCpu(run)) return 1;

  // Two stores naming the same instrument: a small one and a large one.
  std::string dir = (std::filesystem::temp_directory_path() / "zevra-open-XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr) return 1;
  const std::string small_store = WriteStore(dir + "/small.xml", qdx.resource(), 0);
  const std::string large_store = WriteStore(dir + "/large.xml", qdx.resource(), 880);
  setenv("IVICONFIGSERVERDEFAULT", small_store.c_str(), 1);

  // The bytes an Init sends, learnt from a server that keeps a transcript.
  const std::string recorded_resource = "TCPIP0::127.0.0.1::" + std::to_string(recorded.port()) + "::SOCKET";
  if (!DriverOpenAndClose(recorded_resource)) {
    std::fprintf(stderr, "cannot open %s\n", recorded_resource.c_str());
    return 1;
  }
  const std::vector<std::string> lines = transcript.lines();
  std::printf("an Init sends");
  for (const std::string& line : lines) std::printf(" \"%s\"", line.c_str());
  std::printf("\n");

  std::vector<Mode> modes;
  auto add = [&](std::string name, std::function<bool()> open, bool is_baseline) {
    const std::size_t baseline = is_baseline ? modes.size() : modes.back().baseline;
    modes.push_back({std::move(name), std::move(open), {}, baseline});
  };
  const unsigned socket_port = scripted.socket.port(), hislip_port = scripted.hislip.port(),
                 portmapper_port = scripted.vxi11.portmapper_port(), qdx_port = qdx.server.port();
  add("raw SOCKET", [socket_port] { return bench::RawSocket(socket_port)->query(); }, true);
  add("viOpen SOCKET", [r = scripted.socket_resource()] { return VisaOpenAndAsk(r); }, false);
  add("raw HiSLIP", [hislip_port] { return bench::RawHislip(hislip_port)->query(); }, true);
  add("viOpen HiSLIP", [r = scripted.hislip_resource()] { return VisaOpenAndAsk(r); }, false);
  add("raw VXI-11", [portmapper_port] {
    const unsigned core_port = bench::RawPortmapperLookup(portmapper_port);
    return core_port != 0 && bench::RawVxi11(core_port)->query();
  }, true);
  add("viOpen VXI-11", [r = scripted.vxi11_resource()] { return VisaOpenAndAsk(r); }, false);
  add("raw C, an Init's bytes",
      [qdx_port, lines] {
        auto raw = bench::RawSocket(qdx_port);
        for (const std::string& line : lines) {
          if (line.find('?') != std::string::npos ? !raw->query(line + "\n", nullptr) : !raw->send(line + "\n"))
            return false;
        }
        return true;
      },
      true);
  add("Init by resource", [r = qdx.resource(), small_store] {
    setenv("IVICONFIGSERVERDEFAULT", small_store.c_str(), 1);
    return DriverOpenAndClose(r);
  }, false);
  add("Init by name, 3 kB store", [small_store] {
    setenv("IVICONFIGSERVERDEFAULT", small_store.c_str(), 1);
    return DriverOpenAndClose("psu");
  }, false);
  add("Init by name, " + std::to_string(std::filesystem::file_size(large_store) / 1000) + " kB store",
      [large_store] {
        setenv("IVICONFIGSERVERDEFAULT", large_store.c_str(), 1);
        return DriverOpenAndClose("psu");
      },
      false);

  const bool ok = bench::RunModes(modes, run.rounds, std::max(run.count / kBlock, 1), kBlock,
                                  [](Mode& m) { return m.open(); });
  std::filesystem::remove_all(dir);
  if (!ok) return 1;
  std::printf("%d opens per mode in blocks of %d, modes interleaved; medians of %d rounds; %s\n",
              std::max(run.count / kBlock, 1) * kBlock, kBlock, run.rounds, bench::PlacementText(run));
  std::printf("%-28s %12s %12s %9s %9s\n", "path", "wall us", "CPU us", "wall/raw", "CPU/raw");
  for (const Mode& m : modes) {
    const bench::Samples& raw = modes[m.baseline].samples;
    std::printf("%-28s %12.1f %12.1f ", m.name.c_str(), m.samples.wall() * 1e6, m.samples.cpu() * 1e6);
    if (&m == &modes[m.baseline]) std::printf("\n");
    else std::printf("%9.2f %9.2f\n", m.samples.wall() / raw.wall(), m.samples.cpu() / raw.cpu());
  }
  return 0;
}
