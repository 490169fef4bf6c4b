// SPDX-License-Identifier: MIT
#include "config_model.h"

#include <cstring>
#include <iterator>

#include "IviConfigServer.h"

namespace iviconfig {

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::Store:
      return "configuration store";
    case Kind::LogicalName:
      return "logical name";
    case Kind::Session:
      return "session";
    case Kind::DriverSession:
      return "driver session";
    case Kind::HardwareAsset:
      return "hardware asset";
    case Kind::SoftwareModule:
      return "software module";
    case Kind::PublishedAPI:
      return "published API";
    case Kind::VirtualName:
      return "virtual name";
    case Kind::VirtualRange:
      return "virtual range";
    case Kind::PhysicalName:
      return "physical name";
    case Kind::PhysicalRange:
      return "physical range";
    case Kind::DataComponent:
      return "data component";
    case Kind::Collection:
      return "collection";
    case Kind::ConfigComponent:
      return "configuration component";
  }
  return "item";
}

bool IsA(Kind actual, Kind wanted) {
  if (actual == wanted) return true;
  if (wanted == Kind::Session) return actual == Kind::DriverSession;
  if (wanted == Kind::ConfigComponent) {
    return actual == Kind::HardwareAsset || actual == Kind::Session || actual == Kind::DriverSession ||
           actual == Kind::SoftwareModule;
  }
  return false;
}

const char* ValueTypeName(ValueType type) {
  switch (type) {
    case ValueType::String:
      return "ViString";
    case ValueType::Int32:
      return "ViInt32";
    case ValueType::Boolean:
      return "ViBoolean";
    case ValueType::Real64:
      return "ViReal64";
  }
  return "value";
}

