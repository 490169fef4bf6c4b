// SPDX-License-Identifier: MIT
// The IviConfig_* C functions: each is one of the server's generic operations
// applied to the kind of item its name promises.
#include <string>
#include <utility>

#include "IviConfigServer.h"
#include "config_server.h"

using namespace iviconfig;
using namespace iviconfig::server;

extern "C" {

// The server, its errors and handles
ViStatus _VI_FUNC IviConfig_Initialize(IviConfigHandle* store) { return Initialize(store); }
ViStatus _VI_FUNC IviConfig_ClearError(void) {
  ClearLastError();
  return VI_SUCCESS;
}
ViStatus _VI_FUNC IviConfig_GetError(ViInt32 size, ViChar description[]) {
  return CopyText(LastErrorText(), size, description);
}
ViStatus _VI_FUNC IviConfig_DisposeHandle(IviConfigHandle h) { return Dispose(h); }
ViStatus _VI_FUNC IviConfig_Close(IviConfigHandle store) { return Close(store); }

// The store
ViStatus _VI_FUNC IviConfig_Deserialize(IviConfigHandle store, ViConstString location) {
  return Deserialize(store, location);
}
ViStatus _VI_FUNC IviConfig_Serialize(IviConfigHandle store, ViConstString location) {
  return Serialize(store, location);
}
ViStatus _VI_FUNC IviConfig_GetSession(IviConfigHandle store, ViConstString name, IviConfigHandle* out) {
  return FindSession(store, name, Kind::Session, out);
}
ViStatus _VI_FUNC IviConfig_GetDriverSession(IviConfigHandle store, ViConstString name, IviConfigHandle* out) {
  return FindSession(store, name, Kind::DriverSession, out);
}
ViStatus _VI_FUNC IviConfig_GetConfigStorePropertyViString(IviConfigHandle store, ViInt32 id, ViInt32 size,
                                                           ViChar value[]) {
  return GetString(store, Kind::Store, id, size, value);
}
ViStatus _VI_FUNC IviConfig_SetConfigStorePropertyViString(IviConfigHandle store, ViInt32 id, ViConstString value) {
  return SetString(store, Kind::Store, id, value);
}
ViStatus _VI_FUNC IviConfig_GetConfigStorePropertyViInt32(IviConfigHandle store, ViInt32 id, ViInt32* value) {
  return GetInt32(store, Kind::Store, id, value);
}

// Collections reached from an item
ViStatus _VI_FUNC IviConfig_GetConfigStoreLogicalNameCollection(IviConfigHandle h, IviConfigHandle* out) {
  return OpenCollection(h, CollectionId::StoreLogicalNames, out);
}
ViStatus _VI_FUNC IviConfig_GetConfigStoreSessionCollection(IviConfigHandle h, IviConfigHandle* out) {
  return OpenCollection(h, CollectionId::StoreSessions, out);
}
ViStatus _VI_FUNC IviConfig_GetConfigStoreDriverSessionCollection(IviConfigHandle h, IviConfigHandle* out) {
  return OpenCollection(h, CollectionId::StoreDriverSessions, out);
}
ViStatus _VI_FUNC IviConfig_GetConfigStoreHardwareAssetCollection(IviConfigHandle h, IviConfigHandle* out) {
  return OpenCollection(h, CollectionId::StoreHardwareAssets, out);
}
ViStatus _VI_FUNC IviConfig_GetConfigStoreSoftwareModuleCollection(IviConfigHandle h, IviConfigHandle* out) {
  return OpenCollection(h, CollectionId::StoreSoftwareModules, out);
}
ViStatus _VI_FUNC IviConfig_GetConfigStorePublishedAPICollection(IviConfigHandle h, IviConfigHandle* out) {
  return OpenCollection(h, CollectionId::StorePublishedAPIs, out);
}
ViStatus _VI_FUNC IviConfig_GetConfigComponentDataComponentCollection(IviConfigHandle h, IviConfigHandle* out) {
  return OpenCollection(h, CollectionId::ComponentDataComponents, out);
}
ViStatus _VI_FUNC IviConfig_GetSessionVirtualNameCollection(IviConfigHandle h, IviConfigHandle* out) {
  return OpenCollection(h, CollectionId::SessionVirtualNames, out);
}
ViStatus _VI_FUNC IviConfig_GetVirtualNameVirtualRangeCollection(IviConfigHandle h, IviConfigHandle* out) {
  return OpenCollection(h, CollectionId::VirtualNameRanges, out);
}
ViStatus _VI_FUNC IviConfig_GetSoftwareModulePhysicalNameCollection(IviConfigHandle h, IviConfigHandle* out) {
  return OpenCollection(h, CollectionId::ModulePhysicalNames, out);
}
ViStatus _VI_FUNC IviConfig_GetSoftwareModulePublishedAPICollection(IviConfigHandle h, IviConfigHandle* out) {
  return OpenCollection(h, CollectionId::ModulePublishedAPIs, out);
}
ViStatus _VI_FUNC IviConfig_GetPhysicalNamePhysicalRangeCollection(IviConfigHandle h, IviConfigHandle* out) {
  return OpenCollection(h, CollectionId::PhysicalNameRanges, out);
}
ViStatus _VI_FUNC IviConfig_GetPhysicalNameChildPhysicalNameCollection(IviConfigHandle h, IviConfigHandle* out) {
  return OpenCollection(h, CollectionId::PhysicalNameChildren, out);
}
ViStatus _VI_FUNC IviConfig_GetStructureDataComponentCollection(IviConfigHandle h, IviConfigHandle* out) {
  return OpenCollection(h, CollectionId::StructureDataComponents, out);
}

// References between items
ViStatus _VI_FUNC IviConfig_GetLogicalNameSessionReference(IviConfigHandle h, IviConfigHandle* out) {
  return GetReference(h, ReferenceId::LogicalNameSession, out);
}
ViStatus _VI_FUNC IviConfig_SetLogicalNameSessionReference(IviConfigHandle h, IviConfigHandle target) {
  return SetReference(h, ReferenceId::LogicalNameSession, target);
}
ViStatus _VI_FUNC IviConfig_GetSessionHardwareAssetReference(IviConfigHandle h, IviConfigHandle* out) {
  return GetReference(h, ReferenceId::SessionHardwareAsset, out);
}
ViStatus _VI_FUNC IviConfig_SetSessionHardwareAssetReference(IviConfigHandle h, IviConfigHandle target) {
  return SetReference(h, ReferenceId::SessionHardwareAsset, target);
}
ViStatus _VI_FUNC IviConfig_GetSessionSoftwareModuleReference(IviConfigHandle h, IviConfigHandle* out) {
  return GetReference(h, ReferenceId::SessionSoftwareModule, out);
}
ViStatus _VI_FUNC IviConfig_SetSessionSoftwareModuleReference(IviConfigHandle h, IviConfigHandle target) {
  return SetReference(h, ReferenceId::SessionSoftwareModule, target);
}
ViStatus _VI_FUNC IviConfig_GetAPIReferencePublishedAPIReference(IviConfigHandle h, IviConfigHandle* out) {
  return GetReference(h, ReferenceId::APIReferencePublishedAPI, out);
}
ViStatus _VI_FUNC IviConfig_SetAPIReferencePublishedAPIReference(IviConfigHandle h, IviConfigHandle target) {
  return SetReference(h, ReferenceId::APIReferencePublishedAPI, target);
}
ViStatus _VI_FUNC IviConfig_AddPublishedAPIReference(IviConfigHandle c, IviConfigHandle api) {
  return AddReference(c, api);
}
ViStatus _VI_FUNC IviConfig_RemovePublishedAPIReference(IviConfigHandle c, IviConfigHandle api) {
  return RemoveReference(c, api);
}

// Data components without a value of their own
ViStatus _VI_FUNC IviConfig_CreateStructure(IviConfigHandle c, ViConstString name, ViInt32 member_type,
                                            ViConstString member_name, IviConfigHandle* out) {
  ViStatus st = Create(c, Kind::DataComponent, {.name = name, .data_type = ZEVRA_IVICONFIG_VAL_TYPE_STRUCTURE}, out);
  if (st < 0 || member_name == nullptr || member_name[0] == '\0') return st;
  IviConfigHandle members = nullptr, member = nullptr;
  st = OpenCollection(*out, CollectionId::StructureDataComponents, &members);
  if (st >= 0) {
    st = Create(members, Kind::DataComponent, {.name = member_name, .data_type = member_type, .value_type_only = true},
                &member);
  }
  if (member != nullptr) Dispose(member);
  if (members != nullptr) Dispose(members);
  if (st < 0) {
    // The structure goes again, keeping the error that says why.
    std::string why = LastErrorText();
    Destroy(c, Kind::DataComponent, *out);
    *out = nullptr;
    RestoreLastError(std::move(why));
    return st;
  }
  return VI_SUCCESS;
}
ViStatus _VI_FUNC IviConfig_CreateAPIReference(IviConfigHandle c, ViConstString name, IviConfigHandle api,
                                               IviConfigHandle* out) {
  return Create(c, Kind::DataComponent,
                {.name = name, .data_type = ZEVRA_IVICONFIG_VAL_TYPE_API_REFERENCE, .published_api = api}, out);
}

// LogicalName
ViStatus _VI_FUNC IviConfig_GetLogicalNameCount(IviConfigHandle c, ViInt32* n) {
  return Count(c, Kind::LogicalName, n);
}
ViStatus _VI_FUNC IviConfig_GetLogicalNameItemByIndex(IviConfigHandle c, ViInt32 i, IviConfigHandle* out) {
  return ItemByIndex(c, Kind::LogicalName, i, out);
}
ViStatus _VI_FUNC IviConfig_GetLogicalNameItemByName(IviConfigHandle c, ViConstString name, IviConfigHandle* out) {
  return ItemByName(c, Kind::LogicalName, name, out);
}
ViStatus _VI_FUNC IviConfig_CreateLogicalName(IviConfigHandle c, ViConstString name, IviConfigHandle* out) {
  return Create(c, Kind::LogicalName, {.name = name}, out);
}
ViStatus _VI_FUNC IviConfig_DestroyLogicalName(IviConfigHandle c, IviConfigHandle item) {
  return Destroy(c, Kind::LogicalName, item);
}
ViStatus _VI_FUNC IviConfig_GetLogicalNamePropertyViString(IviConfigHandle h, ViInt32 id, ViInt32 size,
                                                           ViChar value[]) {
  return GetString(h, Kind::LogicalName, id, size, value);
}
ViStatus _VI_FUNC IviConfig_SetLogicalNamePropertyViString(IviConfigHandle h, ViInt32 id, ViConstString value) {
  return SetString(h, Kind::LogicalName, id, value);
}

// Session
ViStatus _VI_FUNC IviConfig_GetSessionCount(IviConfigHandle c, ViInt32* n) { return Count(c, Kind::Session, n); }
ViStatus _VI_FUNC IviConfig_GetSessionItemByIndex(IviConfigHandle c, ViInt32 i, IviConfigHandle* out) {
  return ItemByIndex(c, Kind::Session, i, out);
}
ViStatus _VI_FUNC IviConfig_GetSessionItemByName(IviConfigHandle c, ViConstString name, IviConfigHandle* out) {
  return ItemByName(c, Kind::Session, name, out);
}
ViStatus _VI_FUNC IviConfig_CreateSession(IviConfigHandle c, ViConstString name, IviConfigHandle* out) {
  return Create(c, Kind::Session, {.name = name}, out);
}
ViStatus _VI_FUNC IviConfig_DestroySession(IviConfigHandle c, IviConfigHandle item) {
  return Destroy(c, Kind::Session, item);
}
ViStatus _VI_FUNC IviConfig_GetSessionPropertyViString(IviConfigHandle h, ViInt32 id, ViInt32 size, ViChar value[]) {
  return GetString(h, Kind::Session, id, size, value);
}
ViStatus _VI_FUNC IviConfig_SetSessionPropertyViString(IviConfigHandle h, ViInt32 id, ViConstString value) {
  return SetString(h, Kind::Session, id, value);
}

// DriverSession
ViStatus _VI_FUNC IviConfig_GetDriverSessionCount(IviConfigHandle c, ViInt32* n) {
  return Count(c, Kind::DriverSession, n);
}
ViStatus _VI_FUNC IviConfig_GetDriverSessionItemByIndex(IviConfigHandle c, ViInt32 i, IviConfigHandle* out) {
  return ItemByIndex(c, Kind::DriverSession, i, out);
}
ViStatus _VI_FUNC IviConfig_GetDriverSessionItemByName(IviConfigHandle c, ViConstString name, IviConfigHandle* out) {
  return ItemByName(c, Kind::DriverSession, name, out);
}
ViStatus _VI_FUNC IviConfig_CreateDriverSession(IviConfigHandle c, ViConstString name, IviConfigHandle* out) {
  return Create(c, Kind::DriverSession, {.name = name}, out);
}
ViStatus _VI_FUNC IviConfig_DestroyDriverSession(IviConfigHandle c, IviConfigHandle item) {
  return Destroy(c, Kind::DriverSession, item);
}
ViStatus _VI_FUNC IviConfig_GetDriverSessionPropertyViString(IviConfigHandle h, ViInt32 id, ViInt32 size,
                                                             ViChar value[]) {
  return GetString(h, Kind::DriverSession, id, size, value);
}
ViStatus _VI_FUNC IviConfig_SetDriverSessionPropertyViString(IviConfigHandle h, ViInt32 id, ViConstString value) {
  return SetString(h, Kind::DriverSession, id, value);
}
ViStatus _VI_FUNC IviConfig_GetDriverSessionPropertyViBoolean(IviConfigHandle h, ViInt32 id, ViBoolean* value) {
  return GetBoolean(h, Kind::DriverSession, id, value);
}
ViStatus _VI_FUNC IviConfig_SetDriverSessionPropertyViBoolean(IviConfigHandle h, ViInt32 id, ViBoolean value) {
  return SetBoolean(h, Kind::DriverSession, id, value);
}

// HardwareAsset
ViStatus _VI_FUNC IviConfig_GetHardwareAssetCount(IviConfigHandle c, ViInt32* n) {
  return Count(c, Kind::HardwareAsset, n);
}
ViStatus _VI_FUNC IviConfig_GetHardwareAssetItemByIndex(IviConfigHandle c, ViInt32 i, IviConfigHandle* out) {
  return ItemByIndex(c, Kind::HardwareAsset, i, out);
}
ViStatus _VI_FUNC IviConfig_GetHardwareAssetItemByName(IviConfigHandle c, ViConstString name, IviConfigHandle* out) {
  return ItemByName(c, Kind::HardwareAsset, name, out);
}
ViStatus _VI_FUNC IviConfig_CreateHardwareAsset(IviConfigHandle c, ViConstString name, IviConfigHandle* out) {
  return Create(c, Kind::HardwareAsset, {.name = name}, out);
}
ViStatus _VI_FUNC IviConfig_DestroyHardwareAsset(IviConfigHandle c, IviConfigHandle item) {
  return Destroy(c, Kind::HardwareAsset, item);
}
ViStatus _VI_FUNC IviConfig_GetHardwareAssetPropertyViString(IviConfigHandle h, ViInt32 id, ViInt32 size,
                                                             ViChar value[]) {
  return GetString(h, Kind::HardwareAsset, id, size, value);
}
ViStatus _VI_FUNC IviConfig_SetHardwareAssetPropertyViString(IviConfigHandle h, ViInt32 id, ViConstString value) {
  return SetString(h, Kind::HardwareAsset, id, value);
}

// SoftwareModule
ViStatus _VI_FUNC IviConfig_GetSoftwareModuleCount(IviConfigHandle c, ViInt32* n) {
  return Count(c, Kind::SoftwareModule, n);
}
ViStatus _VI_FUNC IviConfig_GetSoftwareModuleItemByIndex(IviConfigHandle c, ViInt32 i, IviConfigHandle* out) {
  return ItemByIndex(c, Kind::SoftwareModule, i, out);
}
ViStatus _VI_FUNC IviConfig_GetSoftwareModuleItemByName(IviConfigHandle c, ViConstString name, IviConfigHandle* out) {
  return ItemByName(c, Kind::SoftwareModule, name, out);
}
ViStatus _VI_FUNC IviConfig_CreateSoftwareModule(IviConfigHandle c, ViConstString name, IviConfigHandle* out) {
  return Create(c, Kind::SoftwareModule, {.name = name}, out);
}
ViStatus _VI_FUNC IviConfig_DestroySoftwareModule(IviConfigHandle c, IviConfigHandle item) {
  return Destroy(c, Kind::SoftwareModule, item);
}
ViStatus _VI_FUNC IviConfig_GetSoftwareModulePropertyViString(IviConfigHandle h, ViInt32 id, ViInt32 size,
                                                              ViChar value[]) {
  return GetString(h, Kind::SoftwareModule, id, size, value);
}
ViStatus _VI_FUNC IviConfig_SetSoftwareModulePropertyViString(IviConfigHandle h, ViInt32 id, ViConstString value) {
  return SetString(h, Kind::SoftwareModule, id, value);
}

// VirtualName
ViStatus _VI_FUNC IviConfig_GetVirtualNameCount(IviConfigHandle c, ViInt32* n) {
  return Count(c, Kind::VirtualName, n);
}
ViStatus _VI_FUNC IviConfig_GetVirtualNameItemByIndex(IviConfigHandle c, ViInt32 i, IviConfigHandle* out) {
  return ItemByIndex(c, Kind::VirtualName, i, out);
}
ViStatus _VI_FUNC IviConfig_GetVirtualNameItemByName(IviConfigHandle c, ViConstString name, IviConfigHandle* out) {
  return ItemByName(c, Kind::VirtualName, name, out);
}
ViStatus _VI_FUNC IviConfig_CreateVirtualName(IviConfigHandle c, ViConstString name, ViConstString map_to,
                                              IviConfigHandle* out) {
  if (map_to == nullptr) return Create(c, Kind::VirtualName, {}, out);  // reports the null argument
  return Create(c, Kind::VirtualName, {.name = name, .map_to = map_to}, out);
}
ViStatus _VI_FUNC IviConfig_DestroyVirtualName(IviConfigHandle c, IviConfigHandle item) {
  return Destroy(c, Kind::VirtualName, item);
}
ViStatus _VI_FUNC IviConfig_GetVirtualNamePropertyViString(IviConfigHandle h, ViInt32 id, ViInt32 size,
                                                           ViChar value[]) {
  return GetString(h, Kind::VirtualName, id, size, value);
}
ViStatus _VI_FUNC IviConfig_SetVirtualNamePropertyViString(IviConfigHandle h, ViInt32 id, ViConstString value) {
  return SetString(h, Kind::VirtualName, id, value);
}

// VirtualRange
ViStatus _VI_FUNC IviConfig_GetVirtualRangeCount(IviConfigHandle c, ViInt32* n) {
  return Count(c, Kind::VirtualRange, n);
}
ViStatus _VI_FUNC IviConfig_GetVirtualRangeItemByIndex(IviConfigHandle c, ViInt32 i, IviConfigHandle* out) {
  return ItemByIndex(c, Kind::VirtualRange, i, out);
}
ViStatus _VI_FUNC IviConfig_CreateVirtualRange(IviConfigHandle c, ViConstString name, IviConfigHandle* out) {
  return Create(c, Kind::VirtualRange, {.name = name}, out);
}
ViStatus _VI_FUNC IviConfig_DestroyVirtualRange(IviConfigHandle c, IviConfigHandle item) {
  return Destroy(c, Kind::VirtualRange, item);
}
ViStatus _VI_FUNC IviConfig_GetVirtualRangePropertyViString(IviConfigHandle h, ViInt32 id, ViInt32 size,
                                                            ViChar value[]) {
  return GetString(h, Kind::VirtualRange, id, size, value);
}
ViStatus _VI_FUNC IviConfig_SetVirtualRangePropertyViString(IviConfigHandle h, ViInt32 id, ViConstString value) {
  return SetString(h, Kind::VirtualRange, id, value);
}
ViStatus _VI_FUNC IviConfig_GetVirtualRangePropertyViInt32(IviConfigHandle h, ViInt32 id, ViInt32* value) {
  return GetInt32(h, Kind::VirtualRange, id, value);
}
ViStatus _VI_FUNC IviConfig_SetVirtualRangePropertyViInt32(IviConfigHandle h, ViInt32 id, ViInt32 value) {
  return SetInt32(h, Kind::VirtualRange, id, value);
}

// PhysicalName
ViStatus _VI_FUNC IviConfig_GetPhysicalNameCount(IviConfigHandle c, ViInt32* n) {
  return Count(c, Kind::PhysicalName, n);
}
ViStatus _VI_FUNC IviConfig_GetPhysicalNameItemByIndex(IviConfigHandle c, ViInt32 i, IviConfigHandle* out) {
  return ItemByIndex(c, Kind::PhysicalName, i, out);
}
ViStatus _VI_FUNC IviConfig_GetPhysicalNameItemByName(IviConfigHandle c, ViConstString name, IviConfigHandle* out) {
  return ItemByName(c, Kind::PhysicalName, name, out);
}
ViStatus _VI_FUNC IviConfig_CreatePhysicalName(IviConfigHandle c, ViConstString name, ViConstString rc_name,
                                               IviConfigHandle* out) {
  if (rc_name == nullptr) return Create(c, Kind::PhysicalName, {}, out);  // reports the null argument
  return Create(c, Kind::PhysicalName, {.name = name, .rc_name = rc_name}, out);
}
ViStatus _VI_FUNC IviConfig_DestroyPhysicalName(IviConfigHandle c, IviConfigHandle item) {
  return Destroy(c, Kind::PhysicalName, item);
}
ViStatus _VI_FUNC IviConfig_GetPhysicalNamePropertyViString(IviConfigHandle h, ViInt32 id, ViInt32 size,
                                                            ViChar value[]) {
  return GetString(h, Kind::PhysicalName, id, size, value);
}
ViStatus _VI_FUNC IviConfig_SetPhysicalNamePropertyViString(IviConfigHandle h, ViInt32 id, ViConstString value) {
  return SetString(h, Kind::PhysicalName, id, value);
}

// PhysicalRange
ViStatus _VI_FUNC IviConfig_GetPhysicalRangeCount(IviConfigHandle c, ViInt32* n) {
  return Count(c, Kind::PhysicalRange, n);
}
ViStatus _VI_FUNC IviConfig_GetPhysicalRangeItemByIndex(IviConfigHandle c, ViInt32 i, IviConfigHandle* out) {
  return ItemByIndex(c, Kind::PhysicalRange, i, out);
}
ViStatus _VI_FUNC IviConfig_CreatePhysicalRange(IviConfigHandle c, ViConstString name, IviConfigHandle* out) {
  return Create(c, Kind::PhysicalRange, {.name = name}, out);
}
ViStatus _VI_FUNC IviConfig_DestroyPhysicalRange(IviConfigHandle c, IviConfigHandle item) {
  return Destroy(c, Kind::PhysicalRange, item);
}
ViStatus _VI_FUNC IviConfig_GetPhysicalRangePropertyViString(IviConfigHandle h, ViInt32 id, ViInt32 size,
                                                             ViChar value[]) {
  return GetString(h, Kind::PhysicalRange, id, size, value);
}
ViStatus _VI_FUNC IviConfig_SetPhysicalRangePropertyViString(IviConfigHandle h, ViInt32 id, ViConstString value) {
  return SetString(h, Kind::PhysicalRange, id, value);
}
ViStatus _VI_FUNC IviConfig_GetPhysicalRangePropertyViInt32(IviConfigHandle h, ViInt32 id, ViInt32* value) {
  return GetInt32(h, Kind::PhysicalRange, id, value);
}
ViStatus _VI_FUNC IviConfig_SetPhysicalRangePropertyViInt32(IviConfigHandle h, ViInt32 id, ViInt32 value) {
  return SetInt32(h, Kind::PhysicalRange, id, value);
}

// PublishedAPI
ViStatus _VI_FUNC IviConfig_GetPublishedAPICount(IviConfigHandle c, ViInt32* n) {
  return Count(c, Kind::PublishedAPI, n);
}
ViStatus _VI_FUNC IviConfig_GetPublishedAPIItemByIndex(IviConfigHandle c, ViInt32 i, IviConfigHandle* out) {
  return ItemByIndex(c, Kind::PublishedAPI, i, out);
}
ViStatus _VI_FUNC IviConfig_CreatePublishedAPI(IviConfigHandle c, ViConstString name, ViConstString type,
                                               IviConfigHandle* out) {
  if (type == nullptr) return Create(c, Kind::PublishedAPI, {}, out);  // reports the null argument
  return Create(c, Kind::PublishedAPI, {.name = name, .api_type = type}, out);
}
ViStatus _VI_FUNC IviConfig_DestroyPublishedAPI(IviConfigHandle c, IviConfigHandle item) {
  return Destroy(c, Kind::PublishedAPI, item);
}
ViStatus _VI_FUNC IviConfig_GetPublishedAPIPropertyViString(IviConfigHandle h, ViInt32 id, ViInt32 size,
                                                            ViChar value[]) {
  return GetString(h, Kind::PublishedAPI, id, size, value);
}
ViStatus _VI_FUNC IviConfig_SetPublishedAPIPropertyViString(IviConfigHandle h, ViInt32 id, ViConstString value) {
  return SetString(h, Kind::PublishedAPI, id, value);
}
ViStatus _VI_FUNC IviConfig_GetPublishedAPIPropertyViInt32(IviConfigHandle h, ViInt32 id, ViInt32* value) {
  return GetInt32(h, Kind::PublishedAPI, id, value);
}
ViStatus _VI_FUNC IviConfig_SetPublishedAPIPropertyViInt32(IviConfigHandle h, ViInt32 id, ViInt32 value) {
  return SetInt32(h, Kind::PublishedAPI, id, value);
}

// DataComponent
ViStatus _VI_FUNC IviConfig_GetDataComponentCount(IviConfigHandle c, ViInt32* n) {
  return Count(c, Kind::DataComponent, n);
}
ViStatus _VI_FUNC IviConfig_GetDataComponentItemByIndex(IviConfigHandle c, ViInt32 i, IviConfigHandle* out) {
  return ItemByIndex(c, Kind::DataComponent, i, out);
}
ViStatus _VI_FUNC IviConfig_GetDataComponentItemByName(IviConfigHandle c, ViConstString name, IviConfigHandle* out) {
  return ItemByName(c, Kind::DataComponent, name, out);
}
ViStatus _VI_FUNC IviConfig_CreateDataComponent(IviConfigHandle c, ViInt32 type, ViConstString name,
                                                IviConfigHandle* out) {
  // Structures and API references have functions of their own.
  return Create(c, Kind::DataComponent, {.name = name, .data_type = type, .value_type_only = true}, out);
}
ViStatus _VI_FUNC IviConfig_DestroyDataComponent(IviConfigHandle c, IviConfigHandle item) {
  return Destroy(c, Kind::DataComponent, item);
}
ViStatus _VI_FUNC IviConfig_GetDataComponentPropertyViString(IviConfigHandle h, ViInt32 id, ViInt32 size,
                                                             ViChar value[]) {
  return GetString(h, Kind::DataComponent, id, size, value);
}
ViStatus _VI_FUNC IviConfig_SetDataComponentPropertyViString(IviConfigHandle h, ViInt32 id, ViConstString value) {
  return SetString(h, Kind::DataComponent, id, value);
}
ViStatus _VI_FUNC IviConfig_GetDataComponentPropertyViBoolean(IviConfigHandle h, ViInt32 id, ViBoolean* value) {
  return GetBoolean(h, Kind::DataComponent, id, value);
}
ViStatus _VI_FUNC IviConfig_SetDataComponentPropertyViBoolean(IviConfigHandle h, ViInt32 id, ViBoolean value) {
  return SetBoolean(h, Kind::DataComponent, id, value);
}
ViStatus _VI_FUNC IviConfig_GetDataComponentPropertyViInt32(IviConfigHandle h, ViInt32 id, ViInt32* value) {
  return GetInt32(h, Kind::DataComponent, id, value);
}
ViStatus _VI_FUNC IviConfig_SetDataComponentPropertyViInt32(IviConfigHandle h, ViInt32 id, ViInt32 value) {
  return SetInt32(h, Kind::DataComponent, id, value);
}
ViStatus _VI_FUNC IviConfig_GetDataComponentPropertyViReal64(IviConfigHandle h, ViInt32 id, ViReal64* value) {
  return GetReal64(h, Kind::DataComponent, id, value);
}
ViStatus _VI_FUNC IviConfig_SetDataComponentPropertyViReal64(IviConfigHandle h, ViInt32 id, ViReal64 value) {
  return SetReal64(h, Kind::DataComponent, id, value);
}

}  // extern "C"
