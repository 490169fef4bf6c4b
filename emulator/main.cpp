// qdx-emulator: serves an emulated instrument on the network until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "scripted_instrument.h"
#include "socket_server.h"

namespace {

constexpr const char* kUsage =
    "usage: qdx-emulator [--address ADDR] [--port PORT]\n"
    "  --address ADDR  address to listen on (default 127.0.0.1)\n"
    "  --port PORT     TCP port of the SOCKET transport; 0 picks a free one (default 0)\n"
    "Prints 'listening SOCKET <address> <port>' once it serves, then runs until\n"
    "SIGINT or SIGTERM.\n";

bool parse_port(const char* text, unsigned& port) {
  char* end = nullptr;
  unsigned long v = std::strtoul(text, &end, 10);
  if (end == text || *end != '\0' || v > 65535) return false;
  port = static_cast<unsigned>(v);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string address = "127.0.0.1";
  unsigned port = 0;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool has_value = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--address" && has_value) {
      address = argv[++i];
    } else if (arg == "--port" && has_value) {
      if (!parse_port(argv[++i], port)) {
        std::fprintf(stderr, "qdx-emulator: bad port '%s'\n", argv[i]);
        return 2;
      }
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

  emulator::ScriptedInstrument instrument;
  emulator::SocketServer server(instrument, nullptr);
  std::string error = server.start(address, port);
  if (!error.empty()) {
    std::fprintf(stderr, "qdx-emulator: %s\n", error.c_str());
    return 1;
  }
  std::printf("listening SOCKET %s %u\n", server.address().c_str(), server.port());
  std::fflush(stdout);

  int received = 0;
  sigwait(&signals, &received);
  server.stop();
  return 0;
}
