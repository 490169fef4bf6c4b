// SPDX-License-Identifier: MIT
#include "gpib_adapter_server.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

namespace emulator {

GpibAdapterServer::GpibAdapterServer(GpibBus& bus, AdapterFirmware firmware, Transcript* commands)
    : bus_(bus), firmware_(firmware), commands_(commands),
      listener_([this](int fd, int stop) { Serve(fd, stop); }) {}

GpibAdapterServer::~GpibAdapterServer() { stop(); }

void GpibAdapterServer::Serve(int fd, int stop_fd) {
  PrologixAdapter adapter(bus_, firmware_, commands_);
  bool open = true;
  const PrologixAdapter::Reply reply = [&](std::string_view bytes) {
    if (open && !WriteFully(fd, bytes.data(), bytes.size())) open = false;
  };
  const PrologixAdapter::Pause pause = [&](std::chrono::milliseconds duration) {
    pollfd p{stop_fd, POLLIN, 0};
    return ::poll(&p, 1, static_cast<int>(duration.count())) == 0;
  };
  char buffer[4096];
  while (open) {
    std::size_t got = ReadSome(fd, stop_fd, buffer, sizeof buffer);
    if (got == 0) break;
    adapter.feed(std::string_view(buffer, got), reply, pause);
  }
}

}  // namespace emulator
