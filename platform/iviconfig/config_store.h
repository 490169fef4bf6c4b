// SPDX-License-Identifier: MIT
// An IVI configuration store held as an XML document: loading with errors that
// name the file and line, and the lookups both the configuration server and
// ivi-config use. Elements are found by name, in any order; elements refer to
// each other by id and idref.
#pragma once

#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "safe_file.h"
#include "visatype.h"

namespace iviconfig {

struct StoreError {
  ViStatus code = 0;
  std::string text;
};

// The master store location, fixed when the library is built.
std::string master_location();
// The process-default location: IVICONFIGSERVERDEFAULT when set, else empty.
std::string process_default_location();

bool iequals(std::string_view a, std::string_view b);

class Store {
 public:
  // Reads and parses `path` under a shared lock. A missing file at the master
  // location is "master store not found"; every other failure "cannot read store".
  std::optional<StoreError> load(const std::string& path);
  // The same store for reading only, shared: parsed once and handed to every
  // later reader in the process while the file stays as it was (the same
  // file, size, modification and change times; a file written within two
  // seconds of being read is read again). Callers serialise calls.
  static std::optional<StoreError> load_shared(const std::string& path, std::shared_ptr<Store>& out);
  // Takes the store's exclusive lock, held until this object goes, then reads it
  // keeping comments, the declaration and the layout, so save() changes only
  // what was edited. A missing file is an error unless `may_be_missing` is set
  // (then the document is empty and exists() says so).
  std::optional<StoreError> load_for_editing(const std::string& path, bool may_be_missing = false);
  bool exists() const { return exists_; }
  // An empty store with the top-level collections, for ivi-config.
  void create_empty();
  // Replaces the file atomically (see safe_file.h); a failure leaves it as it was.
  std::optional<StoreError> save(const std::string& path);
  // The document as save() writes it.
  std::string serialize();

  // Edits that keep the layout: a new element goes before its parent's closing
  // whitespace, a removed one takes the whitespace in front of it along.
  static pugi::xml_node append_element(pugi::xml_node parent, const char* name);
  static void remove_element(pugi::xml_node node);

  // A copy of this store to edit, not shared: the same bytes read again
  // keeping the file's layout (or an empty store when there were none), with
  // the same elements in the same order.
  std::shared_ptr<Store> editable_copy() const;

  const std::string& path() const { return path_; }
  pugi::xml_document& document() { return doc_; }
  const pugi::xml_document& document() const { return doc_; }
  pugi::xml_node root() const { return doc_.child("IviConfigStore"); }
  // Line of a node in the file loaded (1-based), 0 when unknown.
  int line_of(pugi::xml_node node) const;
  // "FILE line N" for messages.
  std::string where(pugi::xml_node node) const;

  // The collection element under the root (created when `create` is set).
  pugi::xml_node collection(const char* name, bool create = false);
  // Items of `element` type under `parent`'s child collection `collection_name`.
  static std::vector<pugi::xml_node> items(pugi::xml_node parent, const char* collection_name, const char* element);
  // The item among `items` whose Name child equals `name` ignoring ASCII case.
  static pugi::xml_node find_named(const std::vector<pugi::xml_node>& items, std::string_view name);
  // The element of type `element` anywhere in the store with id == `id`.
  pugi::xml_node find_by_id(const char* element, std::string_view id) const;
  // The first item of `element` type in the root's `collection` whose Name
  // equals `name` ignoring ASCII case. A shared store, never edited, answers
  // this and find_by_id from indexes made at its first lookup; others search.
  pugi::xml_node find_item(const char* collection, const char* element, std::string_view name) const;

  static std::string child_text(pugi::xml_node node, const char* child);

 private:
  std::optional<StoreError> read_and_parse(const std::string& path, unsigned parse_options);
  // Gives elements added since loading the indentation of their neighbours.
  void indent_new_elements();

  void build_indexes() const;

  pugi::xml_document doc_;
  std::string path_;
  bool shared_ = false;
  // For a shared store: "element\0id" and "collection\0element\0NAME" (upper case) to the first such node.
  mutable bool indexed_ = false;
  mutable std::unordered_map<std::string, pugi::xml_node> by_id_, by_name_;
  std::string content_;
  FileLock lock_;
  bool exists_ = false;
  bool missing_ = false;
};

}  // namespace iviconfig
