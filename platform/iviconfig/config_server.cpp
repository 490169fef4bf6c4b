// SPDX-License-Identifier: MIT
// The configuration server's handles and operations over Store. One mutex
// guards the table and every call (the server is used when sessions open, not
// on a hot path). A store only read is shared between handles while its file
// is unchanged; the first edit gives the handle a copy of its own, read again
// from the same bytes with the file's layout, so that Serialize changes only
// what was edited.
#include "config_server.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "config_store.h"
#include "safe_file.h"

namespace iviconfig::server {
namespace {

constexpr ViStatus kNullPointer = static_cast<ViStatus>(0xBFFA0058);
constexpr ViStatus kOutOfMemory = static_cast<ViStatus>(0xBFFA0056);
// How long Serialize waits for another program editing the same file.
constexpr int kWriteLockTimeoutMs = 10000;

using Key = std::uintptr_t;
Key KeyOf(IviConfigHandle h) { return reinterpret_cast<Key>(h); }
IviConfigHandle HandleOf(Key k) { return reinterpret_cast<IviConfigHandle>(k); }

struct StoreState {
  std::shared_ptr<Store> doc;
  bool editable = false;  // doc is this handle's own copy
  bool deserialized = false;
  std::uint64_t generation = 0;  // bumped by every edit, so collections list their items again
};

struct Object {
  Object(Kind k, Key s, pugi::xml_node n, const CollectionSpec* c = nullptr) : kind(k), store(s), node(n), spec(c) {}
  Kind kind;
  Key store;
  pugi::xml_node node;  // the item; for a collection its owner (the root for the store's)
  const CollectionSpec* spec = nullptr;
  std::vector<pugi::xml_node> items;
  std::uint64_t generation = UINT64_MAX;
};

struct Failure {
  ViStatus code;
  std::string text;
};

thread_local std::string t_last_error;
std::mutex g_mutex;
std::map<Key, Object> g_objects;
std::map<Key, StoreState> g_stores;
Key g_next_key = 1;
std::optional<std::string> g_process_default;  // set through the store's property 5

ViStatus Fail(ViStatus code, std::string text) {
  t_last_error = std::move(text);
  return code;
}
ViStatus Fail(const Failure& f) { return Fail(f.code, f.text); }

const std::shared_ptr<Store>& NoStore() {
  static const std::shared_ptr<Store> none = std::make_shared<Store>();
  return none;
}

template <typename Body>
ViStatus Locked(Body&& body) noexcept {
  try {
    std::lock_guard lock(g_mutex);
    return body();
  } catch (...) {
    return Fail(kOutOfMemory, "Out of memory in the configuration server.");
  }
}

IviConfigHandle Add(Object object) {
  Key k = g_next_key++;
  if (object.kind == Kind::Store) object.store = k;
  g_objects.emplace(k, std::move(object));
  return HandleOf(k);
}

std::string ItemName(pugi::xml_node node) { return Store::child_text(node, "Name"); }

// The object behind a handle when it is (a kind of) `wanted`.
Object* Find(IviConfigHandle h, Kind wanted, ViStatus& status) {
  auto it = g_objects.find(KeyOf(h));
  if (it == g_objects.end() || !IsA(it->second.kind, wanted)) {
    status = Fail(IVICONFIG_ERROR_INVALID_HANDLE, "Invalid configuration server handle " + std::to_string(KeyOf(h)) +
                                                      " (expected a " + KindName(wanted) + ").");
    return nullptr;
  }
  status = VI_SUCCESS;
  return &it->second;
}

Object* FindCollection(IviConfigHandle h, Kind item, ViStatus& status) {
  auto it = g_objects.find(KeyOf(h));
  if (it == g_objects.end() || it->second.kind != Kind::Collection || it->second.spec->item != item) {
    status = Fail(IVICONFIG_ERROR_INVALID_HANDLE, "Invalid configuration server handle " + std::to_string(KeyOf(h)) +
                                                      " (expected a " + KindName(item) + " collection).");
    return nullptr;
  }
  status = VI_SUCCESS;
  return &it->second;
}

StoreState& StateOf(const Object& o) { return g_stores.at(o.store); }

// --- editing ----------------------------------------------------------------

// The element children on the way from the document to `node`, by position.
std::vector<int> ElementPath(pugi::xml_node node) {
  std::vector<int> path;
  for (; node && node.type() == pugi::node_element; node = node.parent()) {
    int index = 0;
    for (pugi::xml_node n = node.previous_sibling(); n; n = n.previous_sibling()) {
      if (n.type() == pugi::node_element) ++index;
    }
    path.push_back(index);
  }
  return {path.rbegin(), path.rend()};
}

pugi::xml_node NodeAt(pugi::xml_node document, const std::vector<int>& path) {
  pugi::xml_node node = document;
  for (int index : path) {
    pugi::xml_node child = node.first_child();
    for (int seen = 0; child; child = child.next_sibling()) {
      if (child.type() == pugi::node_element && seen++ == index) break;
    }
    node = child;
  }
  return node;
}

// Gives the store its own copy before the first edit; every handle of the
// store then names the same element in the copy.
void MakeEditable(Key store) {
  StoreState& s = g_stores.at(store);
  if (s.editable) return;
  std::shared_ptr<Store> copy = s.doc->editable_copy();
  for (auto& [key, o] : g_objects) {
    if (o.store == store && o.node) o.node = NodeAt(copy->document(), ElementPath(o.node));
  }
  s.doc = std::move(copy);
  s.editable = true;
  ++s.generation;
}

pugi::xml_node SetChildText(pugi::xml_node node, const char* child, const std::string& text) {
  pugi::xml_node c = node.child(child);
  if (!c) c = Store::append_element(node, child);
  c.text().set(text.c_str());
  return c;
}

pugi::xml_node ChildElement(pugi::xml_node parent, const char* name) {
  pugi::xml_node c = parent.child(name);
  return c ? c : Store::append_element(parent, name);
}

// An id no other element of its type has, for idrefs to name it by.
std::string UniqueId(const Store& store, const char* element, const std::string& base) {
  std::string stem = base.empty() ? std::string(element) : base;
  std::string id = stem;
  for (int n = 2; store.find_by_id(element, id); ++n) id = stem + "-" + std::to_string(n);
  return id;
}

std::string IdOf(Store& store, pugi::xml_node node) {
  pugi::xml_attribute id = node.attribute("id");
  if (!id) {
    id = node.append_attribute("id");
    id.set_value(UniqueId(store, node.name(), ItemName(node)).c_str());
  }
  return id.value();
}

// Drops every handle naming `node` or something inside it.
void ForgetHandlesWithin(Key store, pugi::xml_node node) {
  std::erase_if(g_objects, [&](const auto& entry) {
    const Object& o = entry.second;
    if (o.store != store || o.kind == Kind::Store) return false;
    for (pugi::xml_node n = o.node; n; n = n.parent()) {
      if (n == node) return true;
    }
    return false;
  });
}

// --- values -----------------------------------------------------------------

using Value = std::variant<std::string, ViInt32, bool, ViReal64>;  // in ValueType order

std::optional<Failure> ParseValue(const Store& store, pugi::xml_node element, const char* name, const char* text,
                                  ValueType type, Value& out) {
  std::string s = text;
  auto bad = [&](const char* what) {
    return Failure{IVICONFIG_ERROR_DESERIALIZE_FAILED,
                   std::string("Bad ") + what + " '" + s + "' in " + name + " at " + store.where(element) + "."};
  };
  switch (type) {
    case ValueType::String:
      out = s;
      return std::nullopt;
    case ValueType::Boolean:
      if (s == "1" || iequals(s, "true")) return out = true, std::nullopt;
      if (s == "0" || iequals(s, "false")) return out = false, std::nullopt;
      return bad("boolean");
    case ValueType::Int32:
    case ValueType::Real64: {
      const char* first = s.data() + (!s.empty() && s[0] == '+' ? 1 : 0);
      const char* last = s.data() + s.size();
      ViInt32 i = 0;
      ViReal64 r = 0;
      auto [p, ec] = type == ValueType::Int32 ? std::from_chars(first, last, i) : std::from_chars(first, last, r);
      if (s.empty() || ec != std::errc{} || p != last) return bad("number");
      if (type == ValueType::Int32)
        out = i;
      else
        out = r;
      return std::nullopt;
    }
  }
  return bad("value");
}

std::string TextOf(const Value& v) {
  switch (v.index()) {
    case 0:
      return std::get<std::string>(v);
    case 1:
      return std::to_string(std::get<ViInt32>(v));
    case 2:
      return std::get<bool>(v) ? "1" : "0";
    default: {
      char buffer[64];
      auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::get<ViReal64>(v));
      return std::string(buffer, ec == std::errc{} ? end : buffer);
    }
  }
}

std::optional<Failure> InvalidProperty(const Object& o, ViInt32 id) {
  return Failure{IVICONFIG_ERROR_INVALID_PROPERTY_ID,
                 "Property " + std::to_string(id) + " is not defined for a " + KindName(o.kind) + "."};
}

// The value type of a data component's value.
std::optional<ValueType> DataValueType(pugi::xml_node node) {
  switch (DataComponentType(node.name())) {
    case IVICONFIG_VAL_TYPE_BOOLEAN:
      return ValueType::Boolean;
    case IVICONFIG_VAL_TYPE_INTEGER:
      return ValueType::Int32;
    case IVICONFIG_VAL_TYPE_REAL:
      return ValueType::Real64;
    case IVICONFIG_VAL_TYPE_STRING:
      return ValueType::String;
    default:
      return std::nullopt;
  }
}

std::optional<Failure> ReadReference(const Object& o, const ReferenceSpec& spec, pugi::xml_node& target);

std::optional<Failure> ReadProperty(const Object& o, const PropertySpec& p, Value& value) {
  const StoreState& s = StateOf(o);
  const Store& store = *s.doc;
  if (o.kind == Kind::Store) {
    switch (p.id) {
      case IVICONFIG_VAL_CONFIG_STORE_MASTER_LOCATION:
        return value = master_location(), std::nullopt;
      case IVICONFIG_VAL_CONFIG_STORE_ACTUAL_LOCATION:
        return value = s.deserialized ? store.path() : std::string(), std::nullopt;
      case IVICONFIG_VAL_CONFIG_STORE_PROC_DEFAULT_LOCATION:
        return value = g_process_default.value_or(process_default_location()), std::nullopt;
      default:
        break;
    }
  }
  pugi::xml_node node = o.kind == Kind::Store ? store.root() : o.node;
  ValueType type = p.type;
  if (p.id == IVICONFIG_VAL_SESSION_SOFTWARE_MODULE_NAME && p.kind == Kind::Session) {
    pugi::xml_node module;
    if (auto f = ReadReference(o, Reference(ReferenceId::SessionSoftwareModule), module)) return f;
    return value = ItemName(module), std::nullopt;
  }
  if (o.kind == Kind::DataComponent && p.id == IVICONFIG_VAL_DATA_COMPONENT_TYPE) {
    return value = DataComponentType(node.name()), std::nullopt;
  }
  if (o.kind == Kind::DataComponent && p.id == IVICONFIG_VAL_DATA_COMPONENT_VALUE) {
    std::optional<ValueType> t = DataValueType(node);
    if (!t) {
      return Failure{IVICONFIG_ERROR_INVALID_PROPERTY_ID,
                     "The data component '" + ItemName(node) + "' is a " + (node.name() + 3) + " and has no value."};
    }
    type = *t;
  }
  pugi::xml_node element = node.child(p.element);
  if (!element) {
    if (p.fallback == nullptr) {
      return Failure{IVICONFIG_ERROR_DESERIALIZE_FAILED, "The " + std::string(KindName(o.kind)) + " '" +
                                                             ItemName(node) + "' has no " + p.element + " element (" +
                                                             store.where(node) + ")."};
    }
    return ParseValue(store, node, p.element, p.fallback, type, value);
  }
  return ParseValue(store, element, p.element, element.text().get(), type, value);
}

// Finds the property and checks the type the caller's function reads or writes.
std::optional<Failure> PropertyOf(const Object& o, ViInt32 id, ValueType type, const PropertySpec*& out) {
  out = FindProperty(o.kind, id);
  if (out == nullptr) return InvalidProperty(o, id);
  ValueType actual = out->type;
  if (o.kind == Kind::DataComponent && id == IVICONFIG_VAL_DATA_COMPONENT_VALUE) {
    std::optional<ValueType> t = DataValueType(o.node);
    if (t) actual = *t;
  }
  if (actual != type) {
    return Failure{IVICONFIG_ERROR_INVALID_PROPERTY_ID, "Property " + std::to_string(id) + " of a " + KindName(o.kind) +
                                                            " is a " + ValueTypeName(actual) + ", not a " +
                                                            ValueTypeName(type) + "."};
  }
  return std::nullopt;
}

ViStatus Get(IviConfigHandle h, Kind kind, ViInt32 id, ValueType type, Value& value) {
  ViStatus st;
  Object* o = Find(h, kind, st);
  if (o == nullptr) return st;
  const PropertySpec* p = nullptr;
  if (auto f = PropertyOf(*o, id, type, p)) return Fail(*f);
  if (auto f = ReadProperty(*o, *p, value)) return Fail(*f);
  return VI_SUCCESS;
}

// A sibling of the same element type already named `name`.
bool NameTaken(pugi::xml_node node, const std::string& name) {
  for (pugi::xml_node n = node.parent().first_child(); n; n = n.next_sibling()) {
    if (n != node && n.type() == pugi::node_element && std::strcmp(n.name(), node.name()) == 0 &&
        iequals(ItemName(n), name))
      return true;
  }
  return false;
}

ViStatus Set(IviConfigHandle h, Kind kind, ViInt32 id, ValueType type, const Value& value) {
  ViStatus st;
  Object* o = Find(h, kind, st);
  if (o == nullptr) return st;
  const PropertySpec* p = nullptr;
  if (auto f = PropertyOf(*o, id, type, p)) return Fail(*f);
  if (!p->writable) {
    return Fail(IVICONFIG_ERROR_NOT_SUPPORTED,
                "Property " + std::to_string(id) + " of a " + KindName(o->kind) + " cannot be set.");
  }
  if (o->kind == Kind::Store && id == IVICONFIG_VAL_CONFIG_STORE_PROC_DEFAULT_LOCATION) {
    g_process_default = std::get<std::string>(value);
    return VI_SUCCESS;
  }
  std::string text = TextOf(value);
  if (o->kind != Kind::Store && std::strcmp(p->element, "Name") == 0 && NameTaken(o->node, text)) {
    return Fail(IVICONFIG_ERROR_ALREADY_EXIST,
                "A " + std::string(KindName(o->kind)) + " named '" + text + "' exists beside this one.");
  }
  MakeEditable(o->store);
  StoreState& s = StateOf(*o);
  SetChildText(o->kind == Kind::Store ? s.doc->root() : o->node, p->element, text);
  ++s.generation;
  return VI_SUCCESS;
}

// --- collections ------------------------------------------------------------

std::optional<Failure> ListItems(Object& c) {
  StoreState& s = StateOf(c);
  if (c.generation == s.generation) return std::nullopt;
  std::vector<pugi::xml_node> items;
  for (const Place& place : c.spec->places) {
    for (pugi::xml_node n : c.node.child(place.container).children()) {
      if (n.type() != pugi::node_element) continue;
      if (place.element == nullptr ? DataComponentType(n.name()) == 0 : std::strcmp(n.name(), place.element) != 0)
        continue;
      if (!c.spec->references) {
        items.push_back(n);
        continue;
      }
      std::string idref = n.attribute("idref").value();
      pugi::xml_node target = s.doc->find_by_id("IviPublishedAPI", idref);
      if (!target) {
        return Failure{IVICONFIG_ERROR_DESERIALIZE_FAILED,
                       "The " + std::string(KindName(KindOfElement(c.node.name(), c.spec->owner))) + " '" +
                           ItemName(c.node) + "' refers to IviPublishedAPI '" + idref +
                           "', which is not in the store (" + s.doc->where(n) + ")."};
      }
      items.push_back(target);
    }
  }
  c.items = std::move(items);
  c.generation = s.generation;
  return std::nullopt;
}

IviConfigHandle AddItem(const Object& parent, Kind kind, pugi::xml_node node) {
  return Add({KindOfElement(node.name(), kind), parent.store, node});
}

const char* kKindNeedsId[] = {"IviSession", "IviDriverSession", "IviHardwareAsset", "IviSoftwareModule",
                              "IviPublishedAPI"};

bool NeedsId(const char* element) {
  for (const char* e : kKindNeedsId) {
    if (std::strcmp(e, element) == 0) return true;
  }
  return false;
}

// --- references -------------------------------------------------------------

std::optional<Failure> ReadReference(const Object& o, const ReferenceSpec& spec, pugi::xml_node& target) {
  const Store& store = *StateOf(o).doc;
  target = {};
  for (const Link& link : spec.links) {
    pugi::xml_node ref = o.node.child(link.child);
    if (!ref) continue;
    std::string idref = ref.attribute("idref").value();
    target = store.find_by_id(link.target, idref);
    if (!target) {
      return Failure{IVICONFIG_ERROR_DESERIALIZE_FAILED,
                     "The " + std::string(KindName(o.kind)) + " '" + ItemName(o.node) + "' refers to " + link.target +
                         " '" + idref + "', which is not in the store (" + store.where(ref) + ")."};
    }
    return std::nullopt;
  }
  if (spec.optional) return std::nullopt;
  return Failure{IVICONFIG_ERROR_NOT_EXIST, "The " + std::string(KindName(o.kind)) + " '" + ItemName(o.node) +
                                                "' has no " + spec.links.front().child + " element (" +
                                                store.where(o.node) + ")."};
}

bool IsAPIReference(const Object& o) { return std::strcmp(o.node.name(), "IviAPIReference") == 0; }

// Who refers to `node`, for a message; empty when nothing does.
std::string ReferrerOf(const Store& store, pugi::xml_node node) {
  std::string id = node.attribute("id").value();
  if (id.empty()) return {};
  std::vector<Link> links;
  for (const ReferenceSpec& r : AllReferences()) links.insert(links.end(), r.links.begin(), r.links.end());
  links.push_back({"IviPublishedAPIRef", "IviPublishedAPI"});  // a module's list of its APIs
  for (const Link& link : links) {
    if (std::strcmp(link.target, node.name()) != 0) continue;
    for (pugi::xpath_node x : store.document().select_nodes((std::string("//") + link.child).c_str())) {
      if (id != x.node().attribute("idref").value()) continue;
      pugi::xml_node owner = x.node().parent();
      if (std::strcmp(owner.name(), "PublishedAPIs") == 0) owner = owner.parent();
      return std::string(owner.name()) + " '" + ItemName(owner) + "' (" + store.where(x.node()) + ")";
    }
  }
  return {};
}

// Drops a store and every handle of it.
void ForgetStore(Key store) {
  std::erase_if(g_objects, [&](const auto& entry) { return entry.second.store == store; });
  g_stores.erase(store);
}

// A number or a boolean (kept as `Stored`, handed out as `Out`).
template <typename Stored, typename Out>
ViStatus GetScalar(IviConfigHandle h, Kind kind, ViInt32 id, ValueType type, Out* out) {
  if (out == nullptr) return Fail(kNullPointer, "Null value pointer.");
  return Locked([&]() -> ViStatus {
    Value v;
    ViStatus st = Get(h, kind, id, type, v);
    if (st >= 0) *out = static_cast<Out>(std::get<Stored>(v));
    return st;
  });
}

// A software module's collection of published APIs and an API of the same
// store, for a reference to be added or removed.
ViStatus ModuleAPIs(IviConfigHandle h, IviConfigHandle api_handle, Object*& c, Object*& api) {
  ViStatus st;
  if ((c = FindCollection(h, Kind::PublishedAPI, st)) == nullptr) return st;
  if ((api = Find(api_handle, Kind::PublishedAPI, st)) == nullptr) return st;
  if (!c->spec->references) {
    return Fail(IVICONFIG_ERROR_NOT_SUPPORTED,
                "The store's published APIs are created and destroyed; references to them belong in a software "
                "module's collection.");
  }
  if (api->store != c->store) return Fail(IVICONFIG_ERROR_INVALID_HANDLE, "The published API is of another store.");
  return VI_SUCCESS;
}

}  // namespace

