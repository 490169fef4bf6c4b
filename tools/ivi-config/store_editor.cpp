// SPDX-License-Identifier: MIT
#include "store_editor.h"

#include <charconv>
#include <sstream>

namespace iviconfig {
namespace {

constexpr const char* kModuleName = "ZEVRA";

pugi::xml_node Named(Store& store, const char* collection, const char* element, const std::string& name) {
  return Store::find_named(Store::items(store.root(), collection, element), name);
}

void SetChild(pugi::xml_node node, const char* child, const std::string& text) {
  pugi::xml_node c = node.child(child);
  if (!c) c = Store::append_element(node, child);
  c.text().set(text.c_str());
}

pugi::xml_node NewItem(Store& store, const char* collection, const char* element, const std::string& name) {
  pugi::xml_node item = Store::append_element(store.collection(collection, true), element);
  item.append_attribute("id") = name.c_str();
  SetChild(item, "Name", name);
  return item;
}

pugi::xml_node ChildCollection(pugi::xml_node parent, const char* name) {
  pugi::xml_node c = parent.child(name);
  return c ? c : Store::append_element(parent, name);
}

// The "Configurable Initial Settings" structure of a session or module.
pugi::xml_node InitialSettings(pugi::xml_node owner, bool create) {
  pugi::xml_node components = owner.child("DataComponents");
  for (pugi::xml_node s : components.children("IviStructure")) {
    if (Store::child_text(s, "Name") == "Configurable Initial Settings") return s;
  }
  if (!create) return {};
  pugi::xml_node s = Store::append_element(ChildCollection(owner, "DataComponents"), "IviStructure");
  SetChild(s, "Name", "Configurable Initial Settings");
  s.append_child("DataComponents");
  return s;
}

bool IsInteger(const std::string& text) {
  long long v = 0;
  const char* first = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
  auto [p, ec] = std::from_chars(first, text.data() + text.size(), v);
  return !text.empty() && ec == std::errc{} && p == text.data() + text.size() && v >= INT32_MIN && v <= INT32_MAX;
}

bool IsReal(const std::string& text) {
  double v = 0;
  const char* first = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
  auto [p, ec] = std::from_chars(first, text.data() + text.size(), v);
  return !text.empty() && ec == std::errc{} && p == text.data() + text.size();
}

bool IsBoolean(const std::string& text) {
  return text == "0" || text == "1" || iequals(text, "true") || iequals(text, "false");
}

}  // namespace

std::string RegisterDriver(Store& store, const std::string& module_path) {
  pugi::xml_node module = Named(store, "SoftwareModules", "IviSoftwareModule", kModuleName);
  if (!module) module = NewItem(store, "SoftwareModules", "IviSoftwareModule", kModuleName);
  SetChild(module, "Prefix", kModuleName);
  SetChild(module, "ModulePath", module_path);
  pugi::xml_node names = ChildCollection(module, "PhysicalNames");
  for (const char* channel : {"CH1", "CH2", "CH3", "CH4"}) {
    if (Store::find_named(Store::items(module, "PhysicalNames", "IviPhysicalName"), channel)) continue;
    pugi::xml_node n = Store::append_element(names, "IviPhysicalName");
    SetChild(n, "Name", channel);
    SetChild(n, "RCName", "OutputChannel");
  }
  ChildCollection(module, "DataComponents");
  return {};
}

bool IsRegistered(Store& store) {
  return static_cast<bool>(Named(store, "SoftwareModules", "IviSoftwareModule", kModuleName));
}

std::string UnregisterDriver(Store& store) {
  pugi::xml_node module = Named(store, "SoftwareModules", "IviSoftwareModule", kModuleName);
  if (!module) return "the ZEVRA driver is not registered";
  Store::remove_element(module);
  return {};
}

bool IsEmpty(const Store& store) {
  for (const char* collection : {"SoftwareModules", "HardwareAssets", "DriverSessions", "LogicalNames"}) {
    if (store.root().child(collection).find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; }))
      return false;
  }
  return true;
}

