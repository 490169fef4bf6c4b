// SPDX-License-Identifier: MIT
// The instrument PyVISA's own assisted tests are written for, over a raw
// socket and VXI-11 on loopback. "RECEIVE" keeps the next line exactly as
// sent, carriage returns and binary bytes included (it may arrive in several
// messages), and "SEND" sends it back; "RCVSLOWSRQ" and "SENDSLOWSRQ" do the
// same, the reply ready a while later and announced by a service request.
// Also "*IDN?", "*STB?" and "*CLS". Prints where it listens, then serves until
// SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "instrument.h"
#include "socket_server.h"
#include "vxi11_server.h"

namespace {

using namespace std::chrono_literals;
constexpr auto kSlowReply = 200ms;
constexpr int kRequestService = 0x40;

class VirtualInstrument final : public emulator::Instrument {
 public:
  std::unique_ptr<emulator::Connection> connect() override;

  // A serial poll reads the request for service once.
  int take_status_byte() { return status_byte_.fetch_and(~kRequestService); }
  void clear_status() { status_byte_ = 0; }

  void request_service_after(std::chrono::milliseconds delay) {
    std::lock_guard lock(timers_mutex_);
    timers_.emplace_back([this, delay](std::stop_token stop) {
      std::mutex mutex;
      std::unique_lock wait_lock(mutex);
      std::condition_variable_any().wait_for(wait_lock, stop, delay, [] { return false; });
      if (stop.stop_requested()) return;
      service_requests().raise(status_byte_.fetch_or(kRequestService) | kRequestService);
    });
  }

 private:
  std::atomic<int> status_byte_{0};
  std::mutex timers_mutex_;
  std::list<std::jthread> timers_;  // last, so that they stop first
};

class VirtualConnection final : public emulator::Connection {
 public:
  explicit VirtualConnection(VirtualInstrument& instrument) : instrument_(instrument) {}

  bool takes_bytes() const override { return true; }

  void on_bytes(std::string_view bytes, bool end, emulator::Client& client) override {
    pending_.append(bytes);
    for (std::size_t lf; (lf = pending_.find('\n')) != std::string::npos;) {
      std::string line = pending_.substr(0, lf + 1);
      pending_.erase(0, lf + 1);
      Take(line, client);
    }
    // A command may end with END alone; data being kept waits for its line feed.
    if (end && !pending_.empty() && keeping_ == nullptr) {
      std::string line;
      line.swap(pending_);
      Take(line, client);
    }
  }

  // The transports' own status byte reads and triggers come as lines.
  void on_line(std::string_view line, emulator::Client& client) override { Command(line, client); }

 private:
  void Take(const std::string& line, emulator::Client& client) {
    if (keeping_ != nullptr) {
      *keeping_ = line;
      keeping_ = nullptr;
      return;
    }
    std::string_view command = line;
    while (!command.empty() && (command.back() == '\n' || command.back() == '\r')) command.remove_suffix(1);
    Command(command, client);
  }

  void Command(std::string_view command, emulator::Client& client) {
    if (command == "RECEIVE") {
      keeping_ = &kept_;
    } else if (command == "SEND") {
      client.send(kept_);
    } else if (command == "RCVSLOWSRQ") {
      keeping_ = &kept_slow_;
    } else if (command == "SENDSLOWSRQ") {
      client.pause(kSlowReply);
      client.send(kept_slow_);
      instrument_.request_service_after(kSlowReply);
    } else if (command == "*IDN?") {
      client.send("Zevra,PyVISA assisted test instrument,0,1.0\n");
    } else if (command == "*STB?") {
      client.send(std::to_string(instrument_.take_status_byte()) + "\n");
    } else if (command == "*CLS") {
      instrument_.clear_status();
    }
  }

  VirtualInstrument& instrument_;
  std::string pending_;  // bytes after the last line feed
  std::string kept_, kept_slow_;
  std::string* keeping_ = nullptr;  // where the next line goes, when it is data
};

std::unique_ptr<emulator::Connection> VirtualInstrument::connect() {
  return std::make_unique<VirtualConnection>(*this);
}

unsigned PortArgument(const char* text) {
  char* end = nullptr;
  unsigned long v = std::strtoul(text, &end, 10);
  if (end == text || *end != '\0' || v > 65535) {
    std::fprintf(stderr, "virtual_instrument: bad port '%s'\n", text);
    std::exit(2);
  }
  return static_cast<unsigned>(v);
}

}  // namespace

int main(int argc, char** argv) {
  unsigned socket_port = 5025, portmapper_port = 0;
  for (int i = 1; i < argc; ++i) {
    const bool has_value = i + 1 < argc;
    if (std::strcmp(argv[i], "--socket-port") == 0 && has_value) {
      socket_port = PortArgument(argv[++i]);
    } else if (std::strcmp(argv[i], "--portmapper-port") == 0 && has_value) {
      portmapper_port = PortArgument(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: virtual_instrument [--socket-port N] [--portmapper-port N]\n");
      return 2;
    }
  }
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // before any thread starts

  VirtualInstrument instrument;
  emulator::SocketServer socket(instrument, nullptr);
  emulator::Vxi11Server vxi11(instrument, nullptr);
  std::string error = socket.start("127.0.0.1", socket_port);
  if (error.empty()) error = vxi11.start("127.0.0.1", portmapper_port);
  if (!error.empty()) {
    std::fprintf(stderr, "virtual_instrument: %s\n", error.c_str());
    return 1;
  }
  std::printf("listening SOCKET 127.0.0.1 %u\nlistening VXI11 127.0.0.1 %u\n", socket.port(), vxi11.portmapper_port());
  std::fflush(stdout);
  int received = 0;
  sigwait(&signals, &received);
  vxi11.stop();
  socket.stop();
  return 0;
}
