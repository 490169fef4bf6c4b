// SPDX-License-Identifier: MIT
// The asynchronous channel of a HiSLIP session: control requests answered by
// responses, and service requests the server sends unasked. While service
// requests are wanted a reader thread owns the channel's input, handing each
// response to the request waiting for it and each service request to the
// session; otherwise a request reads its own response and passes over any
// service request on the way. Responses that no request waits for (late
// answers to a request that gave up, or anything a server sends unasked) are
// dropped, never queued and never taken as the answer to a later request.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "deadline.h"
#include "protocols/hislip_codec.h"
#include "tcp_connection.h"
#include "visatype.h"
#include "wakeup.h"

namespace visa {

// The largest message this client takes, header excluded.
constexpr std::uint64_t kHislipOurMaximumMessageSize = 1 << 20;

// One whole message from either channel. A header that is not HiSLIP's, or a
// payload larger than we take, leaves the stream out of step: VI_ERROR_CONN_LOST.
ViStatus ReceiveHislipMessage(TcpConnection& connection, Deadline deadline, hislip::Header& h, std::string& payload);

class HislipAsyncChannel {
 public:
  HislipAsyncChannel();
  ~HislipAsyncChannel();
  HislipAsyncChannel(const HislipAsyncChannel&) = delete;
  HislipAsyncChannel& operator=(const HislipAsyncChannel&) = delete;

  // For the opening handshake, before any reader runs.
  TcpConnection& connection() { return connection_; }

  // Sends `message` and waits for the response of type `response`. An Error
  // answers VI_ERROR_IO, a FatalError or a broken channel VI_ERROR_CONN_LOST.
  ViStatus transaction(const std::string& message, std::uint8_t response, Deadline deadline, hislip::Header& h,
                       std::string& payload);

  // `notify` is called from the reader thread for each AsyncServiceRequest.
  ViStatus start_service_requests(std::function<void()> notify);
  // Stops the reader at once, also in the middle of a message a server has
  // stalled (the channel is then out of step and reports a lost connection).
  void stop_service_requests();

 private:
  void read_loop();
  ViStatus wait_for(std::uint8_t response, Deadline deadline, hislip::Header& h, std::string& payload);
  // Whether a response that just arrived answers a request that gave up; if
  // so it is consumed here. Responses come in the order of the requests.
  bool settles_owed(std::uint8_t type);
  // A message read whole by the reader, or false when woken or broken.
  bool read_message(hislip::Header& h, std::string& payload, ViStatus& status);

  TcpConnection connection_;
  std::unique_ptr<Wakeup> wake_;  // made with the first reader: tells the reader to stop
  std::thread reader_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<std::pair<hislip::Header, std::string>> responses_;  // at most one: the awaited answer
  bool awaiting_ = false;      // a request waits for a response of type awaited_
  std::uint8_t awaited_ = 0;
  std::deque<std::uint8_t> owed_;  // response types still due to requests that gave up
  std::function<void()> notify_;
  ViStatus reader_status_ = 0;  // what broke the channel under the reader, if anything
};

}  // namespace visa
