// SPDX-License-Identifier: MIT
// Writes the driver's reference documentation (Markdown) from the tables the
// driver itself runs on: the attribute list and behaviours, the enum maps, the
// error table, the function table, and each
// instrument function's exchange as recorded from a run against the emulator.
//
// usage: zevra-reference-docs > docs/reference.md
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "attribute_help.h"
#include "attribute_registry.h"
#include "enum_maps.h"
#include "error_messages.h"
#include "function_exchanges.h"
#include "header_declarations.h"
#include "header_docs.h"
#include "parameter_help.h"
#include "table_text.h"
#include "visa.h"

namespace {

using reference_docs::Code;

// The driver's functions, with the statuses the header lists (the same text).
void Functions(const std::vector<reference_docs::RecordedCall>& recorded, std::ostream& out) {
  out << "## Functions\n\n"
         "Common statuses, not repeated for each function: a function taking a session handle may return\n"
         "`IVI_ERROR_INVALID_SESSION_HANDLE`; one with an output parameter `IVI_ERROR_NULL_POINTER`; one with a\n"
         "channel selector `IVI_ERROR_BADLY_FORMED_SELECTOR`, `IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER`,\n"
         "`IVI_ERROR_INVALID_RANGE_IN_SELECTOR` or `IVI_ERROR_CHANNEL_NAME_REQUIRED`. *I/O statuses*, for a\n"
         "function that talks to the instrument: a VISA status (`VI_ERROR_TMO`, `VI_ERROR_CONN_LOST`, ...) and,\n"
         "with `QueryInstrStatus` on, `IVI_ERROR_INSTRUMENT_STATUS`.\n\n"
         "| Function | Parameters | Notes | Returns |\n|---|---|---|---|\n";
  const std::vector<reference_docs::Declaration>& declarations = reference_docs::Declarations();
  const std::set<std::string> talking = reference_docs::TalkingFunctions(declarations, recorded);
  for (const reference_docs::Declaration& d : declarations) {
    std::string comment = d.comment.empty() ? "" : " " + d.comment + " ";
    for (std::size_t at = 0; (at = comment.find('|', at)) != std::string::npos; at += 2) comment.replace(at, 1, "\\|");
    auto accessor = reference_docs::AttributeOfAccessor().find(d.name);
    if (accessor != reference_docs::AttributeOfAccessor().end()) comment += " Accesses `" + accessor->second + "`.";
    std::string parameters;
    for (const reference_docs::Parameter& p : d.parsed) {
      if (p.name == "Vi" && !p.pointer) continue;
      const char* help = reference_docs::ParameterHelp(d.name, p.name);
      parameters += (parameters.empty() ? "" : "<br>") + std::string("`") + p.name + "`: " + (help ? help : "");
    }
    for (std::size_t at = 0; (at = parameters.find('|', at)) != std::string::npos; at += 2) parameters.replace(at, 1, "\\|");
    out << "| `" << d.name << "` | `" << d.parameters << "`" << (parameters.empty() ? "" : "<br>" + parameters) << " | "
        << comment << " | " << reference_docs::ReturnsSummary(d, talking) << " |\n";
  }
  out << "\n";
}

std::string StatusName(ViStatus status) {
  if (status == VI_SUCCESS) return "VI_SUCCESS";
  if (status == VI_SUCCESS_TERM_CHAR) return "VI_SUCCESS_TERM_CHAR";
  for (const zevra::ErrorMessageRow& row : zevra::ErrorMessageTable())
    if (row.code == status) return std::string("`") + row.constant + "`";
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(status));
  return hex;
}

void Exchanges(const std::vector<reference_docs::RecordedCall>& calls, const std::string& error, std::ostream& out) {
  out << "## Function exchanges\n\n"
         "Recorded from the driver talking to the emulated QDX (CH1 into 10 Ω), each call in this order\n"
         "after the one before, with `QueryInstrStatus` off: with it on, each command is followed by\n"
         "`*ESR?`. A function not listed here sends nothing of its own (attribute accessors send their\n"
         "attribute's exchange, in the Attributes table).\n\n";
  if (!error.empty()) {
    out << "Not recorded: " << error << "\n\n";
    return;
  }
  out << "| Function | Example call | Lines sent | Status |\n|---|---|---|---|\n";
  for (const reference_docs::RecordedCall& c : calls) {
    std::string sent;
    for (const std::string& line : c.sent) sent += (sent.empty() ? "" : " ") + Code(line.c_str());
    out << "| `" << c.function << "` | " << Code(c.call.c_str()) << " | " << (sent.empty() ? "—" : sent) << " | "
        << StatusName(c.status) << " |\n";
  }
  out << "\n";
}

}  // namespace

