// SPDX-License-Identifier: MIT
// The IviConfig_* C functions over Store. Handles name a store, an item in it
// or a collection of items; the table of handles and every call share one
// mutex (the server is used at session open, never on a hot path). Stores are
// only read here, and shared between handles while their file is unchanged.
#include <charconv>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <variant>
#include <vector>

#include "IviConfigServer.h"
#include "config_store.h"

namespace iviconfig {
namespace {

enum class Kind {
  Store,
  DriverSession,
  HardwareAsset,
  SoftwareModule,
  DataComponent,
  VirtualName,
  VirtualRange,
  PhysicalName,
  Collection,
};

const char* kind_name(Kind k) {
  switch (k) {
    case Kind::Store: return "configuration store";
    case Kind::DriverSession: return "driver session";
    case Kind::HardwareAsset: return "hardware asset";
    case Kind::SoftwareModule: return "software module";
    case Kind::DataComponent: return "data component";
    case Kind::VirtualName: return "virtual name";
    case Kind::VirtualRange: return "virtual range";
    case Kind::PhysicalName: return "physical name";
    case Kind::Collection: return "collection";
  }
  return "item";
}

struct Object {
  Kind kind;
  IviConfigHandle store_handle;  // the store this belongs to (itself for a store)
  std::shared_ptr<Store> store;
  pugi::xml_node node;
  Kind item_kind = Kind::Store;        // for collections
  std::vector<pugi::xml_node> items;   // for collections
};

struct Failure {
  ViStatus code;
  std::string text;
};

thread_local StoreError t_last_error;

std::mutex g_mutex;
std::map<IviConfigHandle, Object> g_objects;
IviConfigHandle g_next_handle = 1;

ViStatus fail(ViStatus code, std::string text) {
  t_last_error = {code, std::move(text)};
  return code;
}

IviConfigHandle add(Object object) {
  IviConfigHandle h = g_next_handle++;
  if (object.kind == Kind::Store) object.store_handle = h;
  g_objects.emplace(h, std::move(object));
  return h;
}

// Looks a handle up; a kind of Collection also checks the item kind.
Object* find(IviConfigHandle h, Kind kind, ViStatus& status, Kind item_kind = Kind::Store) {
  auto it = g_objects.find(h);
  if (it == g_objects.end() || it->second.kind != kind ||
      (kind == Kind::Collection && it->second.item_kind != item_kind)) {
    status = fail(IVICONFIG_ERROR_INVALID_HANDLE,
                  "Invalid configuration server handle " + std::to_string(h) + " (expected a " +
                      (kind == Kind::Collection ? std::string(kind_name(item_kind)) + " collection"
                                                : std::string(kind_name(kind))) + ").");
    return nullptr;
  }
  status = VI_SUCCESS;
  return &it->second;
}

IviConfigHandle add_item(const Object& parent, Kind kind, pugi::xml_node node) {
  return add({kind, parent.store_handle, parent.store, node, Kind::Store, {}});
}

IviConfigHandle add_collection(const Object& parent, Kind item_kind, std::vector<pugi::xml_node> items) {
  return add({Kind::Collection, parent.store_handle, parent.store, {}, item_kind, std::move(items)});
}

// What a handle holds before a store is read: one empty store for all, since
// stores are only read.
const std::shared_ptr<Store>& NoStore() {
  static const std::shared_ptr<Store> none = std::make_shared<Store>();
  return none;
}

template <typename Body>
ViStatus locked(Body&& body) noexcept {
  try {
    std::lock_guard lock(g_mutex);
    return body();
  } catch (...) {
    return fail(0xBFFA0056, "Out of memory in the configuration server.");
  }
}

// Copies text with the IVI buffer rules: size 0 gives the size needed; a short
// buffer gets a truncated, terminated text and the size needed as result.
ViStatus copy_text(const std::string& text, ViInt32 size, ViChar* out) {
  ViInt32 needed = static_cast<ViInt32>(text.size() + 1);
  if (size == 0) return needed;
  if (out == nullptr) return fail(IVICONFIG_ERROR_NULL_POINTER, "Null buffer passed to the configuration server.");
  if (size > 0 && size < needed) {
    std::memcpy(out, text.data(), static_cast<std::size_t>(size - 1));
    out[size - 1] = '\0';
    return needed;
  }
  std::memcpy(out, text.c_str(), text.size() + 1);
  return VI_SUCCESS;
}

// --- properties -------------------------------------------------------------

using Value = std::variant<std::string, ViInt32, ViReal64, bool>;

struct BoolElement {
  ViInt32 id;
  const char* element;
  bool fallback;
};
constexpr BoolElement kSessionFlags[] = {
    {IVICONFIG_VAL_DRIVER_SESSION_CACHE, "Cache", true},
    {IVICONFIG_VAL_DRIVER_SESSION_INTERCHANGE_CHECK, "InterchangeCheck", false},
    {IVICONFIG_VAL_DRIVER_SESSION_QUERY_INSTR_STATUS, "QueryInstrStatus", false},
    {IVICONFIG_VAL_DRIVER_SESSION_RANGE_CHECK, "RangeCheck", true},
    {IVICONFIG_VAL_DRIVER_SESSION_RECORD_COERCIONS, "RecordCoercions", false},
    {IVICONFIG_VAL_DRIVER_SESSION_SIMULATE, "Simulate", false},
};

std::optional<Failure> parse_bool(const Object& o, pugi::xml_node element, bool fallback, bool& out) {
  if (!element) {
    out = fallback;
    return std::nullopt;
  }
  std::string text = element.text().get();
  if (text == "1" || iequals(text, "true")) {
    out = true;
  } else if (text == "0" || iequals(text, "false")) {
    out = false;
  } else {
    return Failure{IVICONFIG_ERROR_CANNOT_READ_STORE,
                   "Bad boolean '" + text + "' in " + element.name() + " at " + o.store->where(element) + "."};
  }
  return std::nullopt;
}

template <typename T>
std::optional<Failure> parse_number(const Object& o, pugi::xml_node element, T& out) {
  std::string text = element.text().get();
  const char* first = text.data();
  const char* last = first + text.size();
  if (!text.empty() && text[0] == '+') ++first;
  auto [p, ec] = std::from_chars(first, last, out);
  if (text.empty() || ec != std::errc{} || p != last) {
    return Failure{IVICONFIG_ERROR_CANNOT_READ_STORE,
                   "Bad number '" + text + "' in " + element.name() + " at " + o.store->where(element) + "."};
  }
  return std::nullopt;
}

// The type name of a data component element.
std::string data_component_type(pugi::xml_node node) {
  std::string_view name = node.name();
  if (name.substr(0, 3) == "Ivi") name.remove_prefix(3);
  return std::string(name);
}

std::optional<Failure> read_property(const Object& o, ViInt32 id, Value& value) {
  pugi::xml_node n = o.node;
  auto text = [&](const char* child) { value = Store::child_text(n, child); };
  switch (o.kind) {
    case Kind::Store:
      if (id == IVICONFIG_VAL_CONFIG_STORE_NAME) return value = std::string("IviConfigStore"), std::nullopt;
      if (id == IVICONFIG_VAL_CONFIG_STORE_ACTUAL_LOCATION) return value = o.store->path(), std::nullopt;
      if (id == IVICONFIG_VAL_CONFIG_STORE_MASTER_LOCATION) return value = master_location(), std::nullopt;
      if (id == IVICONFIG_VAL_CONFIG_STORE_PROCESS_DEFAULT_LOCATION)
        return value = process_default_location(), std::nullopt;
      break;
    case Kind::DriverSession:
      if (id == IVICONFIG_VAL_NAME) return text("Name"), std::nullopt;
      if (id == IVICONFIG_VAL_DRIVER_SESSION_DRIVER_SETUP) return text("DriverSetup"), std::nullopt;
      for (const BoolElement& flag : kSessionFlags) {
        if (flag.id == id) {
          bool b = false;
          auto f = parse_bool(o, n.child(flag.element), flag.fallback, b);
          value = b;
          return f;
        }
      }
      break;
    case Kind::HardwareAsset:
      if (id == IVICONFIG_VAL_NAME) return text("Name"), std::nullopt;
      if (id == IVICONFIG_VAL_HARDWARE_ASSET_IO_RESOURCE_DESCRIPTOR)
        return text("IOResourceDescriptor"), std::nullopt;
      break;
    case Kind::SoftwareModule:
      if (id == IVICONFIG_VAL_NAME) return text("Name"), std::nullopt;
      if (id == IVICONFIG_VAL_SOFTWARE_MODULE_PREFIX) return text("Prefix"), std::nullopt;
      if (id == IVICONFIG_VAL_SOFTWARE_MODULE_MODULE_PATH) return text("ModulePath"), std::nullopt;
      break;
    case Kind::DataComponent: {
      if (id == IVICONFIG_VAL_NAME) return text("Name"), std::nullopt;
      std::string type = data_component_type(n);
      if (id == IVICONFIG_VAL_DATA_COMPONENT_TYPE) return value = type, std::nullopt;
      if (id != IVICONFIG_VAL_DATA_COMPONENT_VALUE) break;
      pugi::xml_node v = n.child("Value");
      if (type == "String") return text("Value"), std::nullopt;
      if (type == "Integer") {
        ViInt32 i = 0;
        auto f = parse_number(o, v, i);
        value = i;
        return f;
      }
      if (type == "Real") {
        ViReal64 r = 0;
        auto f = parse_number(o, v, r);
        value = r;
        return f;
      }
      if (type == "Boolean") {
        bool b = false;
        auto f = parse_bool(o, v, false, b);
        value = b;
        return f;
      }
      break;
    }
    case Kind::VirtualName:
      if (id == IVICONFIG_VAL_NAME) return text("Name"), std::nullopt;
      if (id == IVICONFIG_VAL_VIRTUAL_NAME_MAP_TO) return text("MapTo"), std::nullopt;
      break;
    case Kind::VirtualRange: {
      const char* element = id == IVICONFIG_VAL_VIRTUAL_RANGE_MIN   ? "Min"
                            : id == IVICONFIG_VAL_VIRTUAL_RANGE_MAX ? "Max"
                            : id == IVICONFIG_VAL_VIRTUAL_RANGE_STARTING_PHYSICAL_INDEX
                                ? "StartingPhysicalIndex"
                                : nullptr;
      if (element == nullptr) break;
      ViInt32 i = 0;
      auto f = parse_number(o, n.child(element), i);
      value = i;
      return f;
    }
    case Kind::PhysicalName:
      if (id == IVICONFIG_VAL_NAME) return text("Name"), std::nullopt;
      if (id == IVICONFIG_VAL_PHYSICAL_NAME_RC_NAME) return text("RCName"), std::nullopt;
      break;
    case Kind::Collection:
      break;
  }
  return Failure{IVICONFIG_ERROR_INVALID_PROPERTY,
                 "Property " + std::to_string(id) + " is not defined for this " + kind_name(o.kind) + "."};
}

template <typename T>
ViStatus get_typed(IviConfigHandle h, Kind kind, ViInt32 id, T& out) {
  ViStatus st;
  Object* o = find(h, kind, st);
  if (o == nullptr) return st;
  Value value;
  if (auto f = read_property(*o, id, value)) return fail(f->code, f->text);
  const T* typed = std::get_if<T>(&value);
  if (typed == nullptr) {
    return fail(IVICONFIG_ERROR_INVALID_PROPERTY, "Property " + std::to_string(id) + " of this " +
                                                      kind_name(kind) + " has another type.");
  }
  out = *typed;
  return VI_SUCCESS;
}

ViStatus get_string(IviConfigHandle h, Kind kind, ViInt32 id, ViInt32 size, ViChar* out) {
  std::string text;
  ViStatus st = get_typed(h, kind, id, text);
  return st < 0 ? st : copy_text(text, size, out);
}

ViStatus get_boolean(IviConfigHandle h, Kind kind, ViInt32 id, ViBoolean* out) {
  if (out == nullptr) return fail(IVICONFIG_ERROR_NULL_POINTER, "Null value pointer.");
  bool b = false;
  ViStatus st = get_typed(h, kind, id, b);
  if (st >= 0) *out = b ? VI_TRUE : VI_FALSE;
  return st;
}

template <typename T>
ViStatus get_number(IviConfigHandle h, Kind kind, ViInt32 id, T* out) {
  if (out == nullptr) return fail(IVICONFIG_ERROR_NULL_POINTER, "Null value pointer.");
  return get_typed(h, kind, id, *out);
}

// --- collections ------------------------------------------------------------

ViStatus make_collection(IviConfigHandle parent, Kind parent_kind, Kind item_kind,
                         const char* collection_name, const char* element, IviConfigHandle* out) {
  if (out == nullptr) return fail(IVICONFIG_ERROR_NULL_POINTER, "Null handle pointer.");
  ViStatus st;
  Object* o = find(parent, parent_kind, st);
  if (o == nullptr) return st;
  pugi::xml_node base = parent_kind == Kind::Store ? o->store->root() : o->node;
  *out = add_collection(*o, item_kind, Store::items(base, collection_name, element));
  return VI_SUCCESS;
}

ViStatus collection_count(IviConfigHandle h, Kind item_kind, ViInt32* count) {
  if (count == nullptr) return fail(IVICONFIG_ERROR_NULL_POINTER, "Null count pointer.");
  ViStatus st;
  Object* o = find(h, Kind::Collection, st, item_kind);
  if (o == nullptr) return st;
  *count = static_cast<ViInt32>(o->items.size());
  return VI_SUCCESS;
}

ViStatus collection_item(IviConfigHandle h, Kind item_kind, ViInt32 index, IviConfigHandle* out) {
  if (out == nullptr) return fail(IVICONFIG_ERROR_NULL_POINTER, "Null handle pointer.");
  ViStatus st;
  Object* o = find(h, Kind::Collection, st, item_kind);
  if (o == nullptr) return st;
  if (index < 1 || static_cast<std::size_t>(index) > o->items.size()) {
    return fail(IVICONFIG_ERROR_NOT_EXIST, "No " + std::string(kind_name(item_kind)) + " at index " +
                                               std::to_string(index) + " (the collection holds " +
                                               std::to_string(o->items.size()) + ").");
  }
  *out = add_item(*o, item_kind, o->items[static_cast<std::size_t>(index - 1)]);
  return VI_SUCCESS;
}

ViStatus collection_item_by_name(IviConfigHandle h, Kind item_kind, ViConstString name,
                                 IviConfigHandle* out) {
  if (out == nullptr || name == nullptr) return fail(IVICONFIG_ERROR_NULL_POINTER, "Null argument.");
  ViStatus st;
  Object* o = find(h, Kind::Collection, st, item_kind);
  if (o == nullptr) return st;
  pugi::xml_node n = Store::find_named(o->items, name);
  if (!n) {
    return fail(IVICONFIG_ERROR_NOT_EXIST, "No " + std::string(kind_name(item_kind)) + " named '" +
                                               name + "' in " + o->store->path() + ".");
  }
  *out = add_item(*o, item_kind, n);
  return VI_SUCCESS;
}

// Follows the idref of `child` under `item` to an element of type `element`.
ViStatus follow_reference(IviConfigHandle h, const char* child, const char* element, Kind kind,
                          bool optional, IviConfigHandle* out) {
  if (out == nullptr) return fail(IVICONFIG_ERROR_NULL_POINTER, "Null handle pointer.");
  *out = 0;
  ViStatus st;
  Object* o = find(h, Kind::DriverSession, st);
  if (o == nullptr) return st;
  pugi::xml_node ref = o->node.child(child);
  std::string session = Store::child_text(o->node, "Name");
  if (!ref) {
    if (optional) return VI_SUCCESS;
    return fail(IVICONFIG_ERROR_NOT_EXIST, "The driver session '" + session + "' has no " + child +
                                               " element (" + o->store->where(o->node) + ").");
  }
  std::string idref = ref.attribute("idref").value();
  pugi::xml_node target = o->store->find_by_id(element, idref);
  if (!target) {
    return fail(IVICONFIG_ERROR_CANNOT_READ_STORE, "The driver session '" + session + "' refers to " +
                                                       element + " '" + idref + "', which is not in the store (" +
                                                       o->store->where(ref) + ").");
  }
  *out = add_item(*o, kind, target);
  return VI_SUCCESS;
}

}  // namespace
}  // namespace iviconfig

