// SPDX-License-Identifier: MIT
// What sits behind the emulator's transports: an instrument that answers the
// lines each client sends. The scripted instrument answers from a test's
// script; the instrument model plugs in behind the same interface.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "service_requests.h"

namespace emulator {

// The client a line came from, as an instrument sees it.
class Client {
 public:
  virtual ~Client() = default;
  // Sends bytes as they are (the instrument adds its own line feeds).
  virtual void send(std::string_view bytes) = 0;
  // Drops the connection after the current line.
  virtual void close() = 0;
  // Waits, but returns early (false) when the server is shutting down.
  virtual bool pause(std::chrono::milliseconds duration) = 0;
};

// Per-connection state of an instrument (its parser position, for example).
class Connection {
 public:
  virtual ~Connection() = default;
  virtual void on_line(std::string_view line, Client& client) = 0;
  // A line longer than the transports keep arrived, and was skipped.
  virtual void on_overlong_line(Client&) {}
  // An instrument that must see the bytes exactly as sent (carriage returns,
  // binary data) takes them here instead of as lines; `end` marks the end of a
  // message (VXI-11's and HiSLIP's END; a raw socket has none).
  virtual bool takes_bytes() const { return false; }
  virtual void on_bytes(std::string_view /*bytes*/, bool /*end*/, Client&) {}
};

class Instrument {
 public:
  virtual ~Instrument() = default;
  virtual std::unique_ptr<Connection> connect() = 0;
  // Where the instrument's service requests go; one that never asks for service never raises one.
  ServiceRequests& service_requests() { return service_requests_; }

 private:
  ServiceRequests service_requests_;
};

}  // namespace emulator