std::string AddHardwareAsset(Store& store, const std::string& name, const std::string& descriptor) {
  if (Named(store, "HardwareAssets", "IviHardwareAsset", name)) return "hardware asset '" + name + "' exists";
  SetChild(NewItem(store, "HardwareAssets", "IviHardwareAsset", name), "IOResourceDescriptor", descriptor);
  return {};
}

std::string AddDriverSession(Store& store, const std::string& name, const std::string& asset,
                             const std::string& module, const SessionFlags& flags, const std::string& driver_setup) {
  if (Named(store, "DriverSessions", "IviDriverSession", name)) return "driver session '" + name + "' exists";
  pugi::xml_node m = Named(store, "SoftwareModules", "IviSoftwareModule", module);
  if (!m) return "no software module '" + module + "' (run register-driver first)";
  pugi::xml_node a;
  if (!asset.empty() && !(a = Named(store, "HardwareAssets", "IviHardwareAsset", asset)))
    return "no hardware asset '" + asset + "'";
  pugi::xml_node session = NewItem(store, "DriverSessions", "IviDriverSession", name);
  if (a) session.append_child("IviHardwareAsset").append_attribute("idref") = a.attribute("id").value();
  session.append_child("IviSoftwareModuleRef").append_attribute("idref") = m.attribute("id").value();
  const std::pair<const char*, int> values[] = {
      {"Cache", flags.cache},           {"InterchangeCheck", flags.interchange_check},
      {"QueryInstrStatus", flags.query_instr_status}, {"RangeCheck", flags.range_check},
      {"RecordCoercions", flags.record_coercions},    {"Simulate", flags.simulate},
  };
  for (const auto& [element, value] : values) {
    if (value >= 0) SetChild(session, element, value ? "1" : "0");
  }
  if (!driver_setup.empty()) SetChild(session, "DriverSetup", driver_setup);
  return {};
}

std::string AddLogicalName(Store& store, const std::string& name, const std::string& session) {
  if (Named(store, "LogicalNames", "IviLogicalName", name)) return "logical name '" + name + "' exists";
  pugi::xml_node s = Named(store, "DriverSessions", "IviDriverSession", session);
  if (!s) return "no driver session '" + session + "'";
  pugi::xml_node logical = Store::append_element(store.collection("LogicalNames", true), "IviLogicalName");
  SetChild(logical, "Name", name);
  logical.append_child("IviDriverSession").append_attribute("idref") = s.attribute("id").value();
  return {};
}

std::string AddVirtualName(Store& store, const std::string& session, const std::string& name,
                           const std::string& map_to, const std::vector<int>& range) {
  pugi::xml_node s = Named(store, "DriverSessions", "IviDriverSession", session);
  if (!s) return "no driver session '" + session + "'";
  if (Store::find_named(Store::items(s, "VirtualNames", "IviVirtualName"), name))
    return "virtual name '" + name + "' exists in '" + session + "'";
  if (!range.empty() && (range.size() != 3 || range[0] > range[1])) return "a range is MIN MAX START with MIN <= MAX";
  pugi::xml_node v = Store::append_element(ChildCollection(s, "VirtualNames"), "IviVirtualName");
  SetChild(v, "Name", name);
  SetChild(v, "MapTo", map_to);
  if (!range.empty()) {
    pugi::xml_node r = v.append_child("VirtualRanges").append_child("IviVirtualRange");
    SetChild(r, "Min", std::to_string(range[0]));
    SetChild(r, "Max", std::to_string(range[1]));
    SetChild(r, "StartingPhysicalIndex", std::to_string(range[2]));
  }
  return {};
}