// --- the operations -----------------------------------------------------------

const std::string& LastErrorText() { return t_last_error; }
void ClearLastError() { t_last_error.clear(); }
void RestoreLastError(std::string text) { t_last_error = std::move(text); }

ViStatus CopyText(const std::string& text, ViInt32 size, ViChar* out) {
  ViInt32 needed = static_cast<ViInt32>(text.size() + 1);
  if (size == 0) return needed;
  if (out == nullptr) return Fail(kNullPointer, "Null buffer passed to the configuration server.");
  if (size > 0 && size < needed) {
    std::memcpy(out, text.data(), static_cast<std::size_t>(size - 1));
    out[size - 1] = '\0';
    return needed;
  }
  std::memcpy(out, text.c_str(), text.size() + 1);
  return VI_SUCCESS;
}

ViStatus Initialize(IviConfigHandle* out) {
  if (out == nullptr) return Fail(kNullPointer, "Null handle pointer.");
  return Locked([&] {
    *out = Add({Kind::Store, 0, {}});
    g_stores[KeyOf(*out)].doc = NoStore();
    return VI_SUCCESS;
  });
}

ViStatus Dispose(IviConfigHandle h) {
  return Locked([&]() -> ViStatus {
    auto it = g_objects.find(KeyOf(h));
    if (it == g_objects.end()) {
      return Fail(IVICONFIG_ERROR_INVALID_HANDLE,
                  "Invalid configuration server handle " + std::to_string(KeyOf(h)) + ".");
    }
    if (it->second.kind == Kind::Store) {
      ForgetStore(it->first);
    } else {
      g_objects.erase(it);
    }
    return VI_SUCCESS;
  });
}

