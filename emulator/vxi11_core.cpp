// SPDX-License-Identifier: MIT
#include "vxi11_core.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
// after rpc.h, which it needs
#include <rpc/pmap_prot.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace emulator::vxi11 {
namespace {

constexpr u_int kAccepted = 0;
constexpr int kInterruptConnectMs = 2000;
// A client that takes no service request for this long loses its interrupt
// channel, rather than holding up the thread that tells it.
constexpr int kInterruptSendSeconds = 2;
constexpr std::size_t kMarker = 4;  // a TCP record's marker, in front of each reply

// Encodes a reply, the accepted-reply header then `encode(result)`, behind
// four bytes left for a TCP record marker; `size` is the reply's own length.
bool EncodeReply(const onc_rpc::CallHeader& h, u_int status, xdrproc_t encode, void* result,
                 std::vector<char>& buffer, std::size_t& size) {
  std::size_t result_size = status == kSuccess && encode != nullptr ? xdr_sizeof(encode, result) : 0;
  buffer.assign(kMarker + result_size + 64, '\0');
  XDR out;
  xdrmem_create(&out, buffer.data() + kMarker, static_cast<u_int>(buffer.size() - kMarker), XDR_ENCODE);
  u_int xid = h.xid, type = onc_rpc::kReply, accepted = kAccepted, flavor = 0, length = 0;
  bool ok = xdr_u_int(&out, &xid) && xdr_u_int(&out, &type) && xdr_u_int(&out, &accepted) &&
            xdr_u_int(&out, &flavor) && xdr_u_int(&out, &length) && xdr_u_int(&out, &status);
  if (ok && status == kSuccess && encode != nullptr) ok = encode(&out, result) != 0;
  size = xdr_getpos(&out);
  xdr_destroy(&out);
  return ok;
}

// A TCP connection to `address:port` within a bounded time, or an invalid fd.
UniqueFd ConnectWithin(std::uint32_t address, std::uint16_t port, int timeout_ms) {
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!fd) return fd;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = htonl(address);
  to.sin_port = htons(port);
  if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
    pollfd p{fd.get(), POLLOUT, 0};
    int error = 0;
    socklen_t length = sizeof error;
    if (errno != EINPROGRESS || ::poll(&p, 1, timeout_ms) != 1 ||
        ::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
      return UniqueFd();
  }
  int blocking = ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK;
  ::fcntl(fd.get(), F_SETFL, blocking);
  return fd;
}

}  // namespace

bool RecordReader::next(std::vector<char>& record) {
  return onc_rpc::ReadRecord([this](void* data, std::size_t size) { return read(data, size); }, record);
}

bool RecordReader::read(void* data, std::size_t size) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    if (begin_ == end_) {
      // A large piece goes straight to its place.
      if (size >= sizeof buffer_) return ReadFully(fd_, stop_fd_, p, size);
      begin_ = 0;
      end_ = ReadSome(fd_, stop_fd_, buffer_, sizeof buffer_);
      if (end_ == 0) return false;
    }
    const std::size_t n = std::min(size, end_ - begin_);
    std::memcpy(p, buffer_ + begin_, n);
    begin_ += n;
    p += n;
    size -= n;
  }
  return true;
}

bool Reply(int fd, const onc_rpc::CallHeader& h, u_int status, xdrproc_t encode, void* result) {
  std::vector<char> buffer;
  std::size_t size = 0;
  if (!EncodeReply(h, status, encode, result, buffer, size)) return false;
  const std::uint32_t marker = onc_rpc::LastFragmentMarker(size);
  std::memcpy(buffer.data(), &marker, sizeof marker);
  return WriteFully(fd, buffer.data(), kMarker + size);
}

Portmapper::Portmapper() : tcp_([this](int fd, int stop) { ServeStream(fd, stop); }) {}

Portmapper::~Portmapper() { stop(); }

