// SPDX-License-Identifier: MIT
// The emulator's SCPI front end and instrument model, line by line.
#include "fuzz_support.h"
#include "qdx_instrument.h"
#include "scpi_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static emulator::QdxInstrument instrument([] {
    emulator::QdxOptions o;
    o.virtual_time = true;
    return o;
  }());
  std::vector<std::string> path;
  std::string_view text = fuzzing::Text(data, size);
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    emulator::scpi::SplitLine(line);
    instrument.Execute(line, path);
    start = end + 1;
  }
  return 0;
}