ViStatus Close(IviConfigHandle store) {
  return Locked([&]() -> ViStatus {
    ViStatus st;
    if (Find(store, Kind::Store, st) == nullptr) return st;
    ForgetStore(KeyOf(store));
    return VI_SUCCESS;
  });
}

ViStatus Deserialize(IviConfigHandle h, ViConstString location) {
  return Locked([&]() -> ViStatus {
    ViStatus st;
    Object* o = Find(h, Kind::Store, st);
    if (o == nullptr) return st;
    StoreState& s = StateOf(*o);
    if (s.deserialized || s.editable) {
      return Fail(IVICONFIG_ERROR_ALREADY_DESERIALIZED,
                  "This configuration store handle already holds a store (" + s.doc->path() + ").");
    }
    if (auto error = Store::load_shared(location != nullptr ? location : "", s.doc)) {
      s.doc = NoStore();
      return Fail(error->code, error->text);
    }
    s.deserialized = true;
    ++s.generation;
    return VI_SUCCESS;
  });
}

ViStatus Serialize(IviConfigHandle h, ViConstString location) {
  if (location == nullptr) return Fail(kNullPointer, "Null location.");
  return Locked([&]() -> ViStatus {
    ViStatus st;
    Object* o = Find(h, Kind::Store, st);
    if (o == nullptr) return st;
    MakeEditable(o->store);
    std::string text = StateOf(*o).doc->serialize();
    FileLock lock;
    if (auto why = FileLock::acquire(location, FileLock::Mode::exclusive, kWriteLockTimeoutMs, lock))
      return Fail(IVICONFIG_ERROR_SERIALIZE_FAILED,
                  "Cannot write the configuration store " + std::string(location) + ": " + *why + ".");
    if (auto why = ReplaceFileContent(location, text)) return Fail(IVICONFIG_ERROR_SERIALIZE_FAILED, *why);
    return VI_SUCCESS;
  });
}

