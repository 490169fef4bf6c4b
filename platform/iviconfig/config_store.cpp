// SPDX-License-Identifier: MIT
#include "config_store.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <list>
#include <sstream>

#include <sys/stat.h>
#include <time.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include "IviConfigServer.h"
#include "regular_file.h"

#ifndef IVICONFIG_MASTER_LOCATION
#define IVICONFIG_MASTER_LOCATION "/var/lib/ivi/IviConfigurationStore.xml"
#endif

namespace iviconfig {

#ifdef _WIN32
namespace {

bool FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The IVI standard root directory the shared components' installer recorded.
std::string StandardRootDirectory() {
  char root[MAX_PATH + 1] = "";
  DWORD size = sizeof root - 1;
  if (::RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\IVI", "IviStandardRootDir", RRF_RT_REG_SZ, nullptr, root,
                     &size) != ERROR_SUCCESS) {
    return "";
  }
  std::string directory = root;
  if (!directory.empty() && directory.back() != '\\') directory += '\\';
  return directory;
}

}  // namespace

// Where the IVI shared components keep the master store on Windows: the IVI
// data directory under %ProgramData%; installations older than that directory
// kept it in the Data folder of the standard root directory the registry
// names, which is taken while only it has a store.
std::string master_location() {
  const char* data = std::getenv("ProgramData");
  const std::string current =
      std::string(data != nullptr ? data : "C:\\ProgramData") + "\\IVI Foundation\\IVI\\IviConfigurationStore.xml";
  if (FileExists(current)) return current;
  const std::string root = StandardRootDirectory();
  if (!root.empty() && FileExists(root + "Data\\IviConfigurationStore.xml")) return root + "Data\\IviConfigurationStore.xml";
  return current;
}
#else
std::string master_location() { return IVICONFIG_MASTER_LOCATION; }
#endif

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

namespace {

// A store is a few kilobytes; anything past this is not one.
constexpr std::size_t kMaxStoreBytes = 64u << 20;
// How long an edit waits for another program's edit to finish, and how long a
// reader (a driver opening a session) waits before reading all the same.
constexpr int kLockTimeoutMs = 10000;
constexpr int kReaderLockWaitMs = 1000;

bool IsWhitespace(const char* text) {
  for (; *text != '\0'; ++text) {
    if (*text != ' ' && *text != '\t' && *text != '\n' && *text != '\r') return false;
  }
  return true;
}

bool IsLayout(pugi::xml_node node) { return node.type() == pugi::node_pcdata && IsWhitespace(node.value()); }

bool IsMarkup(pugi::xml_node node) {
  return node.type() == pugi::node_element || node.type() == pugi::node_comment;
}

}  // namespace

std::optional<StoreError> Store::read_and_parse(const std::string& path, unsigned parse_options) {
  path_ = path;
  content_.clear();
  doc_.reset();
  exists_ = false;
  missing_ = false;
  if (path.empty()) {
    return StoreError{IVICONFIG_ERROR_DESERIALIZE_FAILED,
                      "No configuration store location: set IVICONFIGSERVERDEFAULT or create the "
                      "master store " + master_location() + "."};
  }
  std::string why;
  if (int err = regular_file::Read(path, kMaxStoreBytes, content_, why); err != 0) {
    missing_ = err == ENOENT;
    if (path == master_location() && err == ENOENT) {
      return StoreError{IVICONFIG_ERROR_MASTER_NOT_FOUND,
                        "The master configuration store " + path + " does not exist."};
    }
    return StoreError{IVICONFIG_ERROR_DESERIALIZE_FAILED,
                      "Cannot read the configuration store " + path + ": " + why + "."};
  }
  exists_ = true;
  pugi::xml_parse_result parsed = doc_.load_buffer(content_.data(), content_.size(), parse_options);
  if (!parsed) {
    std::size_t offset = std::min<std::size_t>(static_cast<std::size_t>(parsed.offset), content_.size());
    int line = 1 + static_cast<int>(std::count(content_.begin(), content_.begin() + offset, '\n'));
    return StoreError{IVICONFIG_ERROR_DESERIALIZE_FAILED,
                      "The configuration store " + path + " is not well-formed XML: line " +
                          std::to_string(line) + ": " + parsed.description() + "."};
  }
  if (!root()) {
    return StoreError{IVICONFIG_ERROR_DESERIALIZE_FAILED,
                      "The configuration store " + path + " has no IviConfigStore root element."};
  }
  return std::nullopt;
}

std::optional<StoreError> Store::load(const std::string& path) {
  // Writers rename whole files into place, so the lock only spares a reader
  // the moment between an editor's read and its write; a reader that cannot
  // have it (an editor stuck for the whole wait) reads all the same.
  FileLock shared;
  if (!path.empty()) (void)FileLock::acquire(path, FileLock::Mode::shared, kReaderLockWaitMs, shared);
  return read_and_parse(path, pugi::parse_default);
}

