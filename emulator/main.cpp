// SPDX-License-Identifier: MIT
// qdx-emulator: serves an emulated QDX power supply on the network until
// SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "qdx_instrument.h"
#include "mdns_advertiser.h"
#include "scripted_instrument.h"
#include "serial_server.h"
#include "socket_server.h"
#include "gpib_bus.h"
#include "prologix_adapter.h"
#include "hislip_server.h"
#include "vxi11_server.h"

namespace {

constexpr const char* kUsage =
    "usage: qdx-emulator [options]\n"
    "  --version             print the version and exit\n"
    "  --address ADDR        address to listen on (default 127.0.0.1)\n"
    "  --port PORT           TCP port of the SOCKET transport; 0 picks a free one (default 0)\n"
    "  --mainframe MODEL     QDX7001 (default) or QDX7000\n"
    "  --modules M1,M2,M3,M4 module models in slots 1-4, empty for an empty slot\n"
    "                        (default QDX7102,QDX7103,QDX7301,QDX7104)\n"
    "  --load CH=OHMS        resistive load on channel CH (1-4); default 1000 ohm each\n"
    "  --virtual-time        time stands still until a client sends EMUL:TIME:ADV <seconds>\n"
    "  --transcript FILE     append every line received (>) and every reply sent (<)\n"
    "                        to FILE, each with its UTC time\n"
    "  --scripted            a generic scripted SCPI instrument instead of the QDX model\n"
    "  --vxi11               serve VXI-11 (TCPIP::host::INSTR) too\n"
    "  --portmapper-port N   the VXI-11 portmapper's port; 0 picks a free one (default),\n"
    "                        111 is where clients that know no other look\n"
    "  --hislip              serve HiSLIP (TCPIP::host::hislip0,port::INSTR) too\n"
    "  --hislip-port N       the HiSLIP port; 0 picks a free one (default), 4880 is\n"
    "                        the one clients assume when a resource names none\n"
    "  --hislip-overlapped   HiSLIP sessions start in overlapped mode (default:\n"
    "                        synchronized); a client may ask for either\n"
    "  --serial              serve a serial line too, on a pseudo-terminal it creates\n"
    "                        (open it as ASRL<path>::INSTR)\n"
    "  --baud N              the serial line's baud rate (default 9600)\n"
    "  --gpib-adapter        serve a \"++\" GPIB adapter on TCP too, the instrument on its\n"
    "                        bus (open the adapter as PRLGX-TCPIP::<address>::<port>::INTFC,\n"
    "                        then GPIB::<pad>::INSTR)\n"
    "  --gpib-adapter-serial the same adapter on a pseudo-terminal too, as the USB-serial\n"
    "                        adapters (open it as PRLGX-ASRL::<pty path>::INTFC)\n"
    "  --gpib-adapter-port N the adapter's port; 0 picks a free one (default), 1234 is\n"
    "                        the adapters' own\n"
    "  --gpib-address N      the instrument's primary address on the bus (default 5)\n"
    "  --gpib-qdx N          another QDX instrument on the bus, at address N\n"
    "  --gpib-scripted N     a scripted SCPI instrument on the bus, at address N\n"
    "  --gpib-firmware F     the adapter's firmware family: prologix (default) or ar488,\n"
    "                        which differ in their defaults and their ++ver line\n"
    "  --mdns                advertise the network transports over mDNS (through a\n"
    "                        running Avahi daemon; use --address 0.0.0.0 with it)\n"
    "Prints 'listening SOCKET <address> <port>' (and 'listening VXI11 <address>\n"
    "<portmapper port>', 'listening HISLIP <address> <port>', 'listening ASRL\n"
    "<pty path> <baud>', 'listening PRLGX <address> <port>', 'listening PRLGX-ASRL\n"
    "<pty path> <baud>') once it serves, then runs until SIGINT or SIGTERM.\n";

bool ParsePort(const char* text, unsigned& port) {
  char* end = nullptr;
  unsigned long v = std::strtoul(text, &end, 10);
  if (end == text || *end != '\0' || v > 65535) return false;
  port = static_cast<unsigned>(v);
  return true;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "qdx-emulator: %s\n", message.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string address = "127.0.0.1", transcript_path;
  unsigned port = 0;
  bool scripted = false, vxi11 = false, hislip = false, hislip_overlapped = false, serial = false, mdns = false;
  unsigned portmapper_port = 0, hislip_port = 0, baud = 9600;
  bool gpib_adapter = false, gpib_serial = false;
  unsigned gpib_adapter_port = 0, gpib_address = 5;
  std::vector<std::pair<unsigned, bool>> gpib_others;  // address, scripted
  emulator::AdapterFirmware gpib_firmware = emulator::AdapterFirmware::Prologix;
  emulator::QdxOptions options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool has_value = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--version") {
      std::printf("qdx-emulator %s\n", ZEVRA_VERSION);
      return 0;
    } else if (arg == "--address" && has_value) {
      address = argv[++i];
    } else if (arg == "--port" && has_value) {
      if (!ParsePort(argv[++i], port)) return Fail(std::string("bad port '") + argv[i] + "'");
    } else if (arg == "--mainframe" && has_value) {
      options.mainframe = argv[++i];
      if (options.mainframe != "QDX7001" && options.mainframe != "QDX7000")
        return Fail("the mainframe is QDX7001 or QDX7000");
    } else if (arg == "--modules" && has_value) {
      std::stringstream list(argv[++i]);
      std::string model;
      for (std::size_t slot = 0; slot < 4; ++slot) {
        if (!std::getline(list, model, ',')) model.clear();
        if (!model.empty() && emulator::FindModuleModel(model) == nullptr) return Fail("unknown module '" + model + "'");
        options.modules[slot] = model;
      }
      // A fifth model would have no slot to go in; dropping it silently would emulate another instrument.
      if (std::getline(list, model)) return Fail("--modules takes at most four models, one a slot");
    } else if (arg == "--load" && has_value) {
      std::string spec = argv[++i];
      std::size_t eq = spec.find('=');
      char* end = nullptr;
      long channel = eq == std::string::npos ? 0 : std::strtol(spec.c_str(), &end, 10);
      if (eq != std::string::npos && end != spec.c_str() + eq) channel = 0;  // "1x=5" names no channel
      double ohms = eq == std::string::npos ? 0 : std::strtod(spec.c_str() + eq + 1, &end);
      if (channel < 1 || channel > 4 || !(ohms > 0) || *end != '\0')
        return Fail("--load takes CH=OHMS, CH 1 to 4");
      options.loads[static_cast<std::size_t>(channel - 1)] = ohms;
    } else if (arg == "--virtual-time") {
      options.virtual_time = true;
    } else if (arg == "--transcript" && has_value) {
      transcript_path = argv[++i];
    } else if (arg == "--scripted") {
      scripted = true;
    } else if (arg == "--vxi11") {
      vxi11 = true;
    } else if (arg == "--portmapper-port" && has_value) {
      if (!ParsePort(argv[++i], portmapper_port)) return Fail(std::string("bad port '") + argv[i] + "'");
    } else if (arg == "--hislip") {
      hislip = true;
    } else if (arg == "--hislip-overlapped") {
      hislip_overlapped = true;
    } else if (arg == "--hislip-port" && has_value) {
      if (!ParsePort(argv[++i], hislip_port)) return Fail(std::string("bad port '") + argv[i] + "'");
    } else if (arg == "--gpib-adapter") {
      gpib_adapter = true;
    } else if (arg == "--gpib-adapter-serial") {
      gpib_adapter = gpib_serial = true;
    } else if (arg == "--gpib-adapter-port" && has_value) {
      if (!ParsePort(argv[++i], gpib_adapter_port)) return Fail(std::string("bad port '") + argv[i] + "'");
    } else if ((arg == "--gpib-address" || arg == "--gpib-qdx" || arg == "--gpib-scripted") && has_value) {
      unsigned pad = 0;
      if (!ParsePort(argv[++i], pad) || pad > 30) return Fail("a GPIB primary address is 0 to 30");
      if (arg == "--gpib-address") gpib_address = pad;
      else gpib_others.emplace_back(pad, arg == "--gpib-scripted");
    } else if (arg == "--gpib-firmware" && has_value) {
      std::string family = argv[++i];
      if (family != "prologix" && family != "ar488") return Fail("the adapter firmware is prologix or ar488");
      gpib_firmware = family == "prologix" ? emulator::AdapterFirmware::Prologix : emulator::AdapterFirmware::Ar488;
    } else if (arg == "--mdns") {
      mdns = true;
    } else if (arg == "--serial") {
      serial = true;
    } else if (arg == "--baud" && has_value) {
      char* end = nullptr;
      unsigned long v = std::strtoul(argv[++i], &end, 10);
      if (*end != '\0' || v == 0 || v > 4000000) return Fail(std::string("bad baud rate '") + argv[i] + "'");
      baud = static_cast<unsigned>(v);
    } else {
      std::fprintf(stderr, "qdx-emulator: unknown or incomplete option '%s'\n%s", arg.c_str(), kUsage);
      return 2;
    }
  }

  // Signals are taken by sigwait below, never by a serving thread.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  std::unique_ptr<emulator::Instrument> instrument;
  if (scripted) {
    instrument = std::make_unique<emulator::ScriptedInstrument>();
  } else {
    options.control_port = port;
    instrument = std::make_unique<emulator::QdxInstrument>(options);
  }
  emulator::Transcript transcript;
  if (!transcript_path.empty() && !transcript.tee_to(transcript_path))
    return Fail("cannot write the transcript to " + transcript_path);
  emulator::SocketServer server(*instrument, transcript_path.empty() ? nullptr : &transcript);
  std::string error = server.start(address, port);
  if (!error.empty()) {
    std::fprintf(stderr, "qdx-emulator: %s\n", error.c_str());
    return 1;
  }
  std::printf("listening SOCKET %s %u\n", server.address().c_str(), server.port());
  std::unique_ptr<emulator::Vxi11Server> vxi11_server;
  if (vxi11) {
    vxi11_server = std::make_unique<emulator::Vxi11Server>(*instrument, transcript_path.empty() ? nullptr : &transcript);
    error = vxi11_server->start(address, portmapper_port);
    if (!error.empty()) {
      std::fprintf(stderr, "qdx-emulator: VXI-11: %s\n", error.c_str());
      return 1;
    }
    std::printf("listening VXI11 %s %u\n", vxi11_server->address().c_str(), vxi11_server->portmapper_port());
  }
  std::unique_ptr<emulator::HislipServer> hislip_server;
  if (hislip) {
    hislip_server = std::make_unique<emulator::HislipServer>(*instrument, transcript_path.empty() ? nullptr : &transcript);
    hislip_server->prefer_overlapped(hislip_overlapped);
    error = hislip_server->start(address, hislip_port);
    if (!error.empty()) {
      std::fprintf(stderr, "qdx-emulator: HiSLIP: %s\n", error.c_str());
      return 1;
    }
    std::printf("listening HISLIP %s %u\n", hislip_server->address().c_str(), hislip_server->port());
  }
  std::unique_ptr<emulator::SerialServer> serial_server;
  if (serial) {
    serial_server = std::make_unique<emulator::SerialServer>(*instrument, transcript_path.empty() ? nullptr : &transcript);
    error = serial_server->start(baud);
    if (!error.empty()) {
      std::fprintf(stderr, "qdx-emulator: serial line: %s\n", error.c_str());
      return 1;
    }
    std::printf("listening ASRL %s %u\n", serial_server->path().c_str(), serial_server->baud());
  }
  // The bus's other instruments, each with its own state and a transcript of its own.
  std::vector<std::unique_ptr<emulator::Instrument>> bus_instruments;  // outlive the bus
  emulator::GpibBus bus;
  std::unique_ptr<emulator::GpibAdapterInstrument> gpib_adapter_instrument;
  std::unique_ptr<emulator::SocketServer> gpib_server;
  std::unique_ptr<emulator::SerialServer> gpib_serial_server;
  if (gpib_adapter) {
    if (!bus.attach(gpib_address, *instrument, transcript_path.empty() ? nullptr : &transcript))
      return Fail("bad GPIB address");
    for (const auto& [pad, is_scripted] : gpib_others) {
      if (is_scripted) {
        bus_instruments.push_back(std::make_unique<emulator::ScriptedInstrument>());
      } else {
        emulator::QdxOptions other = options;
        other.control_port = 0;
        bus_instruments.push_back(std::make_unique<emulator::QdxInstrument>(other));
      }
      if (!bus.attach(pad, *bus_instruments.back(), nullptr))
        return Fail("GPIB address " + std::to_string(pad) + " is taken");
    }
    gpib_adapter_instrument = std::make_unique<emulator::GpibAdapterInstrument>(bus, gpib_firmware);
    gpib_server = std::make_unique<emulator::SocketServer>(*gpib_adapter_instrument, nullptr);
    error = gpib_server->start(address, gpib_adapter_port);
    if (!error.empty()) {
      std::fprintf(stderr, "qdx-emulator: GPIB adapter: %s\n", error.c_str());
      return 1;
    }
    std::printf("listening PRLGX %s %u\n", gpib_server->address().c_str(), gpib_server->port());
    if (gpib_serial) {
      gpib_serial_server = std::make_unique<emulator::SerialServer>(*gpib_adapter_instrument, nullptr);
      error = gpib_serial_server->start(115200);
      if (!error.empty()) {
        std::fprintf(stderr, "qdx-emulator: GPIB adapter's serial line: %s\n", error.c_str());
        return 1;
      }
      std::printf("listening PRLGX-ASRL %s %u\n", gpib_serial_server->path().c_str(), gpib_serial_server->baud());
    }
  }
  std::fflush(stdout);
  // Advertised once serving; without a daemon the emulator serves all the same.
  emulator::MdnsAdvertiser advertiser;
  if (mdns) {
    std::vector<emulator::MdnsAdvertiser::Service> services{{"_scpi-raw._tcp", server.port()}};
    if (hislip_server) services.push_back({"_hislip._tcp", hislip_server->port()});
    if (vxi11_server) services.push_back({"_vxi-11._tcp", vxi11_server->portmapper_port()});
    error = advertiser.start("qdx-emulator " + std::to_string(::getpid()), services);
    if (!error.empty()) std::fprintf(stderr, "qdx-emulator: mDNS: %s; not advertised\n", error.c_str());
  }

  int received = 0;
  sigwait(&signals, &received);
  if (gpib_serial_server) gpib_serial_server->stop();
  if (gpib_server) gpib_server->stop();
  if (serial_server) serial_server->stop();
  if (hislip_server) hislip_server->stop();
  if (vxi11_server) vxi11_server->stop();
  server.stop();
  return 0;
}