ViStatus FindSession(IviConfigHandle h, ViConstString name, Kind wanted, IviConfigHandle* out) {
  if (out == nullptr || name == nullptr) return Fail(kNullPointer, "Null argument.");
  return Locked([&]() -> ViStatus {
    ViStatus st;
    Object* o = Find(h, Kind::Store, st);
    if (o == nullptr) return st;
    const Store& store = *StateOf(*o).doc;
    pugi::xml_node session;
    if (pugi::xml_node logical = store.find_item("LogicalNames", "IviLogicalName", name)) {
      Object as_logical{Kind::LogicalName, o->store, logical};
      if (auto f = ReadReference(as_logical, Reference(ReferenceId::LogicalNameSession), session)) return Fail(*f);
    } else {
      session = store.find_item("DriverSessions", "IviDriverSession", name);
      if (!session) session = store.find_item("Sessions", "IviSession", name);
    }
    if (!session) {
      return Fail(IVICONFIG_ERROR_SESSION_NOT_FOUND,
                  "No logical name or session '" + std::string(name) + "' in " + store.path() + ".");
    }
    Kind kind = KindOfElement(session.name(), Kind::Session);
    if (!IsA(kind, wanted)) {
      return Fail(IVICONFIG_ERROR_SESSION_NOT_FOUND,
                  "'" + std::string(name) + "' names a session that is not a driver session in " + store.path() + ".");
    }
    *out = Add({kind, o->store, session});
    return VI_SUCCESS;
  });
}