namespace {

using FileIdentity = regular_file::Identity;
using regular_file::IdentityOf;

// File times tick coarsely (a few milliseconds, a second on some file
// systems), so an edit that keeps the size and the inode can leave the times
// as they were when the file is rewritten within one tick of the last write.
// A file written this recently when it was read is not shared: the next
// reader reads it again, until it has been left alone that long.
constexpr std::int64_t kSettledNs = 2'000'000'000;

bool SettledWhenRead(const FileIdentity& identity) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  const auto ns = [](const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; };
  return ns(now) - ns(identity.modified) >= kSettledNs;
}

struct SharedStore {
  std::string path;
  FileIdentity identity;
  std::shared_ptr<Store> store;
};
// The stores read last, most recent first: a process uses one or two.
constexpr std::size_t kSharedStores = 4;
std::list<SharedStore> g_shared_stores;

// The parsed store kept for `path` when the file is still the one it was read
// from (put first, as the most recently used), else null.
std::shared_ptr<Store> KeptStore(const std::string& path, const FileIdentity& identity) {
  auto known = std::find_if(g_shared_stores.begin(), g_shared_stores.end(),
                            [&](const SharedStore& s) { return s.path == path; });
  if (known == g_shared_stores.end() || !(known->identity == identity)) return nullptr;
  g_shared_stores.splice(g_shared_stores.begin(), g_shared_stores, known);
  return known->store;
}

}  // namespace

std::optional<StoreError> Store::load_shared(const std::string& path, std::shared_ptr<Store>& out) {
  FileIdentity identity;
  // A file that has not changed is not read again, so it needs no lock: writers
  // replace the file whole (by rename), and the store kept is what a reader
  // would read now.
  if (!path.empty() && IdentityOf(path, identity)) {
    if (auto kept = KeptStore(path, identity)) {
      out = std::move(kept);
      return std::nullopt;
    }
  }
  FileLock shared;
  if (!path.empty()) (void)FileLock::acquire(path, FileLock::Mode::shared, kReaderLockWaitMs, shared);
  // The file's identity is taken again under the lock, before it is read: a
  // change in between makes the next reader read it again, never keeps what is stale.
  const bool identified = !path.empty() && IdentityOf(path, identity);
  if (identified) {
    if (auto kept = KeptStore(path, identity)) {
      out = std::move(kept);
      return std::nullopt;
    }
  }
  auto known = std::find_if(g_shared_stores.begin(), g_shared_stores.end(),
                            [&](const SharedStore& s) { return s.path == path; });
  if (known != g_shared_stores.end()) g_shared_stores.erase(known);
  auto store = std::make_shared<Store>();
  if (auto error = store->read_and_parse(path, pugi::parse_default)) return error;
  store->shared_ = true;
  if (identified && SettledWhenRead(identity)) {
    g_shared_stores.push_front({path, identity, store});
    if (g_shared_stores.size() > kSharedStores) g_shared_stores.pop_back();
  }
  out = std::move(store);
  return std::nullopt;
}

std::optional<StoreError> Store::load_for_editing(const std::string& path, bool may_be_missing) {
  if (!path.empty()) {
    if (auto why = FileLock::acquire(path, FileLock::Mode::exclusive, kLockTimeoutMs, lock_))
      return StoreError{IVICONFIG_ERROR_DESERIALIZE_FAILED, *why};
  }
  auto error = read_and_parse(path, pugi::parse_full | pugi::parse_ws_pcdata);
  if (error && may_be_missing && missing_) {
    doc_.reset();
    return std::nullopt;
  }
  return error;
}