namespace {

using enum ValueType;

// Computed properties have no element: the store's locations and versions, a
// session's software module name, a data component's type and value.
constexpr PropertySpec kProperties[] = {
    {Kind::Store, IVICONFIG_VAL_CONFIG_STORE_NAME, "Name", String, "IviConfigStore", true},
    {Kind::Store, IVICONFIG_VAL_CONFIG_STORE_DESCRIPTION, "Description", String, "", true},
    {Kind::Store, IVICONFIG_VAL_CONFIG_STORE_MASTER_LOCATION, nullptr, String, nullptr, false},
    {Kind::Store, IVICONFIG_VAL_CONFIG_STORE_ACTUAL_LOCATION, nullptr, String, nullptr, false},
    {Kind::Store, IVICONFIG_VAL_CONFIG_STORE_PROC_DEFAULT_LOCATION, nullptr, String, nullptr, true},
    {Kind::Store, IVICONFIG_VAL_CONFIG_STORE_REVISION, "Revision", String, "", true},
    {Kind::Store, IVICONFIG_VAL_CONFIG_STORE_VENDOR, "Vendor", String, "", true},
    // What the store file says; 0 when it does not.
    {Kind::Store, IVICONFIG_VAL_CONFIG_STORE_SPEC_MAJOR_VERSION, "MajorVersion", Int32, "0", false},
    {Kind::Store, IVICONFIG_VAL_CONFIG_STORE_SPEC_MINOR_VERSION, "MinorVersion", Int32, "0", false},

    {Kind::ConfigComponent, IVICONFIG_VAL_CONFIG_COMPONENT_NAME, "Name", String, "", true},
    {Kind::ConfigComponent, IVICONFIG_VAL_CONFIG_COMPONENT_DESCRIPTION, "Description", String, "", true},
    {Kind::LogicalName, IVICONFIG_VAL_LOGICAL_NAME_NAME, "Name", String, "", true},
    {Kind::LogicalName, IVICONFIG_VAL_LOGICAL_NAME_DESCRIPTION, "Description", String, "", true},

    {Kind::HardwareAsset, IVICONFIG_VAL_HARDWARE_ASSET_IO_DESCRIPTOR, "IOResourceDescriptor", String, "", true},

    {Kind::Session, IVICONFIG_VAL_SESSION_SOFTWARE_MODULE_NAME, nullptr, String, nullptr, false},
    {Kind::DriverSession, IVICONFIG_VAL_DRIVER_SESSION_CACHE, "Cache", Boolean, "1", true},
    {Kind::DriverSession, IVICONFIG_VAL_DRIVER_SESSION_INTERCHANGE_CHECK, "InterchangeCheck", Boolean, "0", true},
    {Kind::DriverSession, IVICONFIG_VAL_DRIVER_SESSION_QUERY_INSTR_STATUS, "QueryInstrStatus", Boolean, "0", true},
    {Kind::DriverSession, IVICONFIG_VAL_DRIVER_SESSION_RANGE_CHECK, "RangeCheck", Boolean, "1", true},
    {Kind::DriverSession, IVICONFIG_VAL_DRIVER_SESSION_RECORD_COERCIONS, "RecordCoercions", Boolean, "0", true},
    {Kind::DriverSession, IVICONFIG_VAL_DRIVER_SESSION_SIMULATE, "Simulate", Boolean, "0", true},
    {Kind::DriverSession, IVICONFIG_VAL_DRIVER_SESSION_DRIVER_SETUP, "DriverSetup", String, "", true},

    {Kind::SoftwareModule, IVICONFIG_VAL_SW_MODULE_PATH, "ModulePath", String, "", true},
    {Kind::SoftwareModule, IVICONFIG_VAL_SW_MODULE_PREFIX, "Prefix", String, "", true},
    {Kind::SoftwareModule, IVICONFIG_VAL_SW_MODULE_PROGID, "ProgID", String, "", true},
    {Kind::SoftwareModule, IVICONFIG_VAL_SW_MODULE_SUPPORTED_INSTR_MODELS, "SupportedInstrumentModels", String, "",
     true},
    {Kind::SoftwareModule, IVICONFIG_VAL_SW_MODULE_PATH_32, "ModulePath32", String, "", true},
    {Kind::SoftwareModule, IVICONFIG_VAL_SW_MODULE_PATH_64, "ModulePath64", String, "", true},
    {Kind::SoftwareModule, IVICONFIG_VAL_SW_MODULE_ASMBLY_QLFD_CLASS_NAME, "AssemblyQualifiedClassName", String, "",
     true},

    {Kind::PublishedAPI, IVICONFIG_VAL_PUBLISHED_API_NAME, "Name", String, "", true},
    {Kind::PublishedAPI, IVICONFIG_VAL_PUBLISHED_API_TYPE, "Type", String, "", true},
    {Kind::PublishedAPI, IVICONFIG_VAL_PUBLISHED_API_MAJOR_VERSION, "MajorVersion", Int32, "0", true},
    {Kind::PublishedAPI, IVICONFIG_VAL_PUBLISHED_API_MINOR_VERSION, "MinorVersion", Int32, "0", true},

    {Kind::VirtualName, IVICONFIG_VAL_VIRTUAL_NAME_NAME, "Name", String, "", true},
    {Kind::VirtualName, IVICONFIG_VAL_VIRTUAL_NAME_MAPTO, "MapTo", String, "", true},
    // A range without its bounds is a broken store, not a range from 0 to 0.
    {Kind::VirtualRange, IVICONFIG_VAL_VIRTUAL_RANGE_NAME, "Name", String, "", true},
    {Kind::VirtualRange, IVICONFIG_VAL_VIRTUAL_RANGE_MIN, "Min", Int32, nullptr, true},
    {Kind::VirtualRange, IVICONFIG_VAL_VIRTUAL_RANGE_MAX, "Max", Int32, nullptr, true},
    {Kind::VirtualRange, IVICONFIG_VAL_VIRTUAL_RANGE_START_PHYSICAL_INDEX, "StartingPhysicalIndex", Int32, nullptr,
     true},

    {Kind::PhysicalName, IVICONFIG_VAL_PHYSICAL_NAME_NAME, "Name", String, "", true},
    {Kind::PhysicalName, IVICONFIG_VAL_PHYSICAL_NAME_RCNAME, "RCName", String, "", true},
    {Kind::PhysicalRange, IVICONFIG_VAL_PHYSICAL_RANGE_NAME, "Name", String, "", true},
    {Kind::PhysicalRange, IVICONFIG_VAL_PHYSICAL_RANGE_MIN, "Min", Int32, nullptr, true},
    {Kind::PhysicalRange, IVICONFIG_VAL_PHYSICAL_RANGE_MAX, "Max", Int32, nullptr, true},

    {Kind::DataComponent, IVICONFIG_VAL_DATA_COMPONENT_NAME, "Name", String, "", true},
    {Kind::DataComponent, IVICONFIG_VAL_DATA_COMPONENT_DESCRIPTION, "Description", String, "", true},
    {Kind::DataComponent, IVICONFIG_VAL_DATA_COMPONENT_HELP_CONTEXT_ID, "HelpContextID", Int32, "0", true},
    {Kind::DataComponent, IVICONFIG_VAL_DATA_COMPONENT_HELP_FILE_PATH, "HelpFilePath", String, "", true},
    {Kind::DataComponent, IVICONFIG_VAL_DATA_COMPONENT_READ_ONLY, "ReadOnly", Boolean, "0", true},
    {Kind::DataComponent, IVICONFIG_VAL_DATA_COMPONENT_SW_MODULE_KEY, "SoftwareModuleKey", String, "", true},
    {Kind::DataComponent, IVICONFIG_VAL_DATA_COMPONENT_TYPE, nullptr, Int32, nullptr, false},
    {Kind::DataComponent, IVICONFIG_VAL_DATA_COMPONENT_USED_IN_SESSION, "UsedInSession", String, "", true},
    // Typed by the component: see DataComponentType.
    {Kind::DataComponent, IVICONFIG_VAL_DATA_COMPONENT_VALUE, "Value", String, nullptr, true},
    {Kind::DataComponent, IVICONFIG_VAL_DATA_COMPONENT_UNITS, "Units", String, "", true},
};

constexpr Place kLogicalNames[] = {{"LogicalNames", "IviLogicalName"}};
constexpr Place kSessions[] = {{"Sessions", "IviSession"}, {"DriverSessions", "IviDriverSession"}};
constexpr Place kDriverSessions[] = {{"DriverSessions", "IviDriverSession"}};
constexpr Place kHardwareAssets[] = {{"HardwareAssets", "IviHardwareAsset"}};
constexpr Place kSoftwareModules[] = {{"SoftwareModules", "IviSoftwareModule"}};
constexpr Place kPublishedAPIs[] = {{"PublishedAPIs", "IviPublishedAPI"}};
constexpr Place kDataComponents[] = {{"DataComponents", nullptr}};
constexpr Place kVirtualNames[] = {{"VirtualNames", "IviVirtualName"}};
constexpr Place kVirtualRanges[] = {{"VirtualRanges", "IviVirtualRange"}};
constexpr Place kPhysicalNames[] = {{"PhysicalNames", "IviPhysicalName"}};
constexpr Place kPublishedAPIRefs[] = {{"PublishedAPIs", "IviPublishedAPIRef"}};
constexpr Place kPhysicalRanges[] = {{"PhysicalRanges", "IviPhysicalRange"}};

// Indexed by CollectionId.
const CollectionSpec kCollections[] = {
    {Kind::Store, Kind::LogicalName, kLogicalNames},
    {Kind::Store, Kind::Session, kSessions},
    {Kind::Store, Kind::DriverSession, kDriverSessions},
    {Kind::Store, Kind::HardwareAsset, kHardwareAssets},
    {Kind::Store, Kind::SoftwareModule, kSoftwareModules},
    {Kind::Store, Kind::PublishedAPI, kPublishedAPIs},
    {Kind::ConfigComponent, Kind::DataComponent, kDataComponents},
    {Kind::Session, Kind::VirtualName, kVirtualNames},
    {Kind::VirtualName, Kind::VirtualRange, kVirtualRanges},
    {Kind::SoftwareModule, Kind::PhysicalName, kPhysicalNames},
    {Kind::SoftwareModule, Kind::PublishedAPI, kPublishedAPIRefs, true},
    {Kind::PhysicalName, Kind::PhysicalRange, kPhysicalRanges},
    {Kind::PhysicalName, Kind::PhysicalName, kPhysicalNames},
    {Kind::DataComponent, Kind::DataComponent, kDataComponents},
};

constexpr Link kToSession[] = {{"IviDriverSession", "IviDriverSession"}, {"IviSession", "IviSession"}};
constexpr Link kToAsset[] = {{"IviHardwareAsset", "IviHardwareAsset"}};
constexpr Link kToModule[] = {{"IviSoftwareModuleRef", "IviSoftwareModule"}};
constexpr Link kToPublishedAPI[] = {{"IviPublishedAPIRef", "IviPublishedAPI"}};

// Indexed by ReferenceId.
const ReferenceSpec kReferences[] = {
    {Kind::LogicalName, Kind::Session, kToSession, false},
    {Kind::Session, Kind::HardwareAsset, kToAsset, true},
    {Kind::Session, Kind::SoftwareModule, kToModule, false},
    {Kind::DataComponent, Kind::PublishedAPI, kToPublishedAPI, false},
};

struct TypedElement {
  ViInt32 type;
  const char* element;
};
constexpr TypedElement kDataComponentElements[] = {
    {IVICONFIG_VAL_TYPE_BOOLEAN, "IviBoolean"},
    {IVICONFIG_VAL_TYPE_INTEGER, "IviInteger"},
    {IVICONFIG_VAL_TYPE_REAL, "IviReal"},
    {IVICONFIG_VAL_TYPE_STRING, "IviString"},
    {ZEVRA_IVICONFIG_VAL_TYPE_STRUCTURE, "IviStructure"},
    {ZEVRA_IVICONFIG_VAL_TYPE_API_REFERENCE, "IviAPIReference"},
};

}  // namespace

const PropertySpec* FindProperty(Kind kind, ViInt32 id) {
  for (const PropertySpec& p : kProperties) {
    if (p.id == id && IsA(kind, p.kind)) return &p;
  }
  return nullptr;
}

const CollectionSpec& Collection(CollectionId id) { return kCollections[static_cast<int>(id)]; }

const ReferenceSpec& Reference(ReferenceId id) { return kReferences[static_cast<int>(id)]; }

std::span<const ReferenceSpec> AllReferences() { return kReferences; }

Kind KindOfElement(const char* element, Kind in_collection) {
  if (std::strcmp(element, "IviDriverSession") == 0) return Kind::DriverSession;
  if (std::strcmp(element, "IviSession") == 0) return Kind::Session;
  return in_collection;
}

ViInt32 DataComponentType(const char* element) {
  for (const TypedElement& t : kDataComponentElements) {
    if (std::strcmp(t.element, element) == 0) return t.type;
  }
  return 0;
}

const char* DataComponentElement(ViInt32 type) {
  for (const TypedElement& t : kDataComponentElements) {
    if (t.type == type) return t.element;
  }
  return nullptr;
}

}  // namespace iviconfig
