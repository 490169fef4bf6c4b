// Cuts a connection whose call overruns its deadline. libtirpc waits for each
// read with the whole call timeout, so a peer that keeps sending bytes that
// never form a reply would hold a call forever; past its deadline (and a
// margin, so an ordinary RPC timeout comes first) the watchdog shuts the
// socket down and the call fails.
#pragma once

#include <chrono>
#include <cstdint>

namespace visa {

class WatchedCall {
 public:
  WatchedCall(int fd, std::chrono::steady_clock::time_point deadline);
  ~WatchedCall();
  WatchedCall(const WatchedCall&) = delete;
  WatchedCall& operator=(const WatchedCall&) = delete;

  // Whether the watchdog cut the connection during this call.
  bool cut() const;

 private:
  std::uint64_t id_;
};

}  // namespace visa
