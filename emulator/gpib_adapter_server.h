// SPDX-License-Identifier: MIT
// The emulator's "++" GPIB adapter on TCP (as the Ethernet adapters serve it,
// on port 1234): each connection talks to an adapter of its own, all in front
// of one emulated bus.
#pragma once

#include <string>

#include "gpib_bus.h"
#include "prologix_adapter.h"
#include "tcp_listener.h"

namespace emulator {

class GpibAdapterServer {
 public:
  // `commands` (may be null) records the adapter commands received.
  GpibAdapterServer(GpibBus& bus, AdapterFirmware firmware, Transcript* commands = nullptr);
  ~GpibAdapterServer();
  GpibAdapterServer(const GpibAdapterServer&) = delete;
  GpibAdapterServer& operator=(const GpibAdapterServer&) = delete;

  // Port 0 picks a free port. Returns an error text, empty on success.
  std::string start(const std::string& address, unsigned port) { return listener_.start(address, port); }
  void stop() { listener_.stop(); }
  const std::string& address() const { return listener_.address(); }
  unsigned port() const { return listener_.port(); }

 private:
  void Serve(int fd, int stop_fd);

  GpibBus& bus_;
  AdapterFirmware firmware_;
  Transcript* commands_;
  TcpListener listener_;
};

}  // namespace emulator
