// SPDX-License-Identifier: MIT
// The gateway's VXI-11 server: the device name of each link names the
// instrument it reaches; a query's response is read when its message is
// written and held for the link's device_read, so that clients sharing an
// instrument each get their own.
#pragma once

#include <string>

#include "hislip_service.h"
#include "vxi11_core.h"

namespace gateway {

class Vxi11Service {
 public:
  Vxi11Service(InstrumentPool& pool, const emulator::TcpListener::Admit& admit, ServiceSettings settings);
  ~Vxi11Service();
  std::string start(const std::string& address, unsigned portmapper_port);
  void stop();
  unsigned portmapper_port() const { return portmapper_.port(); }
  const std::string& address() const { return core_.address(); }

 private:
  void ServeCore(int fd, int stop_fd);

  InstrumentPool& pool_;
  const ServiceSettings settings_;
  emulator::vxi11::Portmapper portmapper_;
  emulator::TcpListener core_;
};

}  // namespace gateway