ViStatus GetString(IviConfigHandle h, Kind kind, ViInt32 id, ViInt32 size, ViChar* out) {
  return Locked([&]() -> ViStatus {
    Value v;
    ViStatus st = Get(h, kind, id, ValueType::String, v);
    return st < 0 ? st : CopyText(std::get<std::string>(v), size, out);
  });
}

ViStatus GetInt32(IviConfigHandle h, Kind kind, ViInt32 id, ViInt32* out) {
  return GetScalar<ViInt32>(h, kind, id, ValueType::Int32, out);
}

ViStatus GetBoolean(IviConfigHandle h, Kind kind, ViInt32 id, ViBoolean* out) {
  return GetScalar<bool>(h, kind, id, ValueType::Boolean, out);
}

ViStatus GetReal64(IviConfigHandle h, Kind kind, ViInt32 id, ViReal64* out) {
  return GetScalar<ViReal64>(h, kind, id, ValueType::Real64, out);
}

ViStatus SetString(IviConfigHandle h, Kind kind, ViInt32 id, ViConstString value) {
  if (value == nullptr) return Fail(kNullPointer, "Null value.");
  return Locked([&] { return Set(h, kind, id, ValueType::String, std::string(value)); });
}

ViStatus SetInt32(IviConfigHandle h, Kind kind, ViInt32 id, ViInt32 value) {
  return Locked([&] { return Set(h, kind, id, ValueType::Int32, value); });
}

