// SPDX-License-Identifier: MIT
// The option string of an open and its DriverSetup clause: the scanners, then
// a whole simulated open with the text as its options.
#include "ZEVRA.h"
#include "fuzz_support.h"
#include "option_grammar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::UseStore();
  std::string text(fuzzing::Text(data, size));
  vexo::grammar::DriverSetupClause clause = vexo::grammar::FindDriverSetupClause(text);
  vexo::grammar::InherentOptionPairs(clause.found ? clause.before : std::string_view(text));
  if (clause.found) vexo::grammar::DriverSetupPairs(clause.body);
  if (text.find('\0') != std::string::npos) return 0;
  // Simulated, so nothing is opened on the network whatever the text says.
  // A second Simulate in the text is refused as a repeated option before anything opens.
  std::string options = "Simulate=1," + text;
  ViSession vi = VI_NULL;
  if (ZEVRA_InitWithOptions(const_cast<char*>("x"), VI_FALSE, VI_FALSE, options.c_str(), &vi) >= VI_SUCCESS)
    ZEVRA_close(vi);
  ViStatus code;
  char description[256];
  ZEVRA_GetError(VI_NULL, &code, sizeof description, description);
  return 0;
}
