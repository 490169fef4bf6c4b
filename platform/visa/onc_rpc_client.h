// SPDX-License-Identifier: MIT
// An ONC RPC client on one TCP connection, for the few calls VXI-11 makes:
// each call is one send, and a reply usually one receive. Calls are bounded
// by a deadline in every read (a peer that keeps sending bytes that never
// make a reply cannot hold a call past its time), and a reply that comes
// after its call gave up is told apart by its transaction ID and dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "deadline.h"
#include "tcp_connection.h"
#include "visa.h"
#include "xdr_codec.h"

namespace visa {

class OncRpcClient {
 public:
  OncRpcClient(TcpConnection& connection, std::uint32_t program, std::uint32_t version);

  // Calls `procedure` with the arguments `encode(xdr::Writer&)` writes and
  // hands the result to `decode(xdr::Reader&)`, which reads it (straight from
  // the received bytes) and says whether it made sense. VI_ERROR_TMO when no
  // reply came in time, VI_ERROR_CONN_LOST when the connection broke or its
  // stream went out of step, VI_ERROR_IO when the server refused the call or
  // its result did not decode.
  template <typename Encode, typename Decode>
  ViStatus call(std::uint32_t procedure, Encode&& encode, Decode&& decode, Deadline deadline) {
    begin_call(procedure);
    xdr::Writer args(out_);
    encode(args);
    ViStatus st = send_call(deadline);
    if (st < 0) return st;
    st = receive_reply(deadline);
    if (st < 0) return st;
    xdr::Reader result(record_ + result_at_, record_size_ - result_at_);
    return decode(result) && result.ok() ? VI_SUCCESS : VI_ERROR_IO;
  }

 private:
  void begin_call(std::uint32_t procedure);
  ViStatus send_call(Deadline deadline);
  // The accepted reply to the last call; its result starts at result_at_.
  ViStatus receive_reply(Deadline deadline);
  ViStatus next_record(Deadline deadline);
  void compact();

  TcpConnection& connection_;
  const std::uint32_t program_, version_;
  std::uint32_t xid_;
  std::string out_;
  // Received bytes: [begin_, end_) unread; a whole record, once assembled,
  // lies at [record_, record_ + record_size_) (in the buffer, or in joined_
  // when it came in several fragments).
  std::vector<char> in_;
  std::size_t begin_ = 0, end_ = 0;
  std::vector<char> joined_;
  const char* record_ = nullptr;
  std::size_t record_size_ = 0, result_at_ = 0;
};

}  // namespace visa