using namespace iviconfig;

extern "C" {

ViStatus IviConfig_Initialize(IviConfigHandle* Handle) {
  if (Handle == nullptr) return fail(IVICONFIG_ERROR_NULL_POINTER, "Null handle pointer.");
  return locked([&] {
    *Handle = add({Kind::Store, 0, NoStore(), {}, Kind::Store, {}});
    return VI_SUCCESS;
  });
}

ViStatus IviConfig_Close(IviConfigHandle Handle) {
  return locked([&]() -> ViStatus {
    ViStatus st;
    if (find(Handle, Kind::Store, st) == nullptr) return st;
    std::erase_if(g_objects, [&](const auto& entry) { return entry.second.store_handle == Handle; });
    return VI_SUCCESS;
  });
}

ViStatus IviConfig_Deserialize(IviConfigHandle Handle, ViConstString StoreLocation) {
  return locked([&]() -> ViStatus {
    ViStatus st;
    Object* o = find(Handle, Kind::Store, st);
    if (o == nullptr) return st;
    // Read only here, so every handle on an unchanged file shares one parse.
    if (auto error = Store::load_shared(StoreLocation != nullptr ? StoreLocation : "", o->store)) {
      o->store = NoStore();  // a failed read leaves the handle with no store
      return fail(error->code, error->text);
    }
    return VI_SUCCESS;
  });
}

ViStatus IviConfig_DisposeHandle(IviConfigHandle Handle) {
  return locked([&]() -> ViStatus {
    auto it = g_objects.find(Handle);
    if (it == g_objects.end())
      return fail(IVICONFIG_ERROR_INVALID_HANDLE, "Invalid configuration server handle " + std::to_string(Handle) + ".");
    if (it->second.kind == Kind::Store) {
      std::erase_if(g_objects, [&](const auto& entry) { return entry.second.store_handle == Handle; });
    } else {
      g_objects.erase(it);
    }
    return VI_SUCCESS;
  });
}

ViStatus IviConfig_GetError(ViStatus* ErrorCode, ViInt32 BufferSize, ViChar Description[]) {
  if (ErrorCode != nullptr) *ErrorCode = t_last_error.code;
  return copy_text(t_last_error.text, BufferSize, Description);
}

ViStatus IviConfig_ClearError(void) {
  t_last_error = {};
  return VI_SUCCESS;
}

ViStatus IviConfig_GetConfigStorePropertyViString(IviConfigHandle Handle, ViInt32 PropertyID,
                                                  ViInt32 BufferSize, ViChar Value[]) {
  return locked([&] { return get_string(Handle, Kind::Store, PropertyID, BufferSize, Value); });
}

ViStatus IviConfig_GetDriverSession(IviConfigHandle Handle, ViConstString Name, IviConfigHandle* Session) {
  if (Session == nullptr || Name == nullptr) return fail(IVICONFIG_ERROR_NULL_POINTER, "Null argument.");
  return locked([&]() -> ViStatus {
    ViStatus st;
    Object* o = find(Handle, Kind::Store, st);
    if (o == nullptr) return st;
    const Store& store = *o->store;
    pugi::xml_node logical = store.find_item("LogicalNames", "IviLogicalName", Name);
    pugi::xml_node session;
    if (logical) {
      std::string idref = logical.child("IviDriverSession").attribute("idref").value();
      session = store.find_by_id("IviDriverSession", idref);
      if (!session) {
        return fail(IVICONFIG_ERROR_CANNOT_READ_STORE,
                    "The logical name '" + std::string(Name) + "' refers to driver session '" + idref +
                        "', which is not in the store (" + store.where(logical) + ").");
      }
    } else {
      session = store.find_item("DriverSessions", "IviDriverSession", Name);
    }
    if (!session) {
      return fail(IVICONFIG_ERROR_NOT_EXIST_SESSION,
                  "No logical name or driver session '" + std::string(Name) + "' in " + store.path() + ".");
    }
    *Session = add_item(*o, Kind::DriverSession, session);
    return VI_SUCCESS;
  });
}

ViStatus IviConfig_GetDriverSessionPropertyViBoolean(IviConfigHandle Session, ViInt32 PropertyID, ViBoolean* Value) {
  return locked([&] { return get_boolean(Session, Kind::DriverSession, PropertyID, Value); });
}

ViStatus IviConfig_GetDriverSessionPropertyViString(IviConfigHandle Session, ViInt32 PropertyID,
                                                    ViInt32 BufferSize, ViChar Value[]) {
  return locked([&] { return get_string(Session, Kind::DriverSession, PropertyID, BufferSize, Value); });
}

ViStatus IviConfig_GetSessionHardwareAssetReference(IviConfigHandle Session, IviConfigHandle* Asset) {
  return locked([&] {
    return follow_reference(Session, "IviHardwareAsset", "IviHardwareAsset", Kind::HardwareAsset, true, Asset);
  });
}

ViStatus IviConfig_GetSessionSoftwareModuleReference(IviConfigHandle Session, IviConfigHandle* Module) {
  return locked([&] {
    return follow_reference(Session, "IviSoftwareModuleRef", "IviSoftwareModule", Kind::SoftwareModule, false,
                            Module);
  });
}

ViStatus IviConfig_GetHardwareAssetPropertyViString(IviConfigHandle Asset, ViInt32 PropertyID, ViInt32 BufferSize,
                                                    ViChar Value[]) {
  return locked([&] { return get_string(Asset, Kind::HardwareAsset, PropertyID, BufferSize, Value); });
}

ViStatus IviConfig_GetConfigStoreSoftwareModuleCollection(IviConfigHandle Handle, IviConfigHandle* Collection) {
  return locked([&] {
    return make_collection(Handle, Kind::Store, Kind::SoftwareModule, "SoftwareModules", "IviSoftwareModule",
                           Collection);
  });
}

ViStatus IviConfig_GetSoftwareModuleItemByName(IviConfigHandle Collection, ViConstString Name,
                                               IviConfigHandle* Module) {
  return locked([&] { return collection_item_by_name(Collection, Kind::SoftwareModule, Name, Module); });
}

ViStatus IviConfig_GetSoftwareModulePropertyViString(IviConfigHandle Module, ViInt32 PropertyID, ViInt32 BufferSize,
                                                     ViChar Value[]) {
  return locked([&] { return get_string(Module, Kind::SoftwareModule, PropertyID, BufferSize, Value); });
}

ViStatus IviConfig_GetConfigComponentDataComponentCollection(IviConfigHandle Component,
                                                             IviConfigHandle* Collection) {
  return locked([&]() -> ViStatus {
    if (Collection == nullptr) return fail(IVICONFIG_ERROR_NULL_POINTER, "Null handle pointer.");
    auto it = g_objects.find(Component);
    if (it == g_objects.end() ||
        (it->second.kind != Kind::DriverSession && it->second.kind != Kind::SoftwareModule)) {
      return fail(IVICONFIG_ERROR_INVALID_HANDLE,
                  "Invalid configuration server handle " + std::to_string(Component) +
                      " (expected a driver session or software module).");
    }
    std::vector<pugi::xml_node> items;
    for (pugi::xml_node n : it->second.node.child("DataComponents").children()) {
      if (n.type() == pugi::node_element) items.push_back(n);
    }
    *Collection = add_collection(it->second, Kind::DataComponent, std::move(items));
    return VI_SUCCESS;
  });
}

ViStatus IviConfig_GetStructureDataComponentCollection(IviConfigHandle Structure, IviConfigHandle* Collection) {
  return locked([&]() -> ViStatus {
    if (Collection == nullptr) return fail(IVICONFIG_ERROR_NULL_POINTER, "Null handle pointer.");
    ViStatus st;
    Object* o = find(Structure, Kind::DataComponent, st);
    if (o == nullptr) return st;
    if (std::string_view(o->node.name()) != "IviStructure") {
      return fail(IVICONFIG_ERROR_INVALID_HANDLE, "The data component '" + Store::child_text(o->node, "Name") +
                                                       "' is not a structure.");
    }
    std::vector<pugi::xml_node> items;
    for (pugi::xml_node n : o->node.child("DataComponents").children()) {
      if (n.type() == pugi::node_element) items.push_back(n);
    }
    *Collection = add_collection(*o, Kind::DataComponent, std::move(items));
    return VI_SUCCESS;
  });
}

ViStatus IviConfig_GetDataComponentCount(IviConfigHandle Collection, ViInt32* Count) {
  return locked([&] { return collection_count(Collection, Kind::DataComponent, Count); });
}

ViStatus IviConfig_GetDataComponentItem(IviConfigHandle Collection, ViInt32 Index, IviConfigHandle* Item) {
  return locked([&] { return collection_item(Collection, Kind::DataComponent, Index, Item); });
}

ViStatus IviConfig_GetDataComponentItemByName(IviConfigHandle Collection, ViConstString Name,
                                              IviConfigHandle* Item) {
  return locked([&] { return collection_item_by_name(Collection, Kind::DataComponent, Name, Item); });
}

ViStatus IviConfig_GetDataComponentPropertyViString(IviConfigHandle Item, ViInt32 PropertyID, ViInt32 BufferSize,
                                                    ViChar Value[]) {
  return locked([&] { return get_string(Item, Kind::DataComponent, PropertyID, BufferSize, Value); });
}

ViStatus IviConfig_GetDataComponentPropertyViInt32(IviConfigHandle Item, ViInt32 PropertyID, ViInt32* Value) {
  return locked([&] { return get_number(Item, Kind::DataComponent, PropertyID, Value); });
}

ViStatus IviConfig_GetDataComponentPropertyViReal64(IviConfigHandle Item, ViInt32 PropertyID, ViReal64* Value) {
  return locked([&] { return get_number(Item, Kind::DataComponent, PropertyID, Value); });
}

ViStatus IviConfig_GetDataComponentPropertyViBoolean(IviConfigHandle Item, ViInt32 PropertyID, ViBoolean* Value) {
  return locked([&] { return get_boolean(Item, Kind::DataComponent, PropertyID, Value); });
}

ViStatus IviConfig_GetSessionVirtualNameCollection(IviConfigHandle Session, IviConfigHandle* Collection) {
  return locked([&] {
    return make_collection(Session, Kind::DriverSession, Kind::VirtualName, "VirtualNames", "IviVirtualName",
                           Collection);
  });
}

ViStatus IviConfig_GetVirtualNameCount(IviConfigHandle Collection, ViInt32* Count) {
  return locked([&] { return collection_count(Collection, Kind::VirtualName, Count); });
}

ViStatus IviConfig_GetVirtualNameItem(IviConfigHandle Collection, ViInt32 Index, IviConfigHandle* Item) {
  return locked([&] { return collection_item(Collection, Kind::VirtualName, Index, Item); });
}

ViStatus IviConfig_GetVirtualNamePropertyViString(IviConfigHandle Item, ViInt32 PropertyID, ViInt32 BufferSize,
                                                  ViChar Value[]) {
  return locked([&] { return get_string(Item, Kind::VirtualName, PropertyID, BufferSize, Value); });
}

ViStatus IviConfig_GetVirtualNameVirtualRangeCollection(IviConfigHandle Item, IviConfigHandle* Collection) {
  return locked([&] {
    return make_collection(Item, Kind::VirtualName, Kind::VirtualRange, "VirtualRanges", "IviVirtualRange",
                           Collection);
  });
}

ViStatus IviConfig_GetVirtualRangeCount(IviConfigHandle Collection, ViInt32* Count) {
  return locked([&] { return collection_count(Collection, Kind::VirtualRange, Count); });
}

ViStatus IviConfig_GetVirtualRangeItem(IviConfigHandle Collection, ViInt32 Index, IviConfigHandle* Item) {
  return locked([&] { return collection_item(Collection, Kind::VirtualRange, Index, Item); });
}

ViStatus IviConfig_GetVirtualRangePropertyViInt32(IviConfigHandle Item, ViInt32 PropertyID, ViInt32* Value) {
  return locked([&] { return get_number(Item, Kind::VirtualRange, PropertyID, Value); });
}

ViStatus IviConfig_GetSoftwareModulePhysicalNameCollection(IviConfigHandle Module, IviConfigHandle* Collection) {
  return locked([&] {
    return make_collection(Module, Kind::SoftwareModule, Kind::PhysicalName, "PhysicalNames", "IviPhysicalName",
                           Collection);
  });
}

ViStatus IviConfig_GetPhysicalNameCount(IviConfigHandle Collection, ViInt32* Count) {
  return locked([&] { return collection_count(Collection, Kind::PhysicalName, Count); });
}

ViStatus IviConfig_GetPhysicalNameItem(IviConfigHandle Collection, ViInt32 Index, IviConfigHandle* Item) {
  return locked([&] { return collection_item(Collection, Kind::PhysicalName, Index, Item); });
}

ViStatus IviConfig_GetPhysicalNamePropertyViString(IviConfigHandle Item, ViInt32 PropertyID, ViInt32 BufferSize,
                                                   ViChar Value[]) {
  return locked([&] { return get_string(Item, Kind::PhysicalName, PropertyID, BufferSize, Value); });
}

}  // extern "C"
