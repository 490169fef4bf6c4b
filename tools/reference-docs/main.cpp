// Writes the driver's reference documentation (Markdown) from the tables the
// driver itself runs on: the attribute list and behaviours, the enum maps, the
// error table, the public header's declarations and their comments, and each
// instrument function's exchange as recorded from a run against the emulator.
//
// usage: zevra-reference-docs ZEVRA.h > docs/reference.md
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "attribute_list.h"
#include "attribute_registry.h"
#include "enum_maps.h"
#include "error_messages.h"
#include "function_exchanges.h"
#include "visa.h"

namespace {

std::string Code(const char* text) {
  if (text == nullptr) return "—";
  std::string s;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '\n') s += "\\n";
    else if (*p == '|') s += "\\|";
    else s += *p;
  }
  return "`" + s + "`";
}

const char* MapName(const vexo::EnumMap* map) {
  for (const zevra::NamedMap& named : zevra::NamedMaps())
    if (&named.map() == map) return named.name;
  return nullptr;
}

std::string Simulated(const vexo::AttributeDescriptor& a) {
  if (a.type == vexo::ValueType::String) {
    std::string text = std::string("\"") + a.simulated.text + "\"";
    return a.simulated.fixed ? "always " + text : "last written, else " + text;
  }
  char number[32];
  std::snprintf(number, sizeof number, "%g", a.simulated.number);
  std::string value = number;
  if (a.type == vexo::ValueType::Boolean)
    value = (a.simulated.fixed || a.simulated.has_default ? a.simulated.number != 0 : true) ? "VI_TRUE" : "VI_FALSE";
  if (a.read == vexo::TemplateRead || a.simulated.fixed)
    return a.simulated.fixed ? "always " + value : "last written, else " + value;
  return "own behaviour, see below";
}

std::string Kind(zevra::AttributeKind kind) {
  switch (kind) {
    case zevra::AttributeKind::Inherent: return "inherent";
    case zevra::AttributeKind::Class: return "class (channel-based)";
    default: return "instrument";
  }
}

const std::map<std::string, std::string>& AttributeOfAccessor();

void Functions(const std::string& header_path, std::ostream& out) {
  std::ifstream in(header_path);
  std::stringstream text;
  text << in.rdbuf();
  std::string header = text.str();
  // A declaration, with the comment block right above it when there is one.
  std::regex declaration(R"((/\*(?:[^*]|\*(?!/))*\*/\n)?ZEVRA_API ViStatus (ZEVRA_\w+)\(([^;]*)\);)");
  out << "## Functions\n\n| Function | Parameters | Notes |\n|---|---|---|\n";
  for (std::sregex_iterator it(header.begin(), header.end(), declaration), end; it != end; ++it) {
    std::string comment = (*it)[1];
    std::string params = std::regex_replace((*it)[3].str(), std::regex(R"(\s+)"), " ");
    comment = std::regex_replace(comment, std::regex(R"(/\*|\*/|\n \*|\n)"), " ");
    comment = std::regex_replace(comment, std::regex(R"(\s+)"), " ");
    comment = std::regex_replace(comment, std::regex(R"(\|)"), "\\|");
    auto accessor = AttributeOfAccessor().find((*it)[2].str());
    if (accessor != AttributeOfAccessor().end()) comment += " Accesses `" + accessor->second + "`.";
    out << "| `" << (*it)[2] << "` | `" << params << "` | " << comment << " |\n";
  }
  out << "\n";
}

// The generated ZEVRA_Get<Name>/ZEVRA_Set<Name> functions and their attributes.
const std::map<std::string, std::string>& AttributeOfAccessor() {
  static const std::map<std::string, std::string> accessors = [] {
    std::map<std::string, std::string> m;
#define ZEVRA_ACCESSOR_Specific(NAME, Function)            \
  m["ZEVRA_Get" #Function] = "ZEVRA_ATTR_" #NAME;          \
  m["ZEVRA_Set" #Function] = "ZEVRA_ATTR_" #NAME;
#define ZEVRA_ACCESSOR_SpecificIo(NAME, Function)
#define ZEVRA_ACCESSOR_Inherent(NAME, Function)
#define ZEVRA_ACCESSOR_Class(NAME, Function)
#define ZEVRA_ACCESSOR(NAME, Function, ID, Type, Access, Kind) ZEVRA_ACCESSOR_##Kind(NAME, Function)
    ZEVRA_ATTRIBUTE_LIST(ZEVRA_ACCESSOR)
#undef ZEVRA_ACCESSOR
    return m;
  }();
  return accessors;
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

void Exchanges(std::ostream& out) {
  std::string error;
  std::vector<reference_docs::RecordedCall> calls = reference_docs::RecordFunctionExchanges(error);
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

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: zevra-reference-docs ZEVRA.h\n";
    return 2;
  }
  std::ostream& out = std::cout;
  out << "# ZEVRA reference\n\n"
         "Generated by `tools/reference-docs` from the driver's own tables (attribute list and behaviours,\n"
         "enum maps, error table) and the declarations of `include/ZEVRA.h`; a test fails when this file\n"
         "and the tables differ. Regenerate with `build/bin/zevra-reference-docs include/ZEVRA.h > docs/reference.md`.\n\n";
  Functions(argv[1], out);
  Exchanges(out);

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
    bool own_callbacks = (a.read && a.read != vexo::TemplateRead) || (a.write && a.write != vexo::TemplateWrite);
    const char* map = MapName(a.map);
    out << "| `" << a.name << "` | " << id << " | " << vexo::TypeName(a.type) << " | " << access << " | "
        << Kind(registered.kind) << " | " << (own_callbacks && !a.query ? "own behaviour" : Code(a.query)) << " | "
        << (own_callbacks && !a.command ? "own behaviour" : Code(a.command)) << " | " << (map ? map : "—") << " | "
        << (a.read ? Simulated(a) : "not readable") << " |\n";
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
