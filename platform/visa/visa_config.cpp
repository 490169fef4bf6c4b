// SPDX-License-Identifier: MIT
#include "visa_config.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "regular_file.h"
#include "terminal_safe.h"
#include "visa.h"

namespace visa {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// An alias is a name, not a resource: letters, digits, '_', '-' and '.'.
bool IsAliasName(std::string_view name) {
  if (name.empty() || name.size() > 255) return false;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.') return false;
  return true;
}

}  // namespace

const ResourceName* VisaConfig::resolve(std::string_view alias) const {
  auto it = alias_index_.find(Lower(alias));
  return it == alias_index_.end() ? nullptr : &aliases[it->second].second;
}

std::string VisaConfig::alias_of(const ResourceName& resource) const {
  auto it = first_alias_of_.find(Lower(resource.canonical));
  return it == first_alias_of_.end() ? std::string() : aliases[it->second].first;
}

bool VisaConfig::add_alias(const std::string& name, const ResourceName& resource) {
  if (!alias_index_.emplace(Lower(name), aliases.size()).second) return false;
  first_alias_of_.emplace(Lower(resource.canonical), aliases.size());
  aliases.emplace_back(name, resource);
  return true;
}

void VisaConfig::add_resource(const ResourceName& resource) {
  if (listed_.insert(Lower(resource.canonical)).second) resources.push_back(resource);
}

std::string visa_config_path() {
  const char* path = std::getenv("ZEVRA_VISA_CONF");
  if (path != nullptr && *path != '\0') return path;
#ifdef _WIN32
  // Machine-wide settings live under %ProgramData% on Windows.
  const char* data = std::getenv("ProgramData");
  return std::string(data != nullptr && *data != '\0' ? data : "C:\\ProgramData") + "\\zevra\\visa.conf";
#else
  return "/etc/zevra/visa.conf";
#endif
}

VisaConfig read_visa_config(const std::string& path) {
  std::string content, why;
  int err = regular_file::Read(path, kMostVisaConfigBytes, content, why);
  if (err == ENOENT) return {};  // no file: nothing configured
  if (err != 0) {
    VisaConfig refused;
    refused.problems.push_back(terminal_safe(path + ": " + why + "; the file is ignored"));
    return refused;
  }
  std::istringstream in(content);
  return parse_visa_config(in, path);
}

const GpibBoardEntry* VisaConfig::gpib_board(unsigned number) const {
  for (const GpibBoardEntry& entry : gpib_boards)
    if (entry.number == number) return &entry;
  return nullptr;
}

namespace {

bool ParseNumber(const std::string& text, unsigned long most, unsigned& out) {
  char* end = nullptr;
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  unsigned long value = std::strtoul(text.c_str(), &end, 10);
  if (*end != '\0' || value > most) return false;
  out = static_cast<unsigned>(value);
  return true;
}

// "gpib-board N prologix tcp HOST[:PORT]", "... prologix serial DEVICE [BAUD]",
// "... linux-gpib [MINOR]": an empty text when it reads, else what is wrong.
std::string ParseGpibBoard(const std::vector<std::string>& words, GpibBoardEntry& entry) {
  const std::string usage =
      "want gpib-board N prologix tcp HOST[:PORT], gpib-board N prologix serial DEVICE [BAUD] or "
      "gpib-board N linux-gpib [MINOR]";
  if (words.size() < 3 || !ParseNumber(words[1], 65535, entry.number)) return usage;
  const std::string board = std::to_string(entry.number);
  if (words[2] == "linux-gpib") {
    entry.linux_gpib = true;
    if (words.size() > 4 || (words.size() == 4 && !ParseNumber(words[3], 255, entry.minor))) return usage;
    return {};
  }
  if (words[2] != "prologix" || words.size() < 5) return usage;
  std::string resource;
  if (words[3] == "tcp" && words.size() == 5) {
    // HOST, HOST:PORT, [IPV6] or [IPV6]:PORT
    std::string host = words[4], port;
    std::size_t colon = host.rfind(':');
    const bool bracketed = !host.empty() && host[0] == '[';
    if (colon != std::string::npos && (!bracketed || colon > host.find(']'))) {
      if (!bracketed && host.find(':') != colon) return "write an IPv6 address in brackets: [" + host + "]";
      port = host.substr(colon + 1);
      host.resize(colon);
    }
    resource = "PRLGX-TCPIP" + board + "::" + host + (port.empty() ? "" : "::" + port) + "::INTFC";
  } else if (words[3] == "serial" && words.size() <= 6) {
    if (words.size() == 6 && (!ParseNumber(words[5], 4000000, entry.baud) || entry.baud == 0)) return usage;
    resource = "PRLGX-ASRL" + board + "::" + words[4] + "::INTFC";
  } else {
    return usage;
  }
  if (parse_resource_name(resource, entry.adapter) < 0) return "'" + words[4] + "' does not name an adapter";
  return {};
}

}  // namespace

