#include "raw_clients.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <rpc/rpc.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "hislip_codec.h"
#include "vxi11.h"

namespace bench {
namespace {

constexpr char kQuery[] = "*IDN?\n";
constexpr std::size_t kQueryLength = sizeof kQuery - 1;

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
  bool query() override {
    if (::send(fd_, kQuery, kQueryLength, 0) != static_cast<ssize_t>(kQueryLength)) return false;
    std::size_t used = 0;
    for (;;) {
      ssize_t n = ::recv(fd_, buffer_ + used, sizeof buffer_ - used, 0);
      if (n <= 0) return false;
      used += static_cast<std::size_t>(n);
      if (buffer_[used - 1] == '\n') return true;
      if (used == sizeof buffer_) return false;
    }
  }

 private:
  int fd_;
  char buffer_[512];
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
  bool query() override {
    if (!Send(sync_, hislip::Encode(hislip::kDataEnd, 0, message_id_, kQuery))) return false;
    hislip::Header h;
    do {
      if (!Receive(sync_, h) || h.parameter != message_id_) return false;
    } while (h.type != hislip::kDataEnd);
    message_id_ += 2;
    return true;
  }

 private:
  static bool Send(int fd, const std::string& message) {
    return ::send(fd, message.data(), message.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(message.size());
  }
  // A header and its payload, into the one buffer.
  bool Receive(int fd, hislip::Header& h) {
    unsigned char header[hislip::kHeaderSize];
    if (!ReadExact(fd, header, sizeof header) || !hislip::Decode(header, h) || h.length > sizeof payload_) return false;
    return ReadExact(fd, payload_, static_cast<std::size_t>(h.length));
  }
  int sync_, async_;
  bool ok_ = false;
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
  bool query() override {
    Device_WriteParms write{};
    write.lid = lid_;
    write.io_timeout = 2000;
    write.flags = 8;  // END
    write.data.data_len = kQueryLength;
    write.data.data_val = const_cast<char*>(kQuery);
    Device_WriteResp written{};
    if (!Call(11, reinterpret_cast<xdrproc_t>(xdr_Device_WriteParms), &write,
              reinterpret_cast<xdrproc_t>(xdr_Device_WriteResp), &written) ||
        written.error != 0)
      return false;
    Device_ReadParms read{};
    read.lid = lid_;
    read.requestSize = 1024;
    read.io_timeout = 2000;
    Device_ReadResp reply{};
    bool ok = Call(12, reinterpret_cast<xdrproc_t>(xdr_Device_ReadParms), &read,
                   reinterpret_cast<xdrproc_t>(xdr_Device_ReadResp), &reply) &&
              reply.error == 0 && (reply.reason & 4) != 0;
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_Device_ReadResp), reinterpret_cast<char*>(&reply));
    return ok;
  }

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
};

}  // namespace

std::unique_ptr<RawClient> RawSocket(unsigned port) { return std::make_unique<Socket>(port); }
std::unique_ptr<RawClient> RawHislip(unsigned port) { return std::make_unique<Hislip>(port); }
std::unique_ptr<RawClient> RawVxi11(unsigned core_port) { return std::make_unique<Vxi11>(core_port); }

}  // namespace bench
