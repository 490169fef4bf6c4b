// SPDX-License-Identifier: MIT
// The emulator's VXI-11 transport: a portmapper answer and the core channel
// (create_link, device_write, device_read, device_clear, destroy_link) in
// front of an instrument, over ONC RPC on TCP; the portmapper answers on UDP too.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>

#include "instrument.h"
#include "tcp_listener.h"
#include "transcript.h"
#include "vxi11_core.h"

namespace emulator {

class Vxi11Server {
 public:
  Vxi11Server(Instrument& instrument, Transcript* transcript);
  ~Vxi11Server();
  // Port 0 picks a free one; a portmapper port of 111 is what clients that
  // know no other expect.
  std::string start(const std::string& address, unsigned portmapper_port, unsigned core_port = 0);
  void stop();
  unsigned portmapper_port() const { return portmapper_.port(); }
  unsigned core_port() const { return core_.port(); }
  const std::string& address() const { return core_.address(); }

 private:
  void ServeCore(int fd, int stop_fd);

  // The instrument's lock: held by one link of any connection at a time.
 public:
  struct DeviceLock {
    std::mutex mutex;
    std::condition_variable released;
    long owner = 0;  // a link ID, unique across connections; 0: unlocked
    std::atomic<long> next_lid{1};
  };

 private:
  Instrument& instrument_;
  Transcript* transcript_;
  DeviceLock lock_;
  vxi11::Portmapper portmapper_;
  TcpListener core_;
};

}  // namespace emulator
