// SPDX-License-Identifier: MIT
// The option string of initialization and the DriverSetup clause.
#include <algorithm>
#include <cctype>

#include "driver_session.h"
#include "ivi_status.h"
#include "option_grammar.h"

namespace vexo {

ViStatus DriverSession::ParseOptionString(const std::string& option_string) {
  grammar::DriverSetupClause clause = grammar::FindDriverSetupClause(option_string);
  if (!clause.found) return ParseInherentOptions(option_string);
  ViStatus st = ParseDriverSetup(std::string(clause.body));
  if (st < 0) return st;
  return ParseInherentOptions(std::string(clause.before));
}

ViStatus DriverSession::ParseInherentOptions(const std::string& text) {
  std::string lower = text;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  struct Flag {
    const char* name;
    bool InherentOptions::*member;
  };
  static constexpr Flag kFlags[] = {
      {"cache", &InherentOptions::cache},
      {"interchangecheck", &InherentOptions::interchange_check},
      {"queryinstrstatus", &InherentOptions::query_instr_status},
      {"rangecheck", &InherentOptions::range_check},
      {"recordcoercions", &InherentOptions::record_coercions},
      {"simulate", &InherentOptions::simulate},
  };
  ViStatus status = VI_SUCCESS;
  for (const grammar::OptionPair& pair : grammar::InherentOptionPairs(lower)) {
    if (status < 0) break;
    std::string name(pair.name);
    std::string value(pair.value);
    const Flag* flag = std::find_if(std::begin(kFlags), std::end(kFlags),
                                    [&](const Flag& f) { return name == f.name; });
    if (flag != std::end(kFlags)) {
      status = ParseBooleanOptionValue(name, value, options_.*(flag->member));
    } else {
      status = ReportError(IVI_ERROR_BAD_OPTION_NAME, {name});
    }
    if (inherent_options_seen_.count(name) != 0) {
      return ReportErrorWithElaboration(IVI_ERROR_CANNOT_RECOVER, "Inherent option '%s' appears more than once.",
                                        {name});
    }
    inherent_options_seen_[name] = value;
  }
  return status;
}

ViStatus DriverSession::ParseBooleanOptionValue(const std::string&, const std::string& value, bool& target) {
  if (value == "true" || value == "vi_true" || value == "1") {
    target = true;
    return VI_SUCCESS;
  }
  if (value == "false" || value == "vi_false" || value == "0") {
    target = false;
    return VI_SUCCESS;
  }
  return ReportError(IVI_ERROR_BAD_OPTION_VALUE, {value});
}

ViStatus DriverSession::ParseDriverSetup(const std::string& text) {
  driver_setup_options_.clear();
  driver_setup_ = text;
  ViStatus status = VI_SUCCESS;
  for (const grammar::OptionPair& pair : grammar::DriverSetupPairs(text)) {
    std::string name(pair.name);
    std::string value(pair.value);
    status = ApplyDriverSetupOption(name, value);
    if (status < 0) return status;
    if (driver_setup_options_.count(name) != 0) {
      return ReportErrorWithElaboration(IVI_ERROR_CANNOT_RECOVER, "DriverSetup option '%s' appears more than once.",
                                        {name});
    }
    driver_setup_options_[name] = value;
  }
  return status;
}

ViStatus DriverSession::ApplyDriverSetupOption(const std::string& name, const std::string& value) {
  if (EqualsIgnoringCase(name, "Model")) instrument_model_ = value;
  return VI_SUCCESS;
}

}  // namespace vexo