std::string AddInitialSetting(Store& store, const std::string& owner, const std::string& name,
                              const std::string& type, const std::string& value) {
  pugi::xml_node o = owner.empty() ? Named(store, "SoftwareModules", "IviSoftwareModule", kModuleName)
                                   : Named(store, "DriverSessions", "IviDriverSession", owner);
  if (!o) return owner.empty() ? "the ZEVRA module is not registered" : "no driver session '" + owner + "'";
  const char* element = iequals(type, "string")    ? "IviString"
                        : iequals(type, "integer") ? "IviInteger"
                        : iequals(type, "real")    ? "IviReal"
                        : iequals(type, "boolean") ? "IviBoolean"
                                                   : nullptr;
  if (element == nullptr) return "type must be string, integer, real or boolean";
  if ((iequals(type, "integer") && !IsInteger(value)) || (iequals(type, "real") && !IsReal(value)) ||
      (iequals(type, "boolean") && !IsBoolean(value)))
    return "'" + value + "' is not a valid " + type;
  pugi::xml_node items = InitialSettings(o, true).child("DataComponents");
  if (Store::find_named(Store::items(InitialSettings(o, true), "DataComponents", element), name))
    return "setting '" + name + "' exists";
  pugi::xml_node item = Store::append_element(items, element);
  SetChild(item, "Name", name);
  SetChild(item, "Value", value);
  return {};
}

std::string Remove(Store& store, const std::string& kind, const std::string& name, const std::string& owner) {
  pugi::xml_node node;
  if (kind == "asset") {
    node = Named(store, "HardwareAssets", "IviHardwareAsset", name);
  } else if (kind == "session") {
    node = Named(store, "DriverSessions", "IviDriverSession", name);
  } else if (kind == "logical-name") {
    node = Named(store, "LogicalNames", "IviLogicalName", name);
  } else if (kind == "virtual-name") {
    pugi::xml_node s = Named(store, "DriverSessions", "IviDriverSession", owner);
    node = Store::find_named(Store::items(s, "VirtualNames", "IviVirtualName"), name);
  } else if (kind == "setting") {
    pugi::xml_node o = owner.empty() ? Named(store, "SoftwareModules", "IviSoftwareModule", kModuleName)
                                     : Named(store, "DriverSessions", "IviDriverSession", owner);
    for (pugi::xml_node n : InitialSettings(o, false).child("DataComponents").children()) {
      if (n.type() == pugi::node_element && iequals(Store::child_text(n, "Name"), name)) node = n;
    }
  } else {
    return "unknown kind '" + kind + "'";
  }
  if (!node) return "no " + kind + " '" + name + "'";
  Store::remove_element(node);
  return {};
}

std::vector<std::string> Check(const Store& store) {
  std::vector<std::string> problems;
  auto problem = [&](pugi::xml_node n, const std::string& text) { problems.push_back(store.where(n) + ": " + text); };
  pugi::xml_node root = store.root();
  auto require = [&](pugi::xml_node n, const char* child) {
    if (!n.child(child)) problem(n, std::string(n.name()) + " has no " + child + " element");
  };
  auto reference = [&](pugi::xml_node n, const char* child, const char* element, bool required) {
    pugi::xml_node ref = n.child(child);
    if (!ref) {
      if (required) problem(n, std::string(n.name()) + " has no " + child + " reference");
      return;
    }
    std::string idref = ref.attribute("idref").value();
    if (!store.find_by_id(element, idref)) problem(ref, std::string(child) + " idref '" + idref + "' refers to nothing");
  };
  for (pugi::xml_node m : root.child("SoftwareModules").children("IviSoftwareModule")) {
    require(m, "Name");
    for (pugi::xml_node p : m.child("PhysicalNames").children("IviPhysicalName")) require(p, "Name");
  }
  for (pugi::xml_node a : root.child("HardwareAssets").children("IviHardwareAsset")) {
    require(a, "Name");
    require(a, "IOResourceDescriptor");
  }
  for (pugi::xml_node s : root.child("DriverSessions").children("IviDriverSession")) {
    require(s, "Name");
    reference(s, "IviHardwareAsset", "IviHardwareAsset", false);
    reference(s, "IviSoftwareModuleRef", "IviSoftwareModule", true);
    for (const char* flag : {"Cache", "InterchangeCheck", "QueryInstrStatus", "RangeCheck", "RecordCoercions", "Simulate"}) {
      pugi::xml_node f = s.child(flag);
      if (f && !IsBoolean(f.text().get())) problem(f, std::string(flag) + " is not 0, 1, true or false");
    }
    for (pugi::xml_node v : s.child("VirtualNames").children("IviVirtualName")) {
      require(v, "Name");
      require(v, "MapTo");
      for (pugi::xml_node r : v.child("VirtualRanges").children("IviVirtualRange")) {
        for (const char* field : {"Min", "Max", "StartingPhysicalIndex"}) {
          if (!IsInteger(Store::child_text(r, field))) problem(r, std::string("IviVirtualRange ") + field + " is not an integer");
        }
      }
    }
  }
  for (pugi::xml_node l : root.child("LogicalNames").children("IviLogicalName")) {
    require(l, "Name");
    reference(l, "IviDriverSession", "IviDriverSession", true);
  }
  return problems;
}

