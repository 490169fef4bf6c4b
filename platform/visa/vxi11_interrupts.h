// SPDX-License-Identifier: MIT
// The interrupt channel a VXI-11 client serves: a listening socket the
// instrument connects to after create_intr_chan, and a thread that takes its
// device_intr_srq calls (sent one way, so never answered) and tells the
// session of each one whose handle is ours.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "tcp_connection.h"
#include "visatype.h"
#include "wakeup.h"

namespace visa {

class Vxi11Interrupts {
 public:
  Vxi11Interrupts() = default;
  ~Vxi11Interrupts();
  Vxi11Interrupts(const Vxi11Interrupts&) = delete;
  Vxi11Interrupts& operator=(const Vxi11Interrupts&) = delete;

  // Listens on `address` (IPv4, host order) at a free port; calls naming
  // `handle` call `notify`, from the channel's thread.
  ViStatus start(std::uint32_t address, std::string handle, std::function<void()> notify);
  std::uint16_t port() const { return port_; }

 private:
  void serve();
  bool serve_connection(TcpConnection& connection);

  TcpListeningSocket listener_;
  Wakeup wake_;
  std::uint16_t port_ = 0;
  std::string handle_;
  std::function<void()> notify_;
  std::thread thread_;
};

}  // namespace visa
