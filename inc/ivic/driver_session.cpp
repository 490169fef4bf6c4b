// SPDX-License-Identifier: MIT
#include "driver_session.h"

#include "errors.h"
#include "instrument.h"
#include "IviConfigServer.h"
#include "IviSession.h"
#include "vexo_assert.h"

namespace vexo {

DriverSession::DriverSession(ViSession session_handle, const SessionSettings& settings)
    : session_handle_(session_handle), settings_(settings) {}

DriverSession::~DriverSession() = default;

ViSession DriverSession::GetSessionHandle() const { return session_handle_; }

bool DriverSession::GetCache() const { return options_.cache; }
bool DriverSession::GetInterchangeCheck() const { return options_.interchange_check; }
bool DriverSession::GetQueryInstrStatus() const { return options_.query_instr_status; }
bool DriverSession::GetRangeCheck() const { return options_.range_check; }
bool DriverSession::GetRecordCoercions() const { return options_.record_coercions; }
bool DriverSession::GetSimulate() const { return options_.simulate; }
bool DriverSession::GetInitialCache() const { return initial_options_.cache; }
bool DriverSession::GetInitialInterchangeCheck() const { return initial_options_.interchange_check; }
bool DriverSession::GetInitialQueryInstrStatus() const { return initial_options_.query_instr_status; }
bool DriverSession::GetInitialRangeCheck() const { return initial_options_.range_check; }
bool DriverSession::GetInitialRecordCoercions() const { return initial_options_.record_coercions; }
bool DriverSession::GetInitialSimulate() const { return initial_options_.simulate; }
void DriverSession::SetCache(bool value) { options_.cache = value; }
void DriverSession::SetInterchangeCheck(bool value) { options_.interchange_check = value; }
void DriverSession::SetQueryInstrStatus(bool value) { options_.query_instr_status = value; }
void DriverSession::SetRangeCheck(bool value) { options_.range_check = value; }
void DriverSession::SetRecordCoercions(bool value) { options_.record_coercions = value; }
void DriverSession::SetSimulate(bool value) { options_.simulate = value; }

const std::string& DriverSession::GetOptionString() const { return option_string_; }
const std::string& DriverSession::GetResourceName() const { return resource_name_; }
const std::string& DriverSession::GetLogicalName() const { return logical_name_; }
const std::string& DriverSession::GetResourceDescriptor() const { return resource_descriptor_; }
const std::string& DriverSession::GetDriverSetup() const { return driver_setup_; }
const std::string& DriverSession::GetInstrumentManufacturer() const { return instrument_manufacturer_; }
const std::string& DriverSession::GetInstrumentModel() const { return instrument_model_; }
const std::string& DriverSession::GetInstrumentSerialNumber() const { return instrument_serial_number_; }
const std::string& DriverSession::GetInstrumentFirmwareRevision() const { return instrument_firmware_revision_; }

ViUInt32 DriverSession::GetOpenTimeout() const { return settings_.open_timeout_ms; }
ViUInt32 DriverSession::GetSelfTestTimeout() const { return settings_.self_test_timeout_ms; }
ViUInt32 DriverSession::GetResetTimeout() const { return settings_.reset_timeout_ms; }
bool DriverSession::GetInterchangeCheckSupported() const { return settings_.interchange_check_supported; }

namespace {

template <typename V>
bool Lookup(const CiMap<V>& map, std::string_view name, V& value) {
  auto it = map.find(name);
  if (it == map.end()) return false;
  value = it->second;
  return true;
}

}  // namespace

bool DriverSession::GetDriverSetupOption(std::string_view name, std::string& value) const {
  return Lookup(driver_setup_options_, name, value);
}
bool DriverSession::GetInitialSettingBoolean(std::string_view name, bool& value) const {
  return Lookup(initial_settings_boolean_, name, value);
}
bool DriverSession::GetInitialSettingInteger(std::string_view name, ViInt32& value) const {
  return Lookup(initial_settings_integer_, name, value);
}
bool DriverSession::GetInitialSettingReal(std::string_view name, ViReal64& value) const {
  return Lookup(initial_settings_real_, name, value);
}
bool DriverSession::GetInitialSettingString(std::string_view name, std::string& value) const {
  return Lookup(initial_settings_string_, name, value);
}

const CiMap<bool>& DriverSession::GetInitialSettingsBoolean() const { return initial_settings_boolean_; }
const CiMap<ViInt32>& DriverSession::GetInitialSettingsInteger() const { return initial_settings_integer_; }
const CiMap<ViReal64>& DriverSession::GetInitialSettingsReal() const { return initial_settings_real_; }
const CiMap<std::string>& DriverSession::GetInitialSettingsString() const { return initial_settings_string_; }
const CiMap<std::string>& DriverSession::GetInherentOptionsSeen() const { return inherent_options_seen_; }
const CiMap<std::string>& DriverSession::GetDriverSetupOptions() const { return driver_setup_options_; }

std::string DriverSession::GetPhysicalName(std::string_view name) const {
  std::string physical = virtual_names_.physical_for(name).value_or(std::string(name));
  // A qualified name "OutputChannel!!CH1" names the physical channel after "!!".
  std::size_t bang = physical.find("!!");
  if (bang != std::string::npos) physical.erase(0, bang + 2);
  return physical;
}

std::string DriverSession::GetVirtualName(std::string_view name) const {
  return virtual_names_.virtual_for(name).value_or(std::string(name));
}

bool DriverSession::IsModelSupported() const { return ModelFamilyTable().count(instrument_model_) != 0; }

bool DriverSession::IsModelInFamily(std::string_view family) const {
  return ModelBelongsToFamily(instrument_model_, family);
}

bool DriverSession::IsModel(std::string_view model) const { return instrument_model_ == model; }

bool DriverSession::ModelBelongsToFamily(std::string_view model, std::string_view family) const {
  auto it = ModelFamilyTable().find(std::string(model));
  return it != ModelFamilyTable().end() && it->second == family;
}

ViStatus DriverSession::RestoreInitialOptions() {
  options_ = initial_options_;
  return VI_SUCCESS;
}

ViStatus DriverSession::ReportError(ViStatus code, std::initializer_list<std::string_view> args) {
  return vexo::ReportError(session_handle_, code, args);
}

ViStatus DriverSession::ReportErrorWithElaboration(ViStatus code, std::string_view elaboration,
                                                   std::initializer_list<std::string_view> args) {
  return vexo::ReportErrorWithElaboration(session_handle_, code, elaboration, args);
}

ViStatus DriverSession::ReportConfigStoreError(ViStatus code) {
  char text[1024] = "";
  [[maybe_unused]] ViStatus statusGetError = IviConfig_GetError(sizeof text, text);
  VEXO_ASSERT(statusGetError >= 0);
  ViStatus st = IviSession_SetError(session_handle_, code, text);
  return st < 0 ? st : code;
}

void DriverSession::InvalidateAllAttributes() { attribute_cache_.Clear(); }

ViStatus DriverSession::Close() { return CloseIo(); }

}  // namespace vexo
