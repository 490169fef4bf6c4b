// SPDX-License-Identifier: MIT
#include "onc_rpc_client.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "onc_rpc_messages.h"
#include "protocols/onc_rpc_framing.h"
#include "visa.h"

namespace visa {
namespace {

// Enough for the records of a short exchange; a longer record grows the buffer
// to its size once, so an idle session holds little.
constexpr std::size_t kInitialInput = 4 * 1024;

// A transaction ID that another client on the same server is unlikely to share.
std::uint32_t FirstXid() {
  return static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()) & 0x7FFFFFFFu;
}

}  // namespace

OncRpcClient::OncRpcClient(TcpConnection& connection, std::uint32_t program, std::uint32_t version)
    : connection_(connection), program_(program), version_(version), xid_(FirstXid()), in_(kInitialInput) {}

// The record marker (filled in when sent), the call header, no credential.
void OncRpcClient::begin_call(std::uint32_t procedure) {
  out_.assign(4, '\0');
  xdr::Writer header(out_);
  onc_rpc_messages::EncodeCallHeader(header, ++xid_, program_, version_, procedure);
}

ViStatus OncRpcClient::send_call(Deadline deadline) {
  if (!connection_.is_open()) return VI_ERROR_CONN_LOST;
  const std::uint32_t marker = onc_rpc::LastFragmentMarker(out_.size() - 4);
  std::memcpy(out_.data(), &marker, sizeof marker);
  return connection_.write_all(out_.data(), out_.size(), deadline);
}

ViStatus OncRpcClient::receive_reply(Deadline deadline) {
  for (;;) {
    ViStatus st = next_record(deadline);
    if (st < 0) return st;
    xdr::Reader in(record_, record_size_);
    const onc_rpc_messages::Reply reply = onc_rpc_messages::DecodeReplyHeader(in, xid_);
    if (reply == onc_rpc_messages::Reply::NotOurs) continue;  // a late reply to a call that gave up
    if (reply == onc_rpc_messages::Reply::Refused) return VI_ERROR_IO;
    result_at_ = record_size_ - in.left();
    return VI_SUCCESS;
  }
}

// Moves the unread bytes to the front of the buffer.
void OncRpcClient::compact() {
  std::memmove(in_.data(), in_.data() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
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
      marker = onc_rpc::FromWireOrder(marker);
      const std::size_t length = marker & 0x7FFFFFFFu;
      const bool last = (marker & 0x80000000u) != 0;
      if (joined_.size() + length > onc_rpc::kMostPerRecord) return VI_ERROR_CONN_LOST;
      if (end_ - begin_ < 4 + length) {
        // Room for the whole fragment, moved to the front.
        if (in_.size() - begin_ < 4 + length) {
          compact();
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
    if (end_ == in_.size()) compact();  // a partial marker at the very end
    std::size_t got = 0;
    ViStatus st = connection_.read_some(in_.data() + end_, in_.size() - end_, deadline, got);
    if (st < 0) return st;
    end_ += got;
  }
}

}  // namespace visa

namespace visa::onc_rpc_messages {

unsigned PortmapperPort() {
  if (const char* env = std::getenv("ZEVRA_VXI11_PORTMAPPER_PORT")) {
    long port = std::strtol(env, nullptr, 10);
    if (port > 0 && port < 65536) return static_cast<unsigned>(port);
  }
  return kDefaultPortmapperPort;
}

}  // namespace visa::onc_rpc_messages
