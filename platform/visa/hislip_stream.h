// SPDX-License-Identifier: MIT
// The input side of a HiSLIP synchronous channel, buffered: one receive
// usually brings a reply's header and payload together, and a payload is
// handed out piece by piece straight from the buffer (or, for a large one,
// received straight into the caller's memory), never held whole.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "deadline.h"
#include "protocols/hislip_codec.h"
#include "tcp_connection.h"
#include "visatype.h"

namespace visa {

class HislipStream {
 public:
  explicit HislipStream(TcpConnection& connection);

  // The next message's header; its payload is then taken with `payload`,
  // `take` or `skip` before the next header. A header that is not HiSLIP's
  // leaves the stream out of step: VI_ERROR_CONN_LOST.
  ViStatus header(Deadline deadline, hislip::Header& h);
  // Up to `size` bytes of the current payload (at least one when any is left).
  ViStatus take(char* out, std::size_t size, Deadline deadline, std::size_t& got);
  // The rest of the current payload, dropped or as a string (at most `limit` bytes).
  ViStatus skip(Deadline deadline);
  ViStatus payload(Deadline deadline, std::string& out, std::size_t limit);

  std::uint64_t payload_left() const { return payload_left_; }

 private:
  static constexpr std::size_t kCapacity = 64 * 1024;
  ViStatus fill(Deadline deadline);

  TcpConnection& connection_;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0, end_ = 0;  // the received, unread bytes
  std::uint64_t payload_left_ = 0;   // of the message whose header was read last
};

}  // namespace visa
