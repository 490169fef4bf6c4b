#include "onc_rpc_client.h"

#include <arpa/inet.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "protocols/onc_rpc.h"
#include "visa.h"

namespace visa {
namespace {

constexpr std::size_t kInitialInput = 64 * 1024;
constexpr u_int kMessageAccepted = 0, kAcceptSuccess = 0;

// A transaction ID that another client on the same server is unlikely to share.
u_int FirstXid() {
  return static_cast<u_int>(std::chrono::steady_clock::now().time_since_epoch().count()) & 0x7FFFFFFFu;
}

}  // namespace

OncRpcClient::OncRpcClient(TcpConnection& connection, u_int program, u_int version)
    : connection_(connection), program_(program), version_(version), xid_(FirstXid()), in_(kInitialInput) {}

ViStatus OncRpcClient::call(u_int procedure, xdrproc_t encode, void* args, xdrproc_t decode, void* result,
                            Deadline deadline) {
  ViStatus st = send_call(procedure, encode, args, deadline);
  if (st < 0) return st;
  XDR in;
  st = receive_reply(deadline, in);
  if (st < 0) return st;
  const bool ok = decode(&in, result) != 0;
  xdr_destroy(&in);
  return ok ? VI_SUCCESS : VI_ERROR_IO;
}

ViStatus OncRpcClient::send_call(u_int procedure, xdrproc_t encode, void* args, Deadline deadline) {
  if (!connection_.is_open()) return VI_ERROR_CONN_LOST;
  const std::size_t args_size = encode != nullptr ? xdr_sizeof(encode, args) : 0;
  out_.resize(args_size + 64);
  XDR out;
  xdrmem_create(&out, out_.data() + 4, static_cast<u_int>(out_.size() - 4), XDR_ENCODE);
  u_int xid = ++xid_, type = onc_rpc::kCall, rpc_version = 2, program = program_, version = version_, none = 0;
  bool ok = xdr_u_int(&out, &xid) && xdr_u_int(&out, &type) && xdr_u_int(&out, &rpc_version) &&
            xdr_u_int(&out, &program) && xdr_u_int(&out, &version) && xdr_u_int(&out, &procedure) &&
            xdr_u_int(&out, &none) && xdr_u_int(&out, &none) && xdr_u_int(&out, &none) && xdr_u_int(&out, &none);
  if (ok && encode != nullptr) ok = encode(&out, args) != 0;
  const std::size_t size = xdr_getpos(&out);
  xdr_destroy(&out);
  if (!ok) return VI_ERROR_IO;
  const std::uint32_t marker = onc_rpc::LastFragmentMarker(size);
  std::memcpy(out_.data(), &marker, sizeof marker);
  return connection_.write_all(out_.data(), size + 4, deadline);
}

ViStatus OncRpcClient::receive_reply(Deadline deadline, XDR& in) {
  for (;;) {
    ViStatus st = next_record(deadline);
    if (st < 0) return st;
    xdrmem_create(&in, const_cast<char*>(record_), static_cast<u_int>(record_size_), XDR_DECODE);
    u_int xid = 0, type = 0, reply_stat = 0, flavor = 0, accept_stat = 0;
    char body[400];
    char* p = body;
    u_int body_length = 0;
    const bool header = xdr_u_int(&in, &xid) && xdr_u_int(&in, &type) && type == onc_rpc::kReply;
    if (!header || xid != xid_) {  // a late reply to a call that gave up
      xdr_destroy(&in);
      continue;
    }
    const bool accepted = xdr_u_int(&in, &reply_stat) && reply_stat == kMessageAccepted &&
                          xdr_u_int(&in, &flavor) && xdr_bytes(&in, &p, &body_length, sizeof body) &&
                          xdr_u_int(&in, &accept_stat) && accept_stat == kAcceptSuccess;
    if (accepted) return VI_SUCCESS;
    xdr_destroy(&in);
    return VI_ERROR_IO;
  }
}

// Assembles the next whole record from the stream. What has arrived of an
// unfinished one stays for the next call, so a timeout never leaves the
// stream out of step.
ViStatus OncRpcClient::next_record(Deadline deadline) {
  if (record_ != nullptr) {  // the previous record is done with
    record_ = nullptr;
    joined_.clear();
  }
  for (;;) {
    // Fragments already whole in the buffer.
    while (end_ - begin_ >= 4) {
      std::uint32_t marker = 0;
      std::memcpy(&marker, in_.data() + begin_, sizeof marker);
      marker = ntohl(marker);
      const std::size_t length = marker & 0x7FFFFFFFu;
      const bool last = (marker & 0x80000000u) != 0;
      if (joined_.size() + length > onc_rpc::kMostPerRecord) return VI_ERROR_CONN_LOST;
      if (end_ - begin_ < 4 + length) {
        // Room for the whole fragment, moved to the front.
        if (in_.size() - begin_ < 4 + length) {
          std::memmove(in_.data(), in_.data() + begin_, end_ - begin_);
          end_ -= begin_;
          begin_ = 0;
          if (in_.size() < 4 + length) in_.resize(4 + length);
        }
        break;
      }
      const char* fragment = in_.data() + begin_ + 4;
      begin_ += 4 + length;
      if (last && joined_.empty()) {
        record_ = fragment;
        record_size_ = length;
        return VI_SUCCESS;
      }
      joined_.insert(joined_.end(), fragment, fragment + length);
      if (last) {
        record_ = joined_.data();
        record_size_ = joined_.size();
        return VI_SUCCESS;
      }
    }
    if (begin_ == end_) begin_ = end_ = 0;
    if (end_ == in_.size()) {  // a partial marker at the very end
      std::memmove(in_.data(), in_.data() + begin_, end_ - begin_);
      end_ -= begin_;
      begin_ = 0;
    }
    std::size_t got = 0;
    ViStatus st = connection_.read_some(in_.data() + end_, in_.size() - end_, deadline, got);
    if (st < 0) return st;
    end_ += got;
  }
}

}  // namespace visa
