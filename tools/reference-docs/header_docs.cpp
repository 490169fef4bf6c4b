// SPDX-License-Identifier: MIT
#include "header_docs.h"

#include <cstdio>
#include <sstream>

#include "attribute_registry.h"
#include "enum_maps.h"
#include "error_messages.h"
#include "function_exchanges.h"
#include "parameter_help.h"
#include "table_text.h"

namespace reference_docs {
namespace {

constexpr std::size_t kWidth = 100;            // comments
constexpr std::size_t kDeclarationWidth = 120;
constexpr std::size_t kBannerWidth = 80;

bool IsOutput(const Parameter& p) { return p.pointer || p.array; }

const vexo::AttributeDescriptor* AccessedAttribute(const std::string& function) {
  auto accessor = AttributeOfAccessor().find(function);
  if (accessor == AttributeOfAccessor().end()) return nullptr;
  for (const auto& [id, registered] : zevra::AttributeRegistry())
    if (registered.descriptor.name == accessor->second) return &registered.descriptor;
  return nullptr;
}

// `text` cut into lines of at most kWidth at blanks: the first after `first`,
// the others after `next`.
std::vector<std::string> Wrap(const std::string& text, const std::string& first, const std::string& next) {
  std::vector<std::string> lines{first};
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    std::string& line = lines.back();
    bool fresh = lines.size() == 1 && line == first;
    if (!fresh && line.size() + 1 + word.size() > kWidth) {
      lines.push_back(next + word);
    } else {
      line += (fresh ? "" : " ") + word;
    }
  }
  return lines;
}

std::vector<std::string> Tags(const Declaration& d, const std::set<std::string>& talking,
                              const std::vector<RecordedCall>& recorded) {
  std::vector<std::string> tags;
  if (const vexo::AttributeDescriptor* a = AccessedAttribute(d.name)) tags.push_back("@attribute " + a->name);
  for (const Parameter& p : d.parsed) {
    if (p.name == "Vi" && !p.pointer) continue;  // described once, at the top
    const char* help = ParameterHelp(d.name, p.name);
    tags.push_back(std::string(IsOutput(p) ? "@param[out] " : "@param[in] ") + p.name + " " + (help ? help : ""));
  }
  if (std::string sends = SentLines(d.name, recorded); !sends.empty()) tags.push_back("@sends " + sends);
  tags.push_back("@returns " + ReturnsSummary(d, talking));
  return tags;
}

// A comment block: the prose lines, then the tags, each wrapped.
void EmitComment(const std::string& prose, const std::vector<std::string>& tags, std::string& out) {
  std::vector<std::string> lines;
  std::istringstream text(prose);
  for (std::string line; std::getline(text, line);) lines.push_back((lines.empty() ? "/* " : " * ") + line);
  for (const std::string& tag : tags) {
    std::vector<std::string> wrapped = Wrap(tag, lines.empty() ? "/* " : " * ", " *   ");
    lines.insert(lines.end(), wrapped.begin(), wrapped.end());
  }
  lines.back() += " */";
  for (const std::string& line : lines) out += line + "\n";
}

// "ZEVRA_API ViStatus NAME(...);", its parameters carried over under the
// opening parenthesis where the line would pass kDeclarationWidth.
void EmitDeclaration(const Declaration& d, std::string& out) {
  const std::string opening = "ZEVRA_API ViStatus " + d.name + "(";
  std::string line = opening;
  for (std::size_t i = 0; i < d.parsed.size(); ++i) {
    const Parameter& p = d.parsed[i];
    std::string text = p.type + (p.pointer ? " *" : " ") + p.name + (p.array ? "[]" : "");
    text += i + 1 < d.parsed.size() ? "," : ");";
    if (line.size() > opening.size() && line.size() + 1 + text.size() > kDeclarationWidth) {
      out += line + "\n";
      line = std::string(opening.size(), ' ') + text;
    } else {
      line += (line.size() > opening.size() ? " " : "") + text;
    }
  }
  out += line + "\n";
}

// "/*- Title -----...*/"
std::string Banner(const std::string& title) {
  std::string banner = "/*- " + title + " ";
  while (banner.size() < kBannerWidth - 2) banner += '-';
  return banner + "*/";
}

std::string Hex(ViStatus code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned int>(code));
  return text;
}

