// SPDX-License-Identifier: MIT
// viFindRsrc's expressions and the VISA configuration file: the first line an
// expression, the rest a configuration whose resources it is matched against.
#include <sstream>

#include "fuzz_support.h"
#include "resource_expression.h"
#include "visa.h"
#include "visa_config.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(fuzzing::Text(data, size));
  std::size_t newline = text.find('\n');
  std::string expression = text.substr(0, newline);
  std::istringstream rest(newline == std::string::npos ? std::string() : text.substr(newline + 1));
  visa::VisaConfig config = visa::parse_visa_config(rest, "fuzz.conf");
  visa::ResourceExpression parsed;
  const bool valid = parsed.parse(expression) == VI_SUCCESS;
  for (const visa::ResourceName& resource : config.resources) {
    // A refused expression matches nothing; "?*" matches everything.
    if (!valid && parsed.matches(resource)) __builtin_trap();
  }
  visa::ResourceExpression any;
  if (any.parse("?*") != VI_SUCCESS) __builtin_trap();
  for (const visa::ResourceName& resource : config.resources)
    if (!any.matches(resource)) __builtin_trap();
  for (const auto& [alias, resource] : config.aliases)
    if (config.resolve(alias) == nullptr) __builtin_trap();
  return 0;
}