int main(int argc, char**) {
  if (argc != 1) {
    std::cerr << "usage: zevra-reference-docs\n";
    return 2;
  }
  if (std::string missing = reference_docs::AttributesWithoutHelp(); !missing.empty()) {
    std::cerr << "zevra-reference-docs: no help for " << missing << " in tools/reference-docs/attribute_help.cpp\n";
    return 1;
  }
  if (std::string missing = reference_docs::ParametersWithoutHelp(reference_docs::Declarations()); !missing.empty()) {
    std::cerr << "zevra-reference-docs: no help for " << missing << " in tools/reference-docs/parameter_help.cpp\n";
    return 1;
  }
  std::ostream& out = std::cout;
  out << "# ZEVRA reference\n\n"
         "Generated by `tools/reference-docs` from the driver's own tables (attribute list and behaviours,\n"
         "enum maps, error table, function table); a test fails when this file and the tables differ.\n"
         "Regenerate with `build/bin/zevra-reference-docs > docs/reference.md`.\n\n";
  // One recorded run serves the function table's statuses and the exchanges.
  std::string error;
  const std::vector<reference_docs::RecordedCall> recorded = reference_docs::RecordFunctionExchanges(error);
  Functions(recorded, out);
  Exchanges(recorded, error, out);

  out << "## Attributes\n\n"
         "Reads and writes of instrument attributes are followed by the `*ESR?` status check when\n"
         "`QueryInstrStatus` is on; channel-based attributes first select their channel (`INST:SEL n`).\n"
         "Typed-access errors: `IVI_ERROR_INVALID_ATTRIBUTE`, `IVI_ERROR_TYPES_DO_NOT_MATCH`,\n"
         "`IVI_ERROR_IVI_ATTR_NOT_WRITABLE`, `IVI_ERROR_IVI_ATTR_NOT_READABLE`, `IVI_ERROR_NULL_POINTER`.\n\n"
         "| Attribute | ID | Type | Access | Kind | Query | Command | Values | Simulated read |\n"
         "|---|---|---|---|---|---|---|---|---|\n";
  for (const auto& [id, registered] : zevra::AttributeRegistry()) {
    const vexo::AttributeDescriptor& a = registered.descriptor;
    std::string access = std::string(a.read ? "R" : "") + (a.write ? "W" : "");
    bool own_callbacks = reference_docs::HasOwnCallbacks(a);
    const char* map = reference_docs::MapName(a.map);
    out << "| `" << a.name << "` | " << id << " | " << vexo::TypeName(a.type) << " | " << access << " | "
        << reference_docs::KindText(registered.kind) << " | " << (own_callbacks && !a.query ? "own behaviour" : Code(a.query)) << " | "
        << (own_callbacks && !a.command ? "own behaviour" : Code(a.command)) << " | " << (map ? map : "—") << " | "
        << (a.read ? reference_docs::Simulated(a) : "not readable") << " |\n";
  }

  out << "\n### What each attribute means\n\n"
         "Units and valid values are given where the type and the defined values do not say them. The\n"
         "driver checks no range on a real session: the instrument refuses a value it cannot take, and\n"
         "with `QueryInstrStatus` on its error comes back as `IVI_ERROR_INSTRUMENT_STATUS`.\n\n"
         "| Attribute | Meaning | Units and valid values |\n|---|---|---|\n";
  for (const auto& [id, registered] : zevra::AttributeRegistry()) {
    const reference_docs::AttributeHelp* help = reference_docs::FindAttributeHelp(id);
    out << "| `" << registered.descriptor.name << "` | " << help->meaning << " | "
        << (help->values.empty() ? "—" : help->values) << " |\n";
  }
  out << "\n### Attributes with a behaviour of their own\n\n"
         "- Inherent option flags (`ZEVRA_ATTR_CACHE`, `..._SIMULATE`, ...): the session's flags; only the value 1\n"
         "  turns one on. `ZEVRA_ATTR_SIMULATE` cannot be turned off on a session opened in simulation;\n"
         "  `ZEVRA_ATTR_INTERCHANGE_CHECK` refuses `VI_TRUE` (`IVI_ERROR_VALUE_NOT_SUPPORTED`).\n"
         "- Identity texts: what the open read (in simulation the vendor and \"Sim\" + the driver revision);\n"
         "  the driver's own identity and class version read with any handle, even 0.\n"
         "- `ZEVRA_ATTR_CHANNEL_COUNT`: 4. `ZEVRA_ATTR_SYSTEM_IO_SESSION` / `..._SYSTEM_IO_TIMEOUT`: the VISA\n"
         "  session and its timeout; refused in simulation (`ZEVRA_ERROR_IO`).\n"
         "- `ZEVRA_ATTR_CURRENT_LIMIT`: the channel's `:CURR` level, or `:CURR:PROT` when its\n"
         "  `ZEVRA_ATTR_CURRENT_LIMIT_BEHAVIOR` is 1 (trip); the behaviour is kept by the driver per channel.\n"
         "- `ZEVRA_ATTR_OVP_ENABLED`: always `VI_TRUE`; writing anything else is refused.\n"
         "  `ZEVRA_ATTR_OVP_LIMIT`: `ZEVRA_ATTR_VOLTAGE_PROTECTION_LEVEL` of the channel.\n"
         "- `ZEVRA_ATTR_TRIGGER_SOURCE`: `ZEVRA_ATTR_LIST_TRIGGER_SOURCE` of the channel (immediate = IMM,\n"
         "  external = EXT, software = BUS); other class values are refused.\n"
         "- `ZEVRA_ATTR_TRIGGERED_CURRENT_LIMIT` / `..._VOLTAGE_LEVEL`: not supported\n"
         "  (`IVI_ERROR_ATTRIBUTE_NOT_SUPPORTED`).\n";

  out << "\n## Defined values\n\n| Map | Name | Value | Tokens (first is sent) |\n|---|---|---|---|\n";
  for (const zevra::NamedMap& named : zevra::NamedMaps()) {
    for (const vexo::EnumMap::Row& row : named.map().rows()) {
      std::string tokens;
      for (const std::string& t : row.tokens) tokens += (tokens.empty() ? "" : ", ") + ("`" + t + "`");
      out << "| " << named.name << " | `" << row.name << "` | " << row.value << " | " << (tokens.empty() ? "—" : tokens)
          << " |\n";
    }
  }

  out << "\n## Status codes\n\n| Code | Name | Message |\n|---|---|---|\n";
  for (const zevra::ErrorMessageRow& row : zevra::ErrorMessageTable()) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(row.code));
    out << "| " << hex << " | `" << row.constant << "` | " << row.message << " |\n";
  }
  return 0;
}