VisaConfig parse_visa_config(std::istream& in, const std::string& path) {
  VisaConfig config;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (number == 1) regular_file::DropByteOrderMark(line);
    if (std::size_t hash = line.find('#'); hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::string keyword, first, second, extra;
    words >> keyword >> first >> second >> extra;
    if (keyword.empty()) continue;
    // A problem quotes the line, which may hold anything: shown terminal-safe, it cannot
    // drive the terminal that shows the message, and a NUL cannot cut it short.
    auto problem = [&](const std::string& why) {
      config.problems.push_back(
          terminal_safe(path + " line " + std::to_string(number) + ": " + why + "; the line is skipped"));
    };
    if (keyword == "gpib-board") {
      std::istringstream all(line);
      std::vector<std::string> words;
      for (std::string word; all >> word;) words.push_back(word);
      GpibBoardEntry entry;
      if (std::string why = ParseGpibBoard(words, entry); !why.empty()) {
        problem(why);
      } else if (config.gpib_board(entry.number) != nullptr) {
        problem("GPIB board " + std::to_string(entry.number) + " is declared twice");
      } else {
        config.gpib_boards.push_back(std::move(entry));
      }
      continue;
    }
    if (keyword == "gpib-srq-interval") {
      unsigned ms = 0;
      if (!ParseNumber(first, kMostGpibSrqIntervalMs, ms) || ms == 0 || !second.empty()) {
        problem("want gpib-srq-interval MILLISECONDS (1 to " + std::to_string(kMostGpibSrqIntervalMs) + ")");
        continue;
      }
      config.gpib_srq_interval_ms = ms;
      continue;
    }
    if (keyword == "discovery-window") {
      char* end = nullptr;
      unsigned long ms = std::strtoul(first.c_str(), &end, 10);
      if (first.empty() || *end != '\0' || !second.empty() || ms > kMostDiscoveryWindowMs) {
        problem("want discovery-window MILLISECONDS (0 to " + std::to_string(kMostDiscoveryWindowMs) + ")");
        continue;
      }
      config.discovery_window_ms = static_cast<std::uint32_t>(ms);
      continue;
    }
    const bool is_alias = keyword == "alias", is_resource = keyword == "resource";
    if (!is_alias && !is_resource) {
      problem("unknown entry '" + keyword +
              "' (use alias NAME RESOURCE, resource RESOURCE, discovery-window MILLISECONDS or gpib-board ...)");
      continue;
    }
    const std::string& text = is_alias ? second : first;
    if (text.empty() || !extra.empty() || (is_resource && !second.empty())) {
      problem(is_alias ? "want alias NAME RESOURCE" : "want resource RESOURCE");
      continue;
    }
    if (is_alias && !IsAliasName(first)) {
      problem("'" + first + "' cannot be an alias (letters, digits, '_', '-', '.')");
      continue;
    }
    ResourceName resource;
    ViStatus st = parse_resource_name(text, resource);
    if (st < 0) {
      problem("'" + text + "' is not a resource this library opens");
      continue;
    }
    if (is_alias && !config.add_alias(first, resource)) {
      problem("the alias '" + first + "' is given twice");
      continue;
    }
    config.add_resource(resource);
  }
  return config;
}

}  // namespace visa
