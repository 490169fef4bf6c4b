// An ONC RPC client on one TCP connection, for the few calls VXI-11 makes:
// each call is one send, and a reply usually one receive. Calls are bounded
// by a deadline in every read (a peer that keeps sending bytes that never
// make a reply cannot hold a call past its time), and a reply that comes
// after its call gave up is told apart by its transaction ID and dropped.
#pragma once

#include <rpc/rpc.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "deadline.h"
#include "tcp_connection.h"
#include "visa.h"

namespace visa {

class OncRpcClient {
 public:
  OncRpcClient(TcpConnection& connection, u_int program, u_int version);

  // Calls `procedure` with `args` (encoded by `encode`; null for none) and
  // decodes its result with `decode`. VI_ERROR_TMO when no reply came in
  // time, VI_ERROR_CONN_LOST when the connection broke or its stream went out
  // of step, VI_ERROR_IO when the server refused the call.
  ViStatus call(u_int procedure, xdrproc_t encode, void* args, xdrproc_t decode, void* result, Deadline deadline);

  // A reply's opaque data handed to `sink` (pointer, size) without decoding
  // it into a copy first: for device_read's payload. `decode_head` decodes the
  // fields before the data, which must be a counted opaque at the reply's end.
  template <typename Head, typename Sink>
  ViStatus call_for_bytes(u_int procedure, xdrproc_t encode, void* args, Head&& decode_head, Sink&& sink,
                          Deadline deadline);

 private:
  ViStatus send_call(u_int procedure, xdrproc_t encode, void* args, Deadline deadline);
  // The reply to the last call, positioned after its accepted-reply header.
  ViStatus receive_reply(Deadline deadline, XDR& in);
  ViStatus next_record(Deadline deadline);

  TcpConnection& connection_;
  const u_int program_, version_;
  u_int xid_;
  std::vector<char> out_;
  // Received bytes: [begin_, end_) unread; a whole record, once assembled,
  // lies at [record_, record_ + record_size_) (in the buffer, or in joined_
  // when it came in several fragments).
  std::vector<char> in_;
  std::size_t begin_ = 0, end_ = 0;
  std::vector<char> joined_;
  const char* record_ = nullptr;
  std::size_t record_size_ = 0;
};

template <typename Head, typename Sink>
ViStatus OncRpcClient::call_for_bytes(u_int procedure, xdrproc_t encode, void* args, Head&& decode_head, Sink&& sink,
                                      Deadline deadline) {
  ViStatus st = send_call(procedure, encode, args, deadline);
  if (st < 0) return st;
  XDR in;
  st = receive_reply(deadline, in);
  if (st < 0) return st;
  u_int length = 0;
  const bool ok = decode_head(&in) && xdr_u_int(&in, &length) &&
                  length <= record_size_ - xdr_getpos(&in);
  if (ok) sink(record_ + xdr_getpos(&in), static_cast<std::size_t>(length));
  xdr_destroy(&in);
  return ok ? VI_SUCCESS : VI_ERROR_IO;
}

}  // namespace visa