ViStatus SetBoolean(IviConfigHandle h, Kind kind, ViInt32 id, ViBoolean value) {
  return Locked([&] { return Set(h, kind, id, ValueType::Boolean, value != VI_FALSE); });
}

ViStatus SetReal64(IviConfigHandle h, Kind kind, ViInt32 id, ViReal64 value) {
  return Locked([&] { return Set(h, kind, id, ValueType::Real64, value); });
}

ViStatus OpenCollection(IviConfigHandle owner, CollectionId id, IviConfigHandle* out) {
  if (out == nullptr) return Fail(kNullPointer, "Null handle pointer.");
  return Locked([&]() -> ViStatus {
    const CollectionSpec& spec = Collection(id);
    ViStatus st;
    Object* o = Find(owner, spec.owner, st);
    if (o == nullptr) return st;
    if (id == CollectionId::StructureDataComponents && std::strcmp(o->node.name(), "IviStructure") != 0) {
      return Fail(IVICONFIG_ERROR_INVALID_HANDLE, "The data component '" + ItemName(o->node) + "' is not a structure.");
    }
    pugi::xml_node node = o->kind == Kind::Store ? StateOf(*o).doc->root() : o->node;
    *out = Add({Kind::Collection, o->store, node, &spec});
    return VI_SUCCESS;
  });
}

ViStatus Count(IviConfigHandle h, Kind item, ViInt32* out) {
  if (out == nullptr) return Fail(kNullPointer, "Null count pointer.");
  return Locked([&]() -> ViStatus {
    ViStatus st;
    Object* c = FindCollection(h, item, st);
    if (c == nullptr) return st;
    if (auto f = ListItems(*c)) return Fail(*f);
    *out = static_cast<ViInt32>(c->items.size());
    return VI_SUCCESS;
  });
}

ViStatus ItemByIndex(IviConfigHandle h, Kind item, ViInt32 index, IviConfigHandle* out) {
  if (out == nullptr) return Fail(kNullPointer, "Null handle pointer.");
  return Locked([&]() -> ViStatus {
    ViStatus st;
    Object* c = FindCollection(h, item, st);
    if (c == nullptr) return st;
    if (auto f = ListItems(*c)) return Fail(*f);
    if (index < 1 || static_cast<std::size_t>(index) > c->items.size()) {
      return Fail(IVICONFIG_ERROR_NOT_EXIST, "No " + std::string(KindName(item)) + " at index " +
                                                 std::to_string(index) + " (the collection holds " +
                                                 std::to_string(c->items.size()) + ").");
    }
    *out = AddItem(*c, item, c->items[static_cast<std::size_t>(index - 1)]);
    return VI_SUCCESS;
  });
}

