// SPDX-License-Identifier: MIT
// The instrument a zevra run talks to: a driver session through the public
// API, optionally to an emulator started in this process.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ZEVRA.h"
#include "virtual_names.h"

namespace emulator {
class QdxInstrument;
class SocketServer;
}  // namespace emulator

namespace zevra_tool {

// One entry of the instrument's error queue.
struct InstrumentError {
  ViInt32 code;
  std::string message;
};

// A failure to report: the message, and the exit status of the program; for a
// driver failure also its status, the driver's description and the
// instrument's queued errors.
struct Failure : std::runtime_error {
  Failure(const std::string& message, int exit_code = 1) : std::runtime_error(message), code(exit_code) {}
  int code;
  ViStatus status = VI_SUCCESS;
  std::string description;
  std::vector<InstrumentError> instrument_errors;
};

// {"error": {...}}: the failure as JSON, for --json runs.
std::string FailureJson(const Failure& failure);

struct SessionOptions {
  // VISA resource or logical name; empty with emulate, or for the default
  // instrument (ZEVRA_RESOURCE, or the logical name "zevra" in the store).
  std::string resource;
  std::string options;   // the option string
  bool emulate = false;
  bool no_instrument = false;  // a command that talks to no instrument through the driver
};

// A directory of this process's own holding its configuration store; removed
// with the session, also when opening fails.
struct PrivateStore {
  std::string directory;
  PrivateStore() = default;
  PrivateStore(const PrivateStore&) = delete;
  PrivateStore& operator=(const PrivateStore&) = delete;
  ~PrivateStore();
};

class Session {
 public:
  explicit Session(const SessionOptions& options);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  ViSession vi() const { return vi_; }
  const std::string& resource() const { return resource_; }
  // Throws a Failure naming `what` with the driver's description when status
  // is an error; an instrument error comes with the instrument's queue, entry
  // by entry.
  void Check(ViStatus status, const std::string& what) const;
  // The Failure Check throws, built without throwing it (reading the session's
  // recorded error, and the queue for an instrument error).
  Failure Failed(ViStatus status, const std::string& what) const;
  // The instrument's error queue, read until it is empty (at most 32 entries).
  std::vector<InstrumentError> InstrumentErrors() const;
  // A channel argument: "1".."4" or "CH1".."CH4" in any case, or a virtual name
  // the store gives the logical name opened ("Out1"); its physical name.
  std::string Channel(const std::string& text) const;
  // A channel argument or "all": the physical channels it names.
  std::vector<std::string> Channels(const std::string& text) const;

 private:
  void EnsureConfigurationStore();
  std::unique_ptr<emulator::QdxInstrument> instrument_;
  std::unique_ptr<emulator::SocketServer> server_;
  PrivateStore temp_store_;
  std::string resource_;
  bool logical_name_ = false;
  vexo::VirtualNameTable virtual_names_;
  ViSession vi_ = VI_NULL;
};

// "1".."4" or "CH1".."CH4" (any case) -> "CH1".."CH4"; a Failure (exit 2) otherwise.
std::string ChannelName(const std::string& text);
// A finite number making up the whole text; a Failure (exit 2) otherwise.
double ParseNumber(const std::string& text, const std::string& what);
// A whole number in low..high ("1.9" and "nan" are refused, never truncated).
long long ParseWholeNumber(const std::string& text, const std::string& what, long long low, long long high);
// A value in `unit` ("V" or "A"): a number, optionally with an SI prefix (m, u, µ, k)
// and the unit itself, in any case: "5", "5V", "500mV", "100mA", "1.5 A".
double ParseQuantity(const std::string& text, const std::string& unit, const std::string& what);
// "0.5 V": the shortest exact form of the value, with its unit.
std::string FormatQuantity(double value, const std::string& unit);
// "zevra 1.0.0", the driver's revision (read from a simulated session) and the
// driver and VISA library files this process loaded, a line each.
std::string Versions();
// The option string with status checking off, so that opening clears nothing
// the instrument has queued.
std::string WithoutStatusChecking(const std::string& options);

}  // namespace zevra_tool
