#include "config_store.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "IviConfigServer.h"

#ifndef IVICONFIG_MASTER_LOCATION
#define IVICONFIG_MASTER_LOCATION "/var/lib/ivi/IviConfigurationStore.xml"
#endif

namespace iviconfig {

std::string master_location() { return IVICONFIG_MASTER_LOCATION; }

std::string process_default_location() {
  const char* env = std::getenv("IVICONFIGSERVERDEFAULT");
  return env != nullptr ? env : "";
}

bool iequals(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

std::optional<StoreError> Store::load(const std::string& path) {
  path_ = path;
  content_.clear();
  doc_.reset();
  if (path.empty()) {
    return StoreError{IVICONFIG_ERROR_CANNOT_READ_STORE,
                      "No configuration store location: set IVICONFIGSERVERDEFAULT or create the "
                      "master store " + master_location() + "."};
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    int err = errno;
    if (path == master_location() && err == ENOENT) {
      return StoreError{IVICONFIG_ERROR_MASTER_NOT_FOUND,
                        "The master configuration store " + path + " does not exist."};
    }
    return StoreError{IVICONFIG_ERROR_CANNOT_READ_STORE,
                      "Cannot read the configuration store " + path + ": " + std::strerror(err) + "."};
  }
  std::ostringstream text;
  text << in.rdbuf();
  content_ = text.str();
  pugi::xml_parse_result parsed = doc_.load_buffer(content_.data(), content_.size());
  if (!parsed) {
    std::size_t offset = std::min<std::size_t>(static_cast<std::size_t>(parsed.offset), content_.size());
    int line = 1 + static_cast<int>(std::count(content_.begin(), content_.begin() + offset, '\n'));
    return StoreError{IVICONFIG_ERROR_CANNOT_READ_STORE,
                      "The configuration store " + path + " is not well-formed XML: line " +
                          std::to_string(line) + ": " + parsed.description() + "."};
  }
  if (!root()) {
    return StoreError{IVICONFIG_ERROR_CANNOT_READ_STORE,
                      "The configuration store " + path + " has no IviConfigStore root element."};
  }
  return std::nullopt;
}

void Store::create_empty() {
  doc_.reset();
  content_.clear();
  pugi::xml_node decl = doc_.append_child(pugi::node_declaration);
  decl.append_attribute("version") = "1.0";
  decl.append_attribute("encoding") = "UTF-8";
  pugi::xml_node root = doc_.append_child("IviConfigStore");
  for (const char* name : {"SoftwareModules", "HardwareAssets", "DriverSessions", "LogicalNames"})
    root.append_child(name);
}

std::optional<StoreError> Store::save(const std::string& path) const {
  if (!doc_.save_file(path.c_str(), "  ")) {
    return StoreError{IVICONFIG_ERROR_CANNOT_READ_STORE,
                      "Cannot write the configuration store " + path + ": " + std::strerror(errno) + "."};
  }
  return std::nullopt;
}

int Store::line_of(pugi::xml_node node) const {
  std::ptrdiff_t offset = node.offset_debug();
  if (offset < 0 || content_.empty()) return 0;
  std::size_t end = std::min<std::size_t>(static_cast<std::size_t>(offset), content_.size());
  return 1 + static_cast<int>(std::count(content_.begin(), content_.begin() + end, '\n'));
}

std::string Store::where(pugi::xml_node node) const {
  int line = line_of(node);
  return line > 0 ? path_ + " line " + std::to_string(line) : path_;
}

pugi::xml_node Store::collection(const char* name, bool create) {
  pugi::xml_node node = root().child(name);
  if (!node && create) node = root().append_child(name);
  return node;
}

std::vector<pugi::xml_node> Store::items(pugi::xml_node parent, const char* collection_name,
                                         const char* element) {
  std::vector<pugi::xml_node> out;
  for (pugi::xml_node n : parent.child(collection_name).children(element)) out.push_back(n);
  return out;
}

pugi::xml_node Store::find_named(const std::vector<pugi::xml_node>& items, std::string_view name) {
  for (pugi::xml_node n : items) {
    if (iequals(child_text(n, "Name"), name)) return n;
  }
  return {};
}

pugi::xml_node Store::find_by_id(const char* element, std::string_view id) const {
  if (id.empty()) return {};
  for (pugi::xpath_node x : doc_.select_nodes((std::string("//") + element).c_str())) {
    if (id == x.node().attribute("id").value()) return x.node();
  }
  return {};
}

std::string Store::child_text(pugi::xml_node node, const char* child) {
  return node.child(child).text().get();
}

}  // namespace iviconfig