std::shared_ptr<Store> Store::editable_copy() const {
  auto copy = std::make_shared<Store>();
  copy->path_ = path_;
  copy->exists_ = exists_;
  if (!root()) {
    copy->create_empty();
    return copy;
  }
  copy->content_ = content_;
  copy->doc_.load_buffer(copy->content_.data(), copy->content_.size(), pugi::parse_full | pugi::parse_ws_pcdata);
  return copy;
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

pugi::xml_node Store::append_element(pugi::xml_node parent, const char* name) {
  pugi::xml_node last = parent.last_child();
  return IsLayout(last) ? parent.insert_child_before(name, last) : parent.append_child(name);
}

void Store::remove_element(pugi::xml_node node) {
  pugi::xml_node parent = node.parent();
  pugi::xml_node before = node.previous_sibling();
  if (IsLayout(before)) parent.remove_child(before);
  parent.remove_child(node);
  // A collection left with only its layout becomes the empty element it was.
  if (parent.find_child([](pugi::xml_node n) { return !IsLayout(n); })) return;
  while (parent.first_child()) parent.remove_child(parent.first_child());
}

void Store::indent_new_elements() {
  // The unit of indentation the file uses, read off the root's first line
  // break; a store made here uses two spaces.
  std::string unit = "  ";
  bool laid_out = root().offset_debug() < 0;
  for (pugi::xml_node n : root().children()) {
    std::string text = IsLayout(n) ? n.value() : "";
    std::size_t newline = text.rfind('\n');
    if (laid_out || newline == std::string::npos) continue;
    unit = text.substr(newline + 1);
    laid_out = true;
  }
  if (!laid_out) return;  // a store written on one line stays so
  auto line = [&](int depth) {
    std::string text = "\n";
    for (int i = 0; i < depth; ++i) text += unit;
    return text;
  };
  auto is_new = [](pugi::xml_node n) { return n.offset_debug() < 0; };
  struct Pending {
    pugi::xml_node node;
    int depth;
  };
  std::vector<Pending> stack{{root(), 0}};
  while (!stack.empty()) {
    auto [parent, depth] = stack.back();
    stack.pop_back();
    bool has_text = false, has_layout = false, has_old_markup = false;
    pugi::xml_node first_markup;
    for (pugi::xml_node c : parent.children()) {
      if (IsMarkup(c) && !first_markup) first_markup = c;
      if (IsMarkup(c) && !is_new(c)) has_old_markup = true;
      if (IsLayout(c)) has_layout = true;
      else if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) has_text = true;
    }
    // Values, mixed content and the user's own one-line elements keep their form;
    // only new elements, and new children of laid-out ones, are indented.
    if (!first_markup || has_text || (has_old_markup && !has_layout)) continue;
    std::string child_indent = line(depth + 1);
    if (IsLayout(first_markup.previous_sibling())) child_indent = first_markup.previous_sibling().value();
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
      if (IsMarkup(c) && is_new(c) && !IsLayout(c.previous_sibling()))
        parent.insert_child_before(pugi::node_pcdata, c).set_value(child_indent.c_str());
      if (c.type() == pugi::node_element) stack.push_back({c, depth + 1});
    }
    if (!IsLayout(parent.last_child())) parent.append_child(pugi::node_pcdata).set_value(line(depth).c_str());
  }
}

std::string Store::serialize() {
  std::ostringstream out;
  indent_new_elements();
  // Whitespace between top-level nodes is not kept by the parser: one line each.
  for (pugi::xml_node n : doc_.children()) {
    n.print(out, "", pugi::format_raw, pugi::encoding_utf8);
    out << '\n';
  }
  return out.str();
}

std::optional<StoreError> Store::save(const std::string& path) {
  if (auto why = ReplaceFileContent(path, serialize())) return StoreError{IVICONFIG_ERROR_SERIALIZE_FAILED, *why};
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
  if (!node && create) node = append_element(root(), name);
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

namespace {

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string Key(std::initializer_list<std::string_view> parts) {
  std::string key;
  for (std::string_view part : parts) key.append(part).push_back('\0');
  return key;
}

}  // namespace

// One walk of the document; the first node of a key wins, as a search finds it.
void Store::build_indexes() const {
  for (pugi::xml_node n = doc_.first_child(); n;) {
    if (n.type() == pugi::node_element) {
      if (pugi::xml_attribute id = n.attribute("id")) by_id_.emplace(Key({n.name(), id.value()}), n);
    }
    if (n.first_child()) {
      n = n.first_child();
      continue;
    }
    while (n && !n.next_sibling()) n = n.parent();
    if (n) n = n.next_sibling();
  }
  for (pugi::xml_node collection : root().children()) {
    for (pugi::xml_node item : collection.children()) {
      if (item.type() != pugi::node_element) continue;
      by_name_.emplace(Key({collection.name(), item.name(), UpperCase(child_text(item, "Name"))}), item);
    }
  }
  indexed_ = true;
}

pugi::xml_node Store::find_item(const char* collection, const char* element, std::string_view name) const {
  if (!shared_) return find_named(items(root(), collection, element), name);
  if (!indexed_) build_indexes();
  auto it = by_name_.find(Key({collection, element, UpperCase(name)}));
  return it != by_name_.end() ? it->second : pugi::xml_node();
}

pugi::xml_node Store::find_by_id(const char* element, std::string_view id) const {
  if (id.empty()) return {};
  if (shared_) {
    if (!indexed_) build_indexes();
    auto it = by_id_.find(Key({element, id}));
    return it != by_id_.end() ? it->second : pugi::xml_node();
  }
  for (pugi::xpath_node x : doc_.select_nodes((std::string("//") + element).c_str())) {
    if (id == x.node().attribute("id").value()) return x.node();
  }
  return {};
}

std::string Store::child_text(pugi::xml_node node, const char* child) {
  return node.child(child).text().get();
}

}  // namespace iviconfig
