// The emulator's raw TCP/IP socket transport: one thread per client, lines
// ending in "\n" handed to the instrument, replies sent back as they are.
#pragma once

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "instrument.h"
#include "transcript.h"
#include "unique_fd.h"

namespace emulator {

class SocketServer {
 public:
  // transcript may be null.
  SocketServer(Instrument& instrument, Transcript* transcript);
  ~SocketServer();
  SocketServer(const SocketServer&) = delete;
  SocketServer& operator=(const SocketServer&) = delete;

  // Binds and starts serving. Port 0 picks a free port. Returns an error text, empty on success.
  std::string start(const std::string& address, unsigned port);
  void stop();

  const std::string& address() const { return address_; }
  unsigned port() const { return port_; }

 private:
  struct ClientThread;
  void accept_loop();
  void serve(ClientThread& client);
  void reap_finished();

  Instrument& instrument_;
  Transcript* transcript_;
  UniqueFd listener_;
  UniqueFd wake_;  // eventfd: readable once stop() was called
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;
  std::mutex clients_mutex_;
  std::list<std::unique_ptr<ClientThread>> clients_;
  std::string address_;
  unsigned port_ = 0;
};

}  // namespace emulator
