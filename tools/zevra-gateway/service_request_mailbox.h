// SPDX-License-Identifier: MIT
// Where an instrument's service requests wait for one client: the fan-out
// only leaves the latest status byte here and moves on, and a thread of the
// mailbox's own hands it to the client. A client that stops reading holds up
// its own notices alone, never another client's.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace gateway {

class ServiceRequestMailbox {
 public:
  explicit ServiceRequestMailbox(std::function<void(int status_byte)> deliver);
  // Waits for a delivery in progress: its client's channel must have been
  // shut down first if it may be full.
  ~ServiceRequestMailbox();
  ServiceRequestMailbox(const ServiceRequestMailbox&) = delete;
  ServiceRequestMailbox& operator=(const ServiceRequestMailbox&) = delete;

  // Never waits for the client. A request not yet delivered gives way to a
  // newer one: the client is told once, with the latest status byte.
  void Post(int status_byte);

 private:
  void Run();

  std::function<void(int)> deliver_;
  std::mutex mutex_;
  std::condition_variable posted_;
  std::optional<int> pending_;
  bool stopping_ = false;
  std::thread thread_;  // last: started once the rest exists
};

}  // namespace gateway