bool StartsWith(const std::string& line, const char* prefix) { return line.rfind(prefix, 0) == 0; }

}  // namespace

std::set<std::string> TalkingFunctions(const std::vector<Declaration>& declarations,
                                       const std::vector<RecordedCall>& recorded) {
  std::set<std::string> talking;
  for (const RecordedCall& call : recorded)
    if (!call.sent.empty()) talking.insert(call.function);
  for (const Declaration& d : declarations) {
    const vexo::AttributeDescriptor* a = AccessedAttribute(d.name);
    bool setter = d.name.rfind("ZEVRA_Set", 0) == 0;
    if (d.io != Io::kAsRecorded || (a != nullptr && (setter ? a->command : a->query) != nullptr))
      talking.insert(d.name);
  }
  return talking;
}

std::string ReturnsSummary(const Declaration& d, const std::set<std::string>& talking) {
  std::string text = "VI_SUCCESS";
  if (!d.statuses.empty()) text += ", " + d.statuses;
  // Direct I/O lists its VISA statuses itself and checks no status after.
  if (talking.count(d.name) != 0 && d.io != Io::kDirect) text += "; I/O statuses";
  return text;
}

std::string SentLines(const std::string& function, const std::vector<RecordedCall>& recorded) {
  for (const RecordedCall& call : recorded) {
    if (call.function != function || call.sent.empty()) continue;
    std::string lines;
    for (const std::string& line : call.sent) lines += (lines.empty() ? "\"" : ", \"") + line + "\"";
    return lines + " (for " + call.call + ")";
  }
  return {};
}

std::string WriteHeader(const std::string& layout, const std::set<std::string>& talking,
                        const std::vector<RecordedCall>& recorded, std::string& error) {
  std::set<std::string> placed;  // the sections written so far
  std::string out;
  std::istringstream in(layout);
  for (std::string line; std::getline(in, line);) {
    if (line == "@STATUS_CODES@") {
      for (const zevra::ErrorMessageRow& row : zevra::ErrorMessageTable())
        if (std::string(row.constant) != "VI_SUCCESS")  // from visatype.h
          out += std::string("#define ") + row.constant + " ((ViStatus)" + Hex(row.code) + "L)\n";
    } else if (line == "@ATTRIBUTES@") {
      for (const auto& [id, registered] : zevra::AttributeRegistry()) {
        std::string summary = AttributeSummary(registered.descriptor, registered.kind);
        if (summary.find("*/") != std::string::npos) {
          error = registered.descriptor.name + "'s help would end its comment";
          return {};
        }
        std::vector<std::string> wrapped = Wrap(summary, "/** ", " *  ");
        wrapped.back() += " */";
        for (const std::string& w : wrapped) out += w + "\n";
        out += "#define " + registered.descriptor.name + " " + std::to_string(id) + "\n";
      }
    } else if (line == "@DEFINED_VALUES@") {
      for (const zevra::NamedMap& named : zevra::NamedMaps())
        for (const auto& row : named.map().rows())
          if (StartsWith(row.name, "ZEVRA_VAL_")) out += "#define " + row.name + " " + std::to_string(row.value) + "\n";
    } else if (StartsWith(line, "@FUNCTIONS ") && line.size() > 12 && line.back() == '@') {
      const std::string section = line.substr(11, line.size() - 12);
      out += Banner(section) + "\n";
      for (const Declaration& d : Declarations()) {
        if (d.section != section) continue;
        if (d.prose.find("*/") != std::string::npos) {
          error = d.name + "'s prose would end its comment";
          return {};
        }
        out += "\n";
        EmitComment(d.prose, Tags(d, talking, recorded), out);
        EmitDeclaration(d, out);
      }
      placed.insert(section);
    } else if (StartsWith(line, "@")) {
      error = "unknown placeholder " + line;
      return {};
    } else {
      out += line + "\n";
    }
  }
  for (const Declaration& d : Declarations()) {
    if (placed.count(d.section) == 0) {
      error = "the layout has no place for the section \"" + d.section + "\" (" + d.name + ")";
      return {};
    }
  }
  return out;
}

}  // namespace reference_docs
