// SPDX-License-Identifier: MIT
#include "vxi11_interrupts.h"

#include <vector>

#include "protocols/onc_rpc_framing.h"
#include "visa.h"
#include "vxi11_messages.h"
#include "xdr_codec.h"

namespace visa {
namespace {

// A record that has begun to arrive is read whole within this time.
constexpr int kRecordMs = 5000;

}  // namespace

Vxi11Interrupts::~Vxi11Interrupts() {
  if (thread_.joinable()) {
    wake_.signal();
    thread_.join();
  }
}

ViStatus Vxi11Interrupts::start(std::uint32_t address, std::string handle, std::function<void()> notify) {
  if (!wake_.ok()) return VI_ERROR_SYSTEM_ERROR;
  if (ViStatus st = listener_.listen_ipv4(address, port_); st < 0) return st;
  handle_ = std::move(handle);
  notify_ = std::move(notify);
  thread_ = std::thread([this] { serve(); });
  return VI_SUCCESS;
}

void Vxi11Interrupts::serve() {
  // One instrument connection at a time; a new one replaces one that ended.
  while (wake_.wait_readable(listener_.handle(), -1) == VI_SUCCESS) {
    TcpConnection connection;
    if (listener_.accept(connection) < 0) continue;
    if (!serve_connection(connection)) return;
  }
}

// False when told to stop; true when the connection ended.
bool Vxi11Interrupts::serve_connection(TcpConnection& connection) {
  std::vector<char> record;
  for (;;) {
    if (wake_.wait_readable(connection.fd(), -1) != VI_SUCCESS) return false;
    auto read_exact = [&](void* data, std::size_t size) {
      char* p = static_cast<char*>(data);
      while (size > 0) {
        if (wake_.wait_readable(connection.fd(), kRecordMs) != VI_SUCCESS) return false;
        std::size_t got = 0;
        const ViStatus st = connection.read_available(p, size, got);
        if (st == VI_ERROR_TMO) continue;
        if (st < 0) return false;
        p += got;
        size -= got;
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
