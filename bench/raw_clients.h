// SPDX-License-Identifier: MIT
// The baselines our VISA library is measured against: "*IDN?" asked the
// shortest way each protocol allows, in plain C calls. A raw socket with
// TCP_NODELAY; a HiSLIP client that sends each message in one send and reads
// headers and payloads straight into one buffer; a libtirpc VXI-11 client
// making device_write and device_read, the two calls the protocol needs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace bench {

class RawClient {
 public:
  virtual ~RawClient() = default;
  // False when the client could not connect.
  virtual bool ok() const = 0;
  // One "*IDN?" and its whole reply; false on any failure.
  bool query() { return query("*IDN?\n", nullptr); }
  // `command` (ending in a line feed) and its whole reply, received into
  // `reply`'s storage when given (reused, and grown only when too small: its
  // size says nothing; reply_length does); false on any failure.
  virtual bool query(std::string_view command, std::string* reply) = 0;
  // `command` (ending in a line feed) as one message, with no reply to wait for.
  virtual bool send(std::string_view command) = 0;
  // The length of the last reply.
  virtual std::size_t reply_length() const = 0;
};

std::unique_ptr<RawClient> RawSocket(unsigned port);
std::unique_ptr<RawClient> RawHislip(unsigned port);
std::unique_ptr<RawClient> RawVxi11(unsigned core_port);
// The core channel's port, asked of the portmapper over TCP as a VXI-11 client
// does before it can connect; 0 on failure.
unsigned RawPortmapperLookup(unsigned portmapper_port);

}  // namespace bench
