// SPDX-License-Identifier: MIT
// Reading the IVI configuration store at open: logical names, the driver's
// software module, initial settings, virtual and physical names.
#include <string>

#include "driver_session.h"
#include "instrument.h"
#include "ivi_status.h"
#include "store_reading.h"

namespace vexo {
ViStatus DriverSession::Configure(const std::string& resource_name, const std::string& option_string) {
  logical_name_.clear();
  resource_descriptor_.clear();
  inherent_options_seen_.clear();
  driver_setup_options_.clear();
  initial_settings_boolean_.clear();
  initial_settings_integer_.clear();
  initial_settings_real_.clear();
  initial_settings_string_.clear();
  virtual_names_.clear();
  resolved_selectors_.clear();
  options_ = InherentOptions{};

  ViStatus status = VI_SUCCESS;
  ConfigServer server;
  ConfigHandle session, collection, module;
  // Steps that fail record their own error and skip to the release of every handle.
  auto run = [&]() -> ViStatus {
    ViStatus st = server.Open();
    if (st < 0) return ReportConfigStoreError(st);

    st = IviConfig_GetDriverSession(server.get(), resource_name.c_str(), session.Out());
    if (st == IVICONFIG_ERROR_SESSION_NOT_FOUND) {
      IviConfig_ClearError();
      resource_descriptor_ = resource_name;
      st = IviConfig_GetConfigStoreSoftwareModuleCollection(server.get(), collection.Out());
      if (st < 0) return ReportConfigStoreError(st);
      st = IviConfig_GetSoftwareModuleItemByName(collection.get(), Identity().prefix, module.Out());
      if (st < 0) return ReportConfigStoreError(st);
    } else if (st < 0) {
      return ReportConfigStoreError(st);
    } else {
      logical_name_ = resource_name;
      st = ReadDriverSessionConfiguration(session.get());
      if (st < 0) return st;
      st = IviConfig_GetSessionSoftwareModuleReference(session.get(), module.Out());
      if (st < 0) return ReportConfigStoreError(st);
    }

    st = ReadConfigurableInitialSettings(session ? session.get() : module.get());
    if (st < 0) return st;
    st = ParseOptionString(option_string);
    if (st < 0) return st;
    if (module) {
      st = ReadPhysicalNames(module.get());
      if (st < 0) return st;
    }
    if (GetSimulate() && instrument_model_.empty()) instrument_model_ = Identity().default_simulated_model;
    initial_options_ = options_;
    return VI_SUCCESS;
  };
  status = run();
  session.Release();
  collection.Release();
  module.Release();
  ViStatus closed = server.Close();
  return status < 0 ? status : closed;
}

ViStatus DriverSession::ReadDriverSessionConfiguration(IviConfigHandle config_session) {
  ViStatus st = ReadVirtualNames(config_session);
  if (st < 0) return st;
  ConfigHandle asset;
  st = IviConfig_GetSessionHardwareAssetReference(config_session, asset.Out());
  if (st < 0) return ReportConfigStoreError(st);
  if (asset) {
    st = GetText(IviConfig_GetHardwareAssetPropertyViString, asset.get(),
                 IVICONFIG_VAL_HARDWARE_ASSET_IO_DESCRIPTOR, 1024, resource_descriptor_);
    if (st < 0) return ReportConfigStoreError(st);
  }
  bool InherentOptions::*const kFlags[] = {
      &InherentOptions::cache,           &InherentOptions::interchange_check, &InherentOptions::query_instr_status,
      &InherentOptions::range_check,     &InherentOptions::record_coercions,  &InherentOptions::simulate,
  };
  ViInt32 id = IVICONFIG_VAL_DRIVER_SESSION_CACHE;
  for (bool InherentOptions::*flag : kFlags) {
    ViBoolean value = VI_FALSE;
    st = IviConfig_GetDriverSessionPropertyViBoolean(config_session, id++, &value);
    if (st < 0) return ReportConfigStoreError(st);
    options_.*flag = value == VI_TRUE;
  }
  std::string setup;
  st = GetText(IviConfig_GetDriverSessionPropertyViString, config_session, IVICONFIG_VAL_DRIVER_SESSION_DRIVER_SETUP,
               1024, setup);
  if (st < 0) return ReportConfigStoreError(st);
  driver_setup_ = setup;
  return ParseDriverSetup(setup);
}

ViStatus DriverSession::ReadConfigurableInitialSettings(IviConfigHandle config_component) {
  ConfigHandle components, settings, items;
  ViStatus st = IviConfig_GetConfigComponentDataComponentCollection(config_component, components.Out());
  if (st < 0) return ReportConfigStoreError(st);
  st = IviConfig_GetDataComponentItemByName(components.get(), "Configurable Initial Settings", settings.Out());
  if (st == IVICONFIG_ERROR_NOT_EXIST) return IviConfig_ClearError();
  if (st < 0) return ReportConfigStoreError(st);
  st = IviConfig_GetStructureDataComponentCollection(settings.get(), items.Out());
  if (st < 0) return ReportConfigStoreError(st);
  ViInt32 count = 0;
  st = IviConfig_GetDataComponentCount(items.get(), &count);
  if (st < 0) return ReportConfigStoreError(st);
  for (ViInt32 index = 1; index <= count; ++index) {
    ConfigHandle item;
    st = IviConfig_GetDataComponentItemByIndex(items.get(), index, item.Out());
    if (st < 0) return ReportConfigStoreError(st);
    ViInt32 type = 0;
    std::string name;
    st = IviConfig_GetDataComponentPropertyViInt32(item.get(), IVICONFIG_VAL_DATA_COMPONENT_TYPE, &type);
    if (st >= 0) st = GetText(IviConfig_GetDataComponentPropertyViString, item.get(), IVICONFIG_VAL_DATA_COMPONENT_NAME, 1024, name);
    if (st < 0) return ReportConfigStoreError(st);
    const ViInt32 value_id = IVICONFIG_VAL_DATA_COMPONENT_VALUE;
    switch (type) {
      case IVICONFIG_VAL_TYPE_STRING: {
        std::string value;
        st = GetText(IviConfig_GetDataComponentPropertyViString, item.get(), value_id, 1024, value);
        if (st >= 0) initial_settings_string_[name] = value;
        break;
      }
      case IVICONFIG_VAL_TYPE_INTEGER: {
        ViInt32 value = 0;
        st = IviConfig_GetDataComponentPropertyViInt32(item.get(), value_id, &value);
        if (st >= 0) initial_settings_integer_[name] = value;
        break;
      }
      case IVICONFIG_VAL_TYPE_REAL: {
        ViReal64 value = 0;
        st = IviConfig_GetDataComponentPropertyViReal64(item.get(), value_id, &value);
        if (st >= 0) initial_settings_real_[name] = value;
        break;
      }
      case IVICONFIG_VAL_TYPE_BOOLEAN: {
        ViBoolean value = VI_FALSE;
        st = IviConfig_GetDataComponentPropertyViBoolean(item.get(), value_id, &value);
        if (st >= 0) initial_settings_boolean_[name] = value == VI_TRUE;
        break;
      }
      default: break;  // structures and API references are no settings
    }
    if (st < 0) return ReportConfigStoreError(st);
  }
  return ApplyInitialModelSetting();
}

ViStatus DriverSession::ApplyInitialModelSetting() {
  std::string model;
  if (instrument_model_.empty() && GetInitialSettingString("model", model)) instrument_model_ = model;
  return VI_SUCCESS;
}

ViStatus DriverSession::ReadVirtualNames(IviConfigHandle config_session) {
  ViStatus st = vexo::ReadVirtualNames(config_session, virtual_names_);
  return st < 0 ? ReportConfigStoreError(st) : VI_SUCCESS;
}

ViStatus DriverSession::ReadPhysicalNames(IviConfigHandle software_module) {
  ConfigHandle names;
  ViStatus st = IviConfig_GetSoftwareModulePhysicalNameCollection(software_module, names.Out());
  if (st < 0) return ReportConfigStoreError(st);
  ViInt32 count = 0;
  st = IviConfig_GetPhysicalNameCount(names.get(), &count);
  if (st < 0) return ReportConfigStoreError(st);
  for (ViInt32 index = 1; index <= count; ++index) {
    ConfigHandle item;
    std::string name, rc_name;
    st = IviConfig_GetPhysicalNameItemByIndex(names.get(), index, item.Out());
    if (st >= 0) st = GetText(IviConfig_GetPhysicalNamePropertyViString, item.get(), IVICONFIG_VAL_PHYSICAL_NAME_NAME, 1024, name);
    if (st >= 0)
      st = GetText(IviConfig_GetPhysicalNamePropertyViString, item.get(), IVICONFIG_VAL_PHYSICAL_NAME_RCNAME, 1024,
                   rc_name);
    if (st < 0) return ReportConfigStoreError(st);
    physical_name_table_[name] = rc_name;
  }
  return VI_SUCCESS;
}

}  // namespace vexo
