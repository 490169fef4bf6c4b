// SPDX-License-Identifier: MIT
// Ends another thread's wait on a socket: an eventfd on Linux, on Windows a
// loopback datagram socket that sends to itself; either is watched by the
// same poll as the socket, so a reader blocked on a silent peer stops at once.
#pragma once

#include "tcp_connection.h"
#include "visatype.h"

namespace visa {

class Wakeup {
 public:
  Wakeup();
  ~Wakeup();
  Wakeup(const Wakeup&) = delete;
  Wakeup& operator=(const Wakeup&) = delete;

  // False when the system would not give one.
  bool ok() const { return handle_ != TcpConnection::kNoSocket; }
  // Ends the wait in progress and every later one, until cleared.
  void signal();
  void clear();
  // Waits up to `timeout_ms` (-1: no limit) for `socket` to have bytes (or
  // its peer's close): VI_SUCCESS, VI_ERROR_ABORT when signalled,
  // VI_ERROR_TMO, or VI_ERROR_IO.
  ViStatus wait_readable(TcpConnection::Handle socket, int timeout_ms) const;

 private:
  TcpConnection::Handle handle_ = TcpConnection::kNoSocket;
};

}  // namespace visa
