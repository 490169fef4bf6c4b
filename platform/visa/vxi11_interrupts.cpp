// SPDX-License-Identifier: MIT
#include "vxi11_interrupts.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "protocols/onc_rpc_framing.h"
#include "visa.h"
#include "vxi11_messages.h"
#include "xdr_codec.h"

namespace visa {
namespace {

// A record that has begun to arrive is read whole within this time.
constexpr int kRecordMs = 5000;

// Waits for `fd` to be readable; false when told to stop or out of time.
bool WaitReadable(int fd, int wake_fd, int timeout_ms) {
  for (;;) {
    pollfd p[2] = {{fd, POLLIN, 0}, {wake_fd, POLLIN, 0}};
    int n = ::poll(p, 2, timeout_ms);
    if (n < 0 && errno == EINTR) continue;
    return n > 0 && p[1].revents == 0;
  }
}

}  // namespace

Vxi11Interrupts::~Vxi11Interrupts() {
  if (thread_.joinable()) {
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t written = ::write(wake_fd_, &one, sizeof one);
    thread_.join();
  }
  if (listener_ >= 0) ::close(listener_);
  if (wake_fd_ >= 0) ::close(wake_fd_);
}

ViStatus Vxi11Interrupts::start(std::uint32_t address, std::string handle, std::function<void()> notify) {
  wake_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (wake_fd_ < 0 || listener_ < 0) return VI_ERROR_SYSTEM_ERROR;
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(address);
  socklen_t length = sizeof at;
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&at), length) != 0 || ::listen(listener_, 2) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &length) != 0)
    return VI_ERROR_SYSTEM_ERROR;
  port_ = ntohs(at.sin_port);
  handle_ = std::move(handle);
  notify_ = std::move(notify);
  thread_ = std::thread([this] { serve(); });
  return VI_SUCCESS;
}

void Vxi11Interrupts::serve() {
  // One instrument connection at a time; a new one replaces one that ended.
  while (WaitReadable(listener_, wake_fd_, -1)) {
    int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    const bool stopped = !serve_connection(fd);
    ::close(fd);
    if (stopped) return;
  }
}

// False when told to stop; true when the connection ended.
bool Vxi11Interrupts::serve_connection(int fd) {
  std::vector<char> record;
  for (;;) {
    if (!WaitReadable(fd, wake_fd_, -1)) return false;
    auto read_exact = [&](void* data, std::size_t size) {
      char* p = static_cast<char*>(data);
      while (size > 0) {
        if (!WaitReadable(fd, wake_fd_, kRecordMs)) return false;
        ssize_t n = ::recv(fd, p, size, 0);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
      }
      return true;
    };
    if (!onc_rpc::ReadRecord(read_exact, record)) return true;
    // The call header (its credential and verifier passed over), then the handle.
    xdr::Reader in(record.data(), record.size());
    in.u32();  // the transaction ID: a one-way call is never answered
    const std::uint32_t type = in.u32(), rpc_version = in.u32(), program = in.u32();
    in.u32();  // the program's version
    const std::uint32_t procedure = in.u32();
    for (int i = 0; i < 2; ++i) {
      in.u32();
      in.opaque(onc_rpc::kMostAuthBytes);
    }
    const std::string_view handle = in.opaque(vxi11::kMostHandle);
    const bool ours = in.ok() && type == onc_rpc::kCall && rpc_version == onc_rpc::kRpcVersion &&
                      program == vxi11::kDeviceIntr && procedure == vxi11::kDeviceIntrSrq && handle == handle_;
    if (ours && notify_) notify_();
  }
}

}  // namespace visa
