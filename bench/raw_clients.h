// The baselines our VISA library is measured against: "*IDN?" asked the
// shortest way each protocol allows, in plain C calls. A raw socket with
// TCP_NODELAY; a HiSLIP client that sends each message in one send and reads
// headers and payloads straight into one buffer; a libtirpc VXI-11 client
// making device_write and device_read, the two calls the protocol needs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace bench {

class RawClient {
 public:
  virtual ~RawClient() = default;
  // False when the client could not connect.
  virtual bool ok() const = 0;
  // One "*IDN?" and its whole reply; false on any failure.
  virtual bool query() = 0;
};

std::unique_ptr<RawClient> RawSocket(unsigned port);
std::unique_ptr<RawClient> RawHislip(unsigned port);
std::unique_ptr<RawClient> RawVxi11(unsigned core_port);

}  // namespace bench
