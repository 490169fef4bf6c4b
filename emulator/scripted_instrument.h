// SPDX-License-Identifier: MIT
// An instrument that answers from a test's script, and otherwise like a
// generic SCPI instrument: "*IDN?", "*ESR?", "*OPC?", "*TST?", the error queue, and any
// "HEADER value" command stored so that "HEADER?" returns it. Faults (a late,
// partial or missing reply, a dropped connection) are injected on demand.
#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "instrument.h"

namespace emulator {

struct Fault {
  enum class Kind { None, Delay, Partial, NoReply, Close };
  Kind kind = Kind::None;
  std::chrono::milliseconds delay{0};  // Delay: wait this long, then reply in full
  std::size_t partial_bytes = 0;       // Partial: send only this many bytes of the reply
  bool close_after = false;            // Partial: then drop the connection

  static Fault none() { return {}; }
  static Fault delayed(std::chrono::milliseconds d) { return {Kind::Delay, d, 0, false}; }
  static Fault partial(std::size_t bytes, bool close_after = false) {
    return {Kind::Partial, {}, bytes, close_after};
  }
  static Fault no_reply() { return {Kind::NoReply, {}, 0, false}; }
  static Fault close() { return {Kind::Close, {}, 0, false}; }
};

class ScriptedInstrument final : public Instrument {
 public:
  static constexpr int kForever = -1;

  ScriptedInstrument();

  // `line` exactly as sent (without its line feed) is answered with `reply`
  // (a line feed is added). Entries for the same line are used in the order
  // added; `times` kForever keeps an entry for good.
  void on(const std::string& line, const std::string& reply, int times = 1,
          Fault fault = Fault::none());
  // A fault for a line with no scripted reply of its own (the generic answer, if any, is used).
  void fault(const std::string& line, Fault fault, int times = 1);

  void set_identity(const std::string& idn);
  void set_event_status(int value);  // answered by the next "*ESR?", then cleared
  void push_error(int code, const std::string& message);
  void clear_script();

  std::unique_ptr<Connection> connect() override;

  // Answers one line; exposed for the connection objects.
  void handle(std::string_view line, Client& client);

 private:
  struct Entry {
    std::string line;
    std::string reply;
    bool has_reply = true;
    int remaining = 1;
    Fault fault;
  };

  // Generic SCPI behaviour for one ';'-separated part; appends query answers.
  void handle_generic(std::string_view part, std::vector<std::string>& answers);

  std::mutex mutex_;
  std::vector<Entry> script_;
  std::string identity_;
  int event_status_ = 0;
  std::deque<std::string> errors_;
  std::map<std::string, std::string> stored_;  // header (normalised) -> value
};

// Header normalised for comparison: leading ':' dropped, upper case.
std::string normalise_header(std::string_view header);

}  // namespace emulator
