// SPDX-License-Identifier: MIT
// A connected TCP stream with deadline-bounded reads and writes. Shared by
// every transport that runs over TCP (raw socket, VXI-11, HiSLIP).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "deadline.h"
#include "visatype.h"

namespace visa {

class TcpConnection {
 public:
#ifdef _WIN32
  using Handle = std::uintptr_t;  // a Winsock SOCKET
  static constexpr Handle kNoSocket = ~Handle{0};
#else
  using Handle = int;
  static constexpr Handle kNoSocket = -1;
#endif

  TcpConnection() = default;
  ~TcpConnection();
  TcpConnection(const TcpConnection&) = delete;
  TcpConnection& operator=(const TcpConnection&) = delete;
  TcpConnection(TcpConnection&& other) noexcept;
  TcpConnection& operator=(TcpConnection&& other) noexcept;

  // Resolves host (name, IPv4 or IPv6 literal) and connects with TCP_NODELAY set.
  // Unreachable or unresolvable: VI_ERROR_RSRC_NFOUND.
  static ViStatus connect(const std::string& host, unsigned port, Deadline deadline,
                          TcpConnection& out);

  // Starts the system's sockets (Winsock, once for the process); true where there is nothing to start.
  static bool start_networking();

  bool is_open() const { return fd_ != kNoSocket; }
  void close();

  // Writes all bytes. VI_ERROR_TMO, VI_ERROR_CONN_LOST or VI_ERROR_IO on failure.
  ViStatus write_all(const void* data, std::size_t size, Deadline deadline);
  // Reads at least one byte (up to size). Waits until the deadline.
  ViStatus read_some(void* data, std::size_t size, Deadline deadline, std::size_t& got);
  // Reads what has arrived (up to size) without waiting: VI_ERROR_TMO when nothing has.
  ViStatus read_available(void* data, std::size_t size, std::size_t& got);
  // Reads exactly size bytes.
  ViStatus read_exact(void* data, std::size_t size, Deadline deadline);
  // Drops whatever has already arrived, without waiting.
  ViStatus discard_arrived();
  // Drops what arrives until nothing has come for `quiet_ms`, or the deadline.
  ViStatus discard_until_quiet(int quiet_ms, Deadline deadline);

  std::string peer_address() const;
  // The IPv4 address this end has (an IPv4-mapped IPv6 one too), host order:
  // the address the peer reached us on, which it can reach back.
  bool local_ipv4(std::uint32_t& address) const;
  Handle fd() const { return fd_; }
  // A boolean socket option (TCP_NODELAY, SO_KEEPALIVE): whether it is on, and
  // setting it (false when the system refuses).
  bool flag(int level, int option) const;
  bool set_flag(int level, int option, bool on);

 private:
  friend class TcpListeningSocket;
  explicit TcpConnection(Handle fd) : fd_(fd) {}
  // Waits up to `ms` for bytes (or the peer's close): VI_SUCCESS, VI_ERROR_TMO or the error.
  ViStatus wait_readable(int ms) const;
  // Sets SO_RCVTIMEO for a wait of `ms` (-1: forever) unless it is already close.
  void arm_receive_timeout(int ms);
  static constexpr int kReceiveTimeoutSlackMs = 10;
  Handle fd_ = kNoSocket;
  int receive_timeout_ms_ = 0;  // the socket's SO_RCVTIMEO; 0 waits forever (not used on Windows)
};

// A listening TCP socket on one IPv4 address, for a peer that connects back
// (VXI-11's interrupt channel).
class TcpListeningSocket {
 public:
  TcpListeningSocket() = default;
  ~TcpListeningSocket();
  TcpListeningSocket(const TcpListeningSocket&) = delete;
  TcpListeningSocket& operator=(const TcpListeningSocket&) = delete;

  // Listens on `address` (IPv4, host order) at a free port, which `port` gets.
  ViStatus listen_ipv4(std::uint32_t address, std::uint16_t& port);
  // The connection waiting, once the socket is readable.
  ViStatus accept(TcpConnection& out);
  TcpConnection::Handle handle() const { return fd_; }

 private:
  TcpConnection::Handle fd_ = TcpConnection::kNoSocket;
};

}  // namespace visa
