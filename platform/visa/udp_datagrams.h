// SPDX-License-Identifier: MIT
// Datagrams to IPv4 addresses, broadcast ones too, and the answers that come
// back within a window: how VXI-11 discovery asks every portmapper at once.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tcp_connection.h"

namespace visa {

class UdpDatagrams {
 public:
  UdpDatagrams();
  ~UdpDatagrams();
  UdpDatagrams(const UdpDatagrams&) = delete;
  UdpDatagrams& operator=(const UdpDatagrams&) = delete;

  bool ok() const { return fd_ != TcpConnection::kNoSocket; }
  // False when the datagram could not be sent to `address` (IPv4, host order).
  bool send_to(std::uint32_t address, std::uint16_t port, std::string_view datagram);
  // The next datagram to come before `until`, and its sender's address as
  // text; false when none came.
  bool receive(std::chrono::steady_clock::time_point until, std::string& datagram, std::string& from);

  // Loopback first (an instrument on this machine), then the broadcast address
  // of each interface that is up and broadcasts; host order.
  static std::vector<std::uint32_t> broadcast_targets();

 private:
  TcpConnection::Handle fd_ = TcpConnection::kNoSocket;
};

}  // namespace visa
