// SPDX-License-Identifier: MIT
#include "visa_config.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "regular_file.h"
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
  return path != nullptr && *path != '\0' ? path : "/etc/zevra/visa.conf";
}

VisaConfig read_visa_config(const std::string& path) {
  std::string content, why;
  int err = regular_file::Read(path, kMostVisaConfigBytes, content, why);
  if (err == ENOENT) return {};  // no file: nothing configured
  if (err != 0) {
    VisaConfig refused;
    refused.problems.push_back(path + ": " + why + "; the file is ignored");
    return refused;
  }
  std::istringstream in(content);
  return parse_visa_config(in, path);
}

VisaConfig parse_visa_config(std::istream& in, const std::string& path) {
  VisaConfig config;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (std::size_t hash = line.find('#'); hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::string keyword, first, second, extra;
    words >> keyword >> first >> second >> extra;
    if (keyword.empty()) continue;
    auto problem = [&](const std::string& why) {
      config.problems.push_back(path + " line " + std::to_string(number) + ": " + why + "; the line is skipped");
    };
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
              "' (use alias NAME RESOURCE, resource RESOURCE or discovery-window MILLISECONDS)");
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