ViStatus ItemByName(IviConfigHandle h, Kind item, ViConstString name, IviConfigHandle* out) {
  if (out == nullptr || name == nullptr) return Fail(kNullPointer, "Null argument.");
  return Locked([&]() -> ViStatus {
    ViStatus st;
    Object* c = FindCollection(h, item, st);
    if (c == nullptr) return st;
    if (auto f = ListItems(*c)) return Fail(*f);
    pugi::xml_node n = Store::find_named(c->items, name);
    if (!n) {
      return Fail(IVICONFIG_ERROR_NOT_EXIST,
                  "No " + std::string(KindName(item)) + " named '" + name + "' in " + StateOf(*c).doc->path() + ".");
    }
    *out = AddItem(*c, item, n);
    return VI_SUCCESS;
  });
}

ViStatus Create(IviConfigHandle h, Kind item, const NewItem& what, IviConfigHandle* out) {
  if (out == nullptr || what.name == nullptr) return Fail(kNullPointer, "Null argument.");
  return Locked([&]() -> ViStatus {
    ViStatus st;
    Object* c = FindCollection(h, item, st);
    if (c == nullptr) return st;
    if (c->spec->references) {
      return Fail(IVICONFIG_ERROR_NOT_SUPPORTED,
                  "Published APIs are created in the store's collection; a software module's collection takes "
                  "references to them (IviConfig_AddPublishedAPIReference).");
    }
    const char* element = c->spec->places.front().element;
    if (element == nullptr) {
      bool valued = what.data_type >= IVICONFIG_VAL_TYPE_BOOLEAN && what.data_type <= IVICONFIG_VAL_TYPE_STRING;
      element = what.value_type_only && !valued ? nullptr : DataComponentElement(what.data_type);
      if (element == nullptr) {
        return Fail(IVICONFIG_ERROR_INVALID_DATA_COMPONENT, "Data component type " + std::to_string(what.data_type) +
                                                                " is not one of 1 (Boolean), "
                                                                "2 (Integer), 3 (Real) and 4 (String).");
      }
    }
    Object* api = nullptr;
    if (what.data_type == ZEVRA_IVICONFIG_VAL_TYPE_API_REFERENCE) {
      api = Find(what.published_api, Kind::PublishedAPI, st);
      if (api == nullptr) return st;
      if (api->store != c->store) return Fail(IVICONFIG_ERROR_INVALID_HANDLE, "The published API is of another store.");
    }
    if (auto f = ListItems(*c)) return Fail(*f);
    if (pugi::xml_node existing = Store::find_named(c->items, what.name);
        existing &&
        (item != Kind::PublishedAPI || Store::child_text(existing, "Type") == (what.api_type ? what.api_type : ""))) {
      return Fail(IVICONFIG_ERROR_ALREADY_EXIST,
                  "A " + std::string(KindName(item)) + " named '" + what.name + "' exists in this collection.");
    }
    MakeEditable(c->store);
    StoreState& s = StateOf(*c);
    if (!c->node) c->node = s.doc->root();  // a store made here
    pugi::xml_node node = Store::append_element(ChildElement(c->node, c->spec->places.front().container), element);
    if (NeedsId(element)) node.append_attribute("id") = UniqueId(*s.doc, element, what.name).c_str();
    SetChildText(node, "Name", what.name);
    if (what.map_to != nullptr) SetChildText(node, "MapTo", what.map_to);
    if (what.rc_name != nullptr) SetChildText(node, "RCName", what.rc_name);
    if (what.api_type != nullptr) SetChildText(node, "Type", what.api_type);
    if (item == Kind::VirtualRange) {
      for (const char* bound : {"Min", "Max", "StartingPhysicalIndex"}) SetChildText(node, bound, "0");
    }
    if (item == Kind::PhysicalRange) {
      for (const char* bound : {"Min", "Max"}) SetChildText(node, bound, "0");
    }
    if (std::optional<ValueType> t = DataValueType(node)) {
      SetChildText(node, "Value", *t == ValueType::String ? "" : "0");
    }
    if (what.data_type == ZEVRA_IVICONFIG_VAL_TYPE_STRUCTURE) ChildElement(node, "DataComponents");
    if (api != nullptr) {
      Store::append_element(node, "IviPublishedAPIRef").append_attribute("idref") = IdOf(*s.doc, api->node).c_str();
    }
    ++s.generation;
    *out = AddItem(*c, item, node);
    return VI_SUCCESS;
  });
}

ViStatus Destroy(IviConfigHandle h, Kind item, IviConfigHandle target) {
  return Locked([&]() -> ViStatus {
    ViStatus st;
    Object* c = FindCollection(h, item, st);
    if (c == nullptr) return st;
    Object* t = Find(target, item, st);
    if (t == nullptr) return st;
    if (c->spec->references) {
      return Fail(IVICONFIG_ERROR_NOT_SUPPORTED,
                  "A software module's published APIs are removed with IviConfig_RemovePublishedAPIReference.");
    }
    if (auto f = ListItems(*c)) return Fail(*f);
    if (t->store != c->store || std::find(c->items.begin(), c->items.end(), t->node) == c->items.end()) {
      return Fail(IVICONFIG_ERROR_NOT_EXIST,
                  "The " + std::string(KindName(t->kind)) + " '" + ItemName(t->node) + "' is not in this collection.");
    }
    StoreState& s = StateOf(*c);
    if (std::string referrer = ReferrerOf(*s.doc, t->node); !referrer.empty()) {
      return Fail(IVICONFIG_ERROR_LOCAL_REFERENCE_EXIST, "The " + std::string(KindName(t->kind)) + " '" +
                                                             ItemName(t->node) + "' cannot be destroyed: " + referrer +
                                                             " refers to it.");
    }
    Key store = c->store;
    MakeEditable(store);
    pugi::xml_node node = t->node;
    ForgetHandlesWithin(store, node);
    Store::remove_element(node);
    ++s.generation;
    return VI_SUCCESS;
  });
}

