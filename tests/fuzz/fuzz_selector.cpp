// SPDX-License-Identifier: MIT
// Channel selectors: the grammar, then a write through a simulated session
// whose store has a virtual range and a virtual name.
#include "ZEVRA.h"
#include "fuzz_support.h"
#include "selector_grammar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::UseStore();
  static ViSession vi = [] {
    ViSession s = VI_NULL;
    if (ZEVRA_InitWithOptions(const_cast<char*>("Bench"), VI_FALSE, VI_FALSE, "Simulate=1", &s) < VI_SUCCESS)
      std::abort();
    std::atexit([] { ZEVRA_close(vi); });
    return s;
  }();
  std::string text(fuzzing::Text(data, size));
  vexo::grammar::IsWellFormedSelector(text);
  vexo::grammar::RangeParts parts;
  vexo::grammar::SplitRange(text, parts);
  if (text.find('\0') != std::string::npos) return 0;
  ZEVRA_SetAttributeViReal64(vi, text.c_str(), ZEVRA_ATTR_VOLTAGE_LEVEL, 1.0);
  ViReal64 value;
  ZEVRA_GetAttributeViReal64(vi, text.c_str(), ZEVRA_ATTR_VOLTAGE_LEVEL, &value);
  ViStatus code;
  char description[256];
  ZEVRA_GetError(vi, &code, sizeof description, description);
  return 0;
}
