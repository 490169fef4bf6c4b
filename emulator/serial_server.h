// SPDX-License-Identifier: MIT
// The emulator's serial line: the instrument served on a pseudo-terminal it
// creates, as a real one behind an RS-232 port. Clients open the terminal's
// path (ASRL/dev/pts/N::INSTR); lines ending in "\n" reach the instrument and
// its replies go back as they are.
#pragma once

#include <memory>
#include <string>
#include <thread>

#include "instrument.h"
#include "transcript.h"
#include "unique_fd.h"

namespace emulator {

class SerialServer {
 public:
  // transcript may be null.
  SerialServer(Instrument& instrument, Transcript* transcript);
  ~SerialServer();
  SerialServer(const SerialServer&) = delete;
  SerialServer& operator=(const SerialServer&) = delete;

  // Creates the terminal, set to `baud`, and starts serving. Returns an error text, empty on success.
  std::string start(unsigned baud);
  void stop();

  const std::string& path() const { return path_; }
  unsigned baud() const { return baud_; }

 private:
  void Serve();

  Instrument& instrument_;
  Transcript* transcript_;
  // The far end stays open here too, so the line never hangs up between clients.
  UniqueFd master_, slave_, wake_read_, wake_write_;
  std::thread thread_;
  std::string path_;
  unsigned baud_ = 0;
};

}  // namespace emulator