ViStatus AddReference(IviConfigHandle h, IviConfigHandle api_handle) {
  return Locked([&]() -> ViStatus {
    Object *c = nullptr, *api = nullptr;
    if (ViStatus st = ModuleAPIs(h, api_handle, c, api); st < 0) return st;
    if (auto f = ListItems(*c)) return Fail(*f);
    if (std::find(c->items.begin(), c->items.end(), api->node) != c->items.end()) {
      return Fail(IVICONFIG_ERROR_ALREADY_EXIST, "The software module '" + ItemName(c->node) +
                                                     "' already refers to the published API '" + ItemName(api->node) +
                                                     "'.");
    }
    MakeEditable(c->store);
    StoreState& s = StateOf(*c);
    std::string id = IdOf(*s.doc, api->node);
    Store::append_element(ChildElement(c->node, "PublishedAPIs"), "IviPublishedAPIRef").append_attribute("idref") =
        id.c_str();
    ++s.generation;
    return VI_SUCCESS;
  });
}

ViStatus RemoveReference(IviConfigHandle h, IviConfigHandle api_handle) {
  return Locked([&]() -> ViStatus {
    Object *c = nullptr, *api = nullptr;
    if (ViStatus st = ModuleAPIs(h, api_handle, c, api); st < 0) return st;
    if (auto f = ListItems(*c)) return Fail(*f);
    if (std::find(c->items.begin(), c->items.end(), api->node) == c->items.end()) {
      return Fail(IVICONFIG_ERROR_NOT_EXIST, "The software module '" + ItemName(c->node) +
                                                 "' does not refer to the published API '" + ItemName(api->node) +
                                                 "'.");
    }
    MakeEditable(c->store);  // after which c and api name the copy's elements
    StoreState& s = StateOf(*c);
    const std::string id = api->node.attribute("id").value();
    for (pugi::xml_node ref : c->node.child("PublishedAPIs").children("IviPublishedAPIRef")) {
      if (id == ref.attribute("idref").value()) {
        Store::remove_element(ref);
        break;
      }
    }
    ++s.generation;
    return VI_SUCCESS;
  });
}

ViStatus GetReference(IviConfigHandle h, ReferenceId id, IviConfigHandle* out) {
  if (out == nullptr) return Fail(kNullPointer, "Null handle pointer.");
  return Locked([&]() -> ViStatus {
    *out = nullptr;
    const ReferenceSpec& spec = Reference(id);
    ViStatus st;
    Object* o = Find(h, spec.from, st);
    if (o == nullptr) return st;
    if (id == ReferenceId::APIReferencePublishedAPI && !IsAPIReference(*o)) {
      return Fail(IVICONFIG_ERROR_INVALID_HANDLE,
                  "The data component '" + ItemName(o->node) + "' is not an API reference.");
    }
    pugi::xml_node target;
    if (auto f = ReadReference(*o, spec, target)) return Fail(*f);
    if (target) *out = Add({KindOfElement(target.name(), spec.to), o->store, target});
    return VI_SUCCESS;
  });
}

ViStatus SetReference(IviConfigHandle h, ReferenceId id, IviConfigHandle target_handle) {
  return Locked([&]() -> ViStatus {
    const ReferenceSpec& spec = Reference(id);
    ViStatus st;
    Object* o = Find(h, spec.from, st);
    if (o == nullptr) return st;
    if (id == ReferenceId::APIReferencePublishedAPI && !IsAPIReference(*o)) {
      return Fail(IVICONFIG_ERROR_INVALID_HANDLE,
                  "The data component '" + ItemName(o->node) + "' is not an API reference.");
    }
    Object* target = nullptr;
    if (target_handle != nullptr || !spec.optional) {
      target = Find(target_handle, spec.to, st);
      if (target == nullptr) return st;
      if (target->store != o->store) return Fail(IVICONFIG_ERROR_INVALID_HANDLE, "The item is of another store.");
    }
    MakeEditable(o->store);
    StoreState& s = StateOf(*o);
    for (const Link& link : spec.links) {
      while (pugi::xml_node old = o->node.child(link.child)) Store::remove_element(old);
    }
    if (target != nullptr) {
      for (const Link& link : spec.links) {
        if (std::strcmp(link.target, target->node.name()) != 0) continue;
        std::string idref = IdOf(*s.doc, target->node);
        Store::append_element(o->node, link.child).append_attribute("idref") = idref.c_str();
        break;
      }
    }
    ++s.generation;
    return VI_SUCCESS;
  });
}

}  // namespace iviconfig::server