std::string Describe(const Store& store) {
  std::ostringstream out;
  pugi::xml_node root = store.root();
  out << "Store: " << store.path() << "\n";
  for (pugi::xml_node m : root.child("SoftwareModules").children("IviSoftwareModule")) {
    out << "software module " << Store::child_text(m, "Name") << " (" << Store::child_text(m, "ModulePath") << "):";
    for (pugi::xml_node p : m.child("PhysicalNames").children("IviPhysicalName")) out << " " << Store::child_text(p, "Name");
    out << "\n";
  }
  for (pugi::xml_node a : root.child("HardwareAssets").children("IviHardwareAsset"))
    out << "hardware asset " << Store::child_text(a, "Name") << ": " << Store::child_text(a, "IOResourceDescriptor") << "\n";
  for (pugi::xml_node s : root.child("DriverSessions").children("IviDriverSession")) {
    out << "driver session " << Store::child_text(s, "Name") << ": asset "
        << s.child("IviHardwareAsset").attribute("idref").value() << ", module "
        << s.child("IviSoftwareModuleRef").attribute("idref").value();
    for (const char* flag : {"Cache", "InterchangeCheck", "QueryInstrStatus", "RangeCheck", "RecordCoercions", "Simulate"}) {
      if (s.child(flag)) out << ", " << flag << "=" << Store::child_text(s, flag);
    }
    if (s.child("DriverSetup")) out << ", DriverSetup=\"" << Store::child_text(s, "DriverSetup") << "\"";
    out << "\n";
    for (pugi::xml_node v : s.child("VirtualNames").children("IviVirtualName")) {
      out << "  virtual name " << Store::child_text(v, "Name") << " -> " << Store::child_text(v, "MapTo");
      for (pugi::xml_node r : v.child("VirtualRanges").children("IviVirtualRange"))
        out << " [" << Store::child_text(r, "Min") << ".." << Store::child_text(r, "Max") << " from "
            << Store::child_text(r, "StartingPhysicalIndex") << "]";
      out << "\n";
    }
    for (pugi::xml_node i : InitialSettings(s, false).child("DataComponents").children()) {
      if (i.type() != pugi::node_element) continue;
      out << "  setting " << Store::child_text(i, "Name") << " (" << std::string(i.name()).substr(3) << ") = "
          << Store::child_text(i, "Value") << "\n";
    }
  }
  for (pugi::xml_node l : root.child("LogicalNames").children("IviLogicalName"))
    out << "logical name " << Store::child_text(l, "Name") << " -> "
        << l.child("IviDriverSession").attribute("idref").value() << "\n";
  return out.str();
}

}  // namespace iviconfig