std::string Portmapper::start(const std::string& address, unsigned port, unsigned core_port) {
  core_port_ = core_port;
  if (std::string error = tcp_.start(address, port); !error.empty()) return error;
  udp_.reset(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_port = htons(static_cast<std::uint16_t>(tcp_.port()));
  if (!udp_ || ::inet_pton(AF_INET, tcp_.address().c_str(), &at.sin_addr) != 1 ||
      ::bind(udp_.get(), reinterpret_cast<sockaddr*>(&at), sizeof at) != 0)
    return "cannot serve the portmapper on UDP port " + std::to_string(tcp_.port()) + ": " + std::strerror(errno);
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return "cannot create a pipe";
  wake_read_.reset(pipe_fds[0]);
  wake_write_.reset(pipe_fds[1]);
  udp_thread_ = std::thread([this] { ServeDatagrams(); });
  return {};
}

void Portmapper::stop() {
  if (udp_thread_.joinable()) {
    char byte = 0;
    (void)!::write(wake_write_.get(), &byte, 1);
    udp_thread_.join();
  }
  tcp_.stop();
}

// The portmapper's answer to one call, or false for a call it cannot read.
bool Portmapper::Answer(const std::vector<char>& record, std::vector<char>& reply, std::size_t& size) {
  XDR in;
  xdrmem_create(&in, const_cast<char*>(record.data()), static_cast<u_int>(record.size()), XDR_DECODE);
  onc_rpc::CallHeader h;
  bool ok = onc_rpc::DecodeCallHeader(&in, h);
  if (ok && h.program == PMAPPROG && h.procedure == PMAPPROC_GETPORT) {
    pmap query{};
    u_long port = 0;
    if (xdr_pmap(&in, &query) && query.pm_prog == DEVICE_CORE && query.pm_prot == IPPROTO_TCP) port = core_port_;
    ok = EncodeReply(h, kSuccess, reinterpret_cast<xdrproc_t>(xdr_u_long), &port, reply, size);
  } else if (ok && h.program == PMAPPROG && h.procedure == PMAPPROC_NULL) {
    ok = EncodeReply(h, kSuccess, nullptr, nullptr, reply, size);
  } else if (ok) {
    ok = EncodeReply(h, h.program == PMAPPROG ? kProcedureUnavailable : kProgramUnavailable, nullptr, nullptr, reply,
                     size);
  }
  xdr_destroy(&in);
  return ok;
}

void Portmapper::ServeStream(int fd, int stop_fd) {
  std::vector<char> record, reply;
  RecordReader reader(fd, stop_fd);
  while (reader.next(record)) {
    std::size_t size = 0;
    if (!Answer(record, reply, size)) return;
    const std::uint32_t marker = onc_rpc::LastFragmentMarker(size);
    std::memcpy(reply.data(), &marker, sizeof marker);
    if (!WriteFully(fd, reply.data(), kMarker + size)) return;
  }
}

// Over UDP each datagram is one call and its answer one datagram back, as
// broadcast discovery (ours, lxi-tools', PyVISA-py's) sends them.
void Portmapper::ServeDatagrams() {
  std::vector<char> record(65536), reply;
  for (;;) {
    pollfd fds[2] = {{udp_.get(), POLLIN, 0}, {wake_read_.get(), POLLIN, 0}};
    int n = ::poll(fds, 2, -1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || (fds[1].revents & POLLIN) != 0) return;
    sockaddr_storage from{};
    socklen_t from_size = sizeof from;
    record.resize(65536);
    ssize_t got = ::recvfrom(udp_.get(), record.data(), record.size(), 0, reinterpret_cast<sockaddr*>(&from), &from_size);
    if (got <= 0 || (admit_ && !admit_(from))) continue;
    record.resize(static_cast<std::size_t>(got));
    std::size_t size = 0;
    if (!Answer(record, reply, size)) continue;
    ::sendto(udp_.get(), reply.data() + kMarker, size, 0, reinterpret_cast<sockaddr*>(&from), from_size);
  }
}

void InterruptChannel::Create(Device_RemoteFunc& parms, Device_Error& resp) {
  std::lock_guard lock(mutex_);
  if (fd_) {
    resp.error = kErrorChannelEstablished;
    return;
  }
  if (parms.progFamily != DEVICE_TCP || parms.hostPort == 0) {
    resp.error = kErrorChannelNotEstablished;
    return;
  }
  fd_ = ConnectWithin(static_cast<std::uint32_t>(parms.hostAddr), parms.hostPort, kInterruptConnectMs);
  if (fd_) {
    timeval send_timeout{kInterruptSendSeconds, 0};
    ::setsockopt(fd_.get(), SOL_SOCKET, SO_SNDTIMEO, &send_timeout, sizeof send_timeout);
  }
  program_ = static_cast<u_int>(parms.progNum);
  version_ = static_cast<u_int>(parms.progVers);
  if (!fd_) resp.error = kErrorChannelNotEstablished;
}

void InterruptChannel::Destroy(Device_Error& resp) {
  std::lock_guard lock(mutex_);
  if (!fd_) resp.error = kErrorChannelNotEstablished;
  fd_.reset();
}

void InterruptChannel::Enable(long lid, bool enable, const std::string& handle) {
  std::lock_guard lock(mutex_);
  if (enable)
    handles_[lid] = handle;
  else
    handles_.erase(lid);
}

void InterruptChannel::Forget(long lid) {
  std::lock_guard lock(mutex_);
  handles_.erase(lid);
}

void InterruptChannel::Send(long only) {
  std::lock_guard lock(mutex_);
  if (!fd_ || handles_.empty()) return;
  char ignored[256];  // a client that answers the one-way call: its replies are dropped
  while (::recv(fd_.get(), ignored, sizeof ignored, MSG_DONTWAIT) > 0) {
  }
  for (auto& [lid, handle] : handles_) {
    if (only != 0 && lid != only) continue;
    Device_SrqParms parms{};
    parms.handle.handle_len = static_cast<u_int>(handle.size());
    parms.handle.handle_val = handle.data();
    std::string call = onc_rpc::EncodeCall({next_xid_++, program_, version_, 30},
                                           reinterpret_cast<xdrproc_t>(xdr_Device_SrqParms), &parms);
    if (!WriteFully(fd_.get(), call.data(), call.size())) {
      fd_.reset();
      return;
    }
  }
}

}  // namespace emulator::vxi11
