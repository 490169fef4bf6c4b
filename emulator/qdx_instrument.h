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
  // (without its line feed), or nothing when no query answered.
  // A command line too long to take in: -223 in the error queue.
  void ReportOverlongLine();
  std::optional<std::string> Execute(std::string_view line, std::vector<std::string>& path);

  QdxModel& model() { return model_; }

 private:
  QdxModel model_;
};

}  // namespace emulator
