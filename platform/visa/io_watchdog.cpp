#include "io_watchdog.h"

#include <sys/socket.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace visa {
namespace {

using Clock = std::chrono::steady_clock;

// One thread for the process, started with the first watched call; calls
// register and leave in a map ordered by deadline.
class Watchdog {
 public:
  static Watchdog& instance() {
    static Watchdog* dog = new Watchdog;  // never destroyed: its thread outlives static destruction
    return *dog;
  }

  std::uint64_t watch(int fd, Clock::time_point deadline) {
    std::lock_guard lock(mutex_);
    std::uint64_t id = ++next_id_;
    bool earliest = calls_.empty() || deadline < calls_.begin()->first.first;
    calls_.emplace(std::make_pair(deadline, id), fd);
    if (!thread_started_) {
      thread_started_ = true;
      std::thread([this] { run(); }).detach();
    } else if (earliest) {
      changed_.notify_one();
    }
    return id;
  }

  bool release(std::uint64_t id) {
    std::lock_guard lock(mutex_);
    for (auto it = calls_.begin(); it != calls_.end(); ++it) {
      if (it->first.second == id) {
        calls_.erase(it);
        return false;
      }
    }
    return cut_.erase(id) != 0;
  }

  bool was_cut(std::uint64_t id) {
    std::lock_guard lock(mutex_);
    return cut_.count(id) != 0;
  }

 private:
  void run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      if (calls_.empty()) {
        changed_.wait(lock);
        continue;
      }
      auto first = calls_.begin();
      // A copy: the entry may be gone when the wait wakes.
      Clock::time_point due = first->first.first;
      if (Clock::now() < due) {
        changed_.wait_until(lock, due);
        continue;
      }
      ::shutdown(first->second, SHUT_RDWR);
      cut_.insert(first->first.second);
      calls_.erase(first);
    }
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::pair<Clock::time_point, std::uint64_t>, int> calls_;
  std::set<std::uint64_t> cut_;
  std::uint64_t next_id_ = 0;
  bool thread_started_ = false;
};

}  // namespace

WatchedCall::WatchedCall(int fd, Clock::time_point deadline) : id_(Watchdog::instance().watch(fd, deadline)) {}

WatchedCall::~WatchedCall() { Watchdog::instance().release(id_); }

bool WatchedCall::cut() const { return Watchdog::instance().was_cut(id_); }

}  // namespace visa
