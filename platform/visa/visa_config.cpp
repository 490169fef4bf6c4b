#include "visa_config.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "visa.h"

namespace visa {
namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
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
  for (const auto& [name, resource] : aliases)
    if (SameIgnoringCase(name, alias)) return &resource;
  return nullptr;
}

std::string VisaConfig::alias_of(const ResourceName& resource) const {
  for (const auto& [name, target] : aliases)
    if (SameIgnoringCase(target.canonical, resource.canonical)) return name;
  return {};
}

std::string visa_config_path() {
  const char* path = std::getenv("ZEVRA_VISA_CONF");
  return path != nullptr && *path != '\0' ? path : "/etc/zevra/visa.conf";
}

VisaConfig read_visa_config(const std::string& path) {
  std::ifstream in(path);
  if (!in) return {};
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
    if (is_alias) {
      if (config.resolve(first) != nullptr) {
        problem("the alias '" + first + "' is given twice");
        continue;
      }
      config.aliases.emplace_back(first, resource);
    }
    bool listed = false;
    for (const ResourceName& known : config.resources)
      listed = listed || SameIgnoringCase(known.canonical, resource.canonical);
    if (!listed) config.resources.push_back(resource);
  }
  return config;
}

}  // namespace visa
