// SPDX-License-Identifier: MIT
#include "raw_clients.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <rpc/rpc.h>
// after rpc.h, which defines the types it uses
#include <rpc/pmap_prot.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "hislip_codec.h"
#include "vxi11.h"

namespace bench {
namespace {


int ConnectLoopback(unsigned port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<std::uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool ReadExact(int fd, void* data, std::size_t size) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    ssize_t n = ::recv(fd, p, size, 0);
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

class Socket final : public RawClient {
 public:
  explicit Socket(unsigned port) : fd_(ConnectLoopback(port)) {}
  ~Socket() override {
    if (fd_ >= 0) ::close(fd_);
  }
  bool ok() const override { return fd_ >= 0; }
  bool send(std::string_view command) override {
    return ::send(fd_, command.data(), command.size(), 0) == static_cast<ssize_t>(command.size());
  }
  bool query(std::string_view command, std::string* reply) override {
    if (!send(command)) return false;
    std::string& in = reply != nullptr ? *reply : scratch_;
    // Receives straight into the reply's storage; it grows (zero-filled) only
    // when a reply is larger than any before.
    std::size_t used = 0;
    for (;;) {
      if (used == in.size()) in.resize(std::max<std::size_t>(in.size() * 2, 4096));
      ssize_t n = ::recv(fd_, in.data() + used, in.size() - used, 0);
      if (n <= 0) return false;
      used += static_cast<std::size_t>(n);
      if (in[used - 1] == '\n') {
        length_ = used;
        return true;
      }
    }
  }
  std::size_t reply_length() const override { return length_; }

 private:
  int fd_;
  std::string scratch_;
  std::size_t length_ = 0;
};

class Hislip final : public RawClient {
 public:
  explicit Hislip(unsigned port) : sync_(ConnectLoopback(port)), async_(-1) {
    if (sync_ < 0) return;
    hislip::Header h;
    std::string message = hislip::Encode(hislip::kInitialize, 0, (0x0100u << 16) | ('Z' << 8) | 'V', "hislip0");
    if (!Send(sync_, message) || !Receive(sync_, h) || h.type != hislip::kInitializeResponse) return;
    async_ = ConnectLoopback(port);
    if (async_ < 0) return;
    message = hislip::Encode(hislip::kAsyncInitialize, 0, h.parameter & 0xFFFF);
    ok_ = Send(async_, message) && Receive(async_, h) && h.type == hislip::kAsyncInitializeResponse;
  }
  ~Hislip() override {
    if (sync_ >= 0) ::close(sync_);
    if (async_ >= 0) ::close(async_);
  }
  bool ok() const override { return ok_; }
  bool send(std::string_view command) override {
    if (!Send(sync_, hislip::Encode(hislip::kDataEnd, 0, message_id_, command))) return false;
    message_id_ += 2;
    return true;
  }
  bool query(std::string_view command, std::string* reply) override {
    if (!send(command)) return false;
    const std::uint32_t id = message_id_ - 2;
    length_ = 0;
    hislip::Header h;
    do {
      if (!Receive(sync_, h, reply) || h.parameter != id) return false;
    } while (h.type != hislip::kDataEnd);
    return true;
  }
  std::size_t reply_length() const override { return length_; }

 private:
  static bool Send(int fd, const std::string& message) {
    return ::send(fd, message.data(), message.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(message.size());
  }
  // A header and its payload: into the one buffer, or after what `reply`
  // holds of this reply (its storage grows only for a larger reply than any before).
  bool Receive(int fd, hislip::Header& h, std::string* reply = nullptr) {
    unsigned char header[hislip::kHeaderSize];
    if (!ReadExact(fd, header, sizeof header) || !hislip::Decode(header, h)) return false;
    const std::size_t length = static_cast<std::size_t>(h.length);
    if (reply == nullptr) {
      if (length > sizeof payload_) return false;
      return ReadExact(fd, payload_, length);
    }
    if (reply->size() < length_ + length) reply->resize(length_ + length);
    if (!ReadExact(fd, reply->data() + length_, length)) return false;
    length_ += length;
    return true;
  }
  int sync_, async_;
  bool ok_ = false;
  std::size_t length_ = 0;
  std::uint32_t message_id_ = hislip::kFirstMessageId;
  char payload_[4096];
};

class Vxi11 final : public RawClient {
 public:
  explicit Vxi11(unsigned core_port) : fd_(ConnectLoopback(core_port)) {
    if (fd_ < 0) return;
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    ::getpeername(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    netbuf server{length, length, &address};
    client_ = clnt_vc_create(fd_, &server, DEVICE_CORE, DEVICE_CORE_VERSION, 0, 0);
    if (client_ == nullptr) return;
    Create_LinkParms parms{};
    char device[] = "inst0";
    parms.device = device;
    Create_LinkResp resp{};
    ok_ = Call(10, reinterpret_cast<xdrproc_t>(xdr_Create_LinkParms), &parms,
               reinterpret_cast<xdrproc_t>(xdr_Create_LinkResp), &resp) &&
          resp.error == 0;
    lid_ = resp.lid;
  }
  ~Vxi11() override {
    if (client_ != nullptr) clnt_destroy(client_);
    if (fd_ >= 0) ::close(fd_);
  }
  bool ok() const override { return ok_; }
  bool query(std::string_view command, std::string* reply) override {
    if (!send(command)) return false;
    length_ = 0;
    for (;;) {  // device_read until the reply's END
      Device_ReadParms read{};
      read.lid = lid_;
      read.requestSize = reply != nullptr ? 16u << 20 : 1024;
      read.io_timeout = 2000;
      Device_ReadResp answer{};
      bool ok = Call(12, reinterpret_cast<xdrproc_t>(xdr_Device_ReadParms), &read,
                     reinterpret_cast<xdrproc_t>(xdr_Device_ReadResp), &answer) &&
                answer.error == 0;
      if (ok) length_ += answer.data.data_len;
      const bool end = (answer.reason & 4) != 0;
      xdr_free(reinterpret_cast<xdrproc_t>(xdr_Device_ReadResp), reinterpret_cast<char*>(&answer));
      if (!ok) return false;
      if (end) return true;
    }
  }
  bool send(std::string_view command) override {
    Device_WriteParms write{};
    write.lid = lid_;
    write.io_timeout = 2000;
    write.flags = 8;  // END
    write.data.data_len = static_cast<u_int>(command.size());
    write.data.data_val = const_cast<char*>(command.data());
    Device_WriteResp written{};
    return Call(11, reinterpret_cast<xdrproc_t>(xdr_Device_WriteParms), &write,
                reinterpret_cast<xdrproc_t>(xdr_Device_WriteResp), &written) &&
           written.error == 0;
  }
  std::size_t reply_length() const override { return length_; }

 private:
  bool Call(u_long procedure, xdrproc_t encode, void* args, xdrproc_t decode, void* result) {
    timeval timeout{2, 0};
    return clnt_call(client_, procedure, encode, static_cast<caddr_t>(args), decode, static_cast<caddr_t>(result),
                     timeout) == RPC_SUCCESS;
  }
  int fd_;
  CLIENT* client_ = nullptr;
  Device_Link lid_ = 0;
  bool ok_ = false;
  std::size_t length_ = 0;
};

}  // namespace

std::unique_ptr<RawClient> RawSocket(unsigned port) { return std::make_unique<Socket>(port); }
std::unique_ptr<RawClient> RawHislip(unsigned port) { return std::make_unique<Hislip>(port); }
std::unique_ptr<RawClient> RawVxi11(unsigned core_port) { return std::make_unique<Vxi11>(core_port); }

unsigned RawPortmapperLookup(unsigned portmapper_port) {
  int fd = ConnectLoopback(portmapper_port);
  if (fd < 0) return 0;
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  ::getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length);
  netbuf server{length, length, &address};
  u_long port = 0;
  if (CLIENT* client = clnt_vc_create(fd, &server, PMAPPROG, PMAPVERS, 0, 0)) {
    pmap asked{DEVICE_CORE, DEVICE_CORE_VERSION, IPPROTO_TCP, 0};
    timeval timeout{2, 0};
    if (clnt_call(client, PMAPPROC_GETPORT, reinterpret_cast<xdrproc_t>(xdr_pmap), reinterpret_cast<caddr_t>(&asked),
                  reinterpret_cast<xdrproc_t>(xdr_u_long), reinterpret_cast<caddr_t>(&port), timeout) != RPC_SUCCESS)
      port = 0;
    clnt_destroy(client);
  }
  ::close(fd);
  return static_cast<unsigned>(port);
}

}  // namespace bench
