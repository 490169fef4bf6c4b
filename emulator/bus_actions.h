// SPDX-License-Identifier: MIT
// What a message-based protocol carries besides messages, done through an
// instrument connection as IEEE 488.2 says they act: a status byte read, and
// a device trigger acting as "*TRG".
#pragma once

#include <cstdlib>
#include <string>

#include "instrument.h"
#include "transcript.h"

namespace emulator {

namespace bus_detail {

// Collects what the instrument answers, for the protocol to pass on.
class CaptureClient final : public Client {
 public:
  void send(std::string_view bytes) override { text.append(bytes); }
  void close() override {}
  bool pause(std::chrono::milliseconds) override { return true; }
  std::string text;
};

}  // namespace bus_detail

// The instrument's status byte, with MAV (bit 4) set when a reply is waiting
// for the client (the instrument itself never sees its replies queued).
inline int ReadStatusByte(Connection& connection, bool reply_waiting) {
  bus_detail::CaptureClient answer;
  connection.on_line("*STB?", answer);
  int stb = std::atoi(answer.text.c_str()) & 0xFF;
  return reply_waiting ? stb | 0x10 : stb;
}

// A device trigger; the transcript shows it as "<trigger>", apart from a "*TRG" line.
inline void DeviceTrigger(Connection& connection, Transcript* transcript) {
  if (transcript != nullptr) transcript->record("<trigger>");
  bus_detail::CaptureClient ignored;
  connection.on_line("*TRG", ignored);
}

}  // namespace emulator
