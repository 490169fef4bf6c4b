// SPDX-License-Identifier: MIT
// The QDX instrument behind the emulator's transports: a SCPI front end over
// the shared instrument model. Each connection keeps its own parser state.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "instrument.h"
#include "qdx_model.h"

namespace emulator {

class QdxInstrument final : public Instrument {
 public:
  explicit QdxInstrument(QdxOptions options);
  ~QdxInstrument() override;

  std::unique_ptr<Connection> connect() override;

  // Executes one line as a client would send it; returns the reply line
  // (without its line feed), or nothing when no query answered. A line that
  // makes the status byte's summary bit rise requests service.
  // A command line too long to take in: -223 in the error queue.
  void ReportOverlongLine();
  std::optional<std::string> Execute(std::string_view line, std::vector<std::string>& path);

  QdxModel& model() { return model_; }

 private:
  static constexpr int kMasterSummaryBit = 0x40;
  std::optional<std::string> ExecuteLocked(std::string_view line, std::vector<std::string>& path,
                                           bool& service_requested);
  bool SummaryRose();
  QdxModel model_;
  bool summary_was_set_ = false;  // guarded by the model's mutex
};

}  // namespace emulator
