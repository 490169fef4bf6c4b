// SPDX-License-Identifier: MIT
// The runtime's driver session: all state of one open session and the
// operations every part of the driver reaches it through.
#pragma once

#include <deque>
#include <map>
#include <vector>
#include <string>
#include <string_view>

#include "IviConfigServer.h"
#include "attribute_cache.h"
#include "ci_map.h"
#include "io_session.h"
#include "virtual_names.h"
#include "visa_handle.h"
#include "visatype.h"

namespace vexo {

// The six inherent options, in their fixed order.
struct InherentOptions {
  bool cache = true;
  bool interchange_check = false;
  bool query_instr_status = false;
  bool range_check = true;
  bool record_coercions = false;
  bool simulate = false;
};

// What a driver tells the runtime about its sessions' I/O.
struct SessionSettings {
  ViUInt32 open_timeout_ms = 2000;
  ViUInt32 self_test_timeout_ms = 2000;
  ViUInt32 reset_timeout_ms = 2000;
  bool interchange_check_supported = false;
};

class DriverSession : public IoSession {
 public:
  DriverSession(ViSession session_handle, const SessionSettings& settings);
  ~DriverSession() override;
  DriverSession(const DriverSession&) = delete;
  DriverSession& operator=(const DriverSession&) = delete;

  ViStatus Initialize(const std::string& resource_name, bool id_query, bool reset,
                              const std::string& option_string);
  ViStatus Close();
  ViSession GetSessionHandle() const;

  bool GetCache() const;
  bool GetInterchangeCheck() const;
  bool GetQueryInstrStatus() const;
  bool GetRangeCheck() const;
  bool GetRecordCoercions() const;
  bool GetSimulate() const;
  bool GetInitialCache() const;
  bool GetInitialInterchangeCheck() const;
  bool GetInitialQueryInstrStatus() const;
  bool GetInitialRangeCheck() const;
  bool GetInitialRecordCoercions() const;
  bool GetInitialSimulate() const;
  void SetCache(bool value);
  void SetInterchangeCheck(bool value);
  void SetQueryInstrStatus(bool value);
  void SetRangeCheck(bool value);
  void SetRecordCoercions(bool value);
  void SetSimulate(bool value);

  const std::string& GetOptionString() const;
  const std::string& GetResourceName() const;
  const std::string& GetLogicalName() const;
  const std::string& GetResourceDescriptor() const;
  const std::string& GetDriverSetup() const;
  const std::string& GetInstrumentManufacturer() const;
  const std::string& GetInstrumentModel() const;
  const std::string& GetInstrumentSerialNumber() const;
  const std::string& GetInstrumentFirmwareRevision() const;

  ViUInt32 GetOpenTimeout() const;
  ViUInt32 GetSelfTestTimeout() const;
  ViUInt32 GetResetTimeout() const;
  bool GetInterchangeCheckSupported() const;

  bool GetDriverSetupOption(std::string_view name, std::string& value) const;
  bool GetInitialSettingBoolean(std::string_view name, bool& value) const;
  bool GetInitialSettingInteger(std::string_view name, ViInt32& value) const;
  bool GetInitialSettingReal(std::string_view name, ViReal64& value) const;
  bool GetInitialSettingString(std::string_view name, std::string& value) const;

  const CiMap<bool>& GetInitialSettingsBoolean() const;
  const CiMap<ViInt32>& GetInitialSettingsInteger() const;
  const CiMap<ViReal64>& GetInitialSettingsReal() const;
  const CiMap<std::string>& GetInitialSettingsString() const;
  const CiMap<std::string>& GetInherentOptionsSeen() const;
  const CiMap<std::string>& GetDriverSetupOptions() const;

  std::string GetPhysicalName(std::string_view name) const;
  std::string GetVirtualName(std::string_view name) const;

  bool IsModelSupported() const;
  bool IsModelInFamily(std::string_view family) const;
  bool IsModel(std::string_view model) const;
  bool ModelBelongsToFamily(std::string_view model, std::string_view family) const;

  ViStatus RestoreInitialOptions();

  // Records the code with its message template filled from `args`.
  ViStatus ReportError(ViStatus code, std::initializer_list<std::string_view> args = {});
  ViStatus ReportErrorWithElaboration(ViStatus code, std::string_view elaboration,
                                              std::initializer_list<std::string_view> args = {});
  // Records the configuration server's last error text with `code`.
  ViStatus ReportConfigStoreError(ViStatus code);

  void InvalidateAllAttributes();

  ViStatus Configure(const std::string& resource_name, const std::string& option_string);
  ViStatus ReadDriverSessionConfiguration(IviConfigHandle config_session);
  ViStatus ReadConfigurableInitialSettings(IviConfigHandle config_component);
  ViStatus ApplyInitialModelSetting();
  ViStatus ParseOptionString(const std::string& option_string);
  ViStatus ParseDriverSetup(const std::string& text);
  ViStatus ApplyDriverSetupOption(const std::string& name, const std::string& value);
  ViStatus ParseInherentOptions(const std::string& text);
  ViStatus ParseBooleanOptionValue(const std::string& name, const std::string& value, bool& target);
  ViStatus ReadVirtualNames(IviConfigHandle config_session);
  ViStatus ReadPhysicalNames(IviConfigHandle software_module);

  // Instrument I/O over VISA: open (a driver may add its own settings after
  // the base open), close, *CLS, *IDN? and the *ESR? status check.
  ViStatus OpenIo() override;
  ViStatus CloseIo() override;
  ViStatus ClearInstrumentStatus() override;
  ViStatus QueryIdentity(std::string& manufacturer, std::string& model, std::string& serial_number,
                         std::string& firmware_revision) override;
  ViStatus CheckInstrumentStatus() override;

  // The instrument's VISA session, 0 when not open.
  ViSession InstrumentSession() const { return instrument_session_; }
  AttributeCache& Cache() { return attribute_cache_; }
  std::deque<std::string>& CoercionRecords() { return coercion_records_; }
  const CiMap<std::string>& GetPhysicalNameTable() const { return physical_name_table_; }

  // Selector texts already resolved (and validated) for this session; the
  // session's names are fixed at open, so a resolution never goes stale.
  const std::vector<std::string>* ResolvedSelector(std::string_view selector) const {
    auto it = resolved_selectors_.find(selector);
    return it == resolved_selectors_.end() ? nullptr : &it->second;
  }
  void RememberResolvedSelector(std::string_view selector, const std::vector<std::string>& channels) {
    if (resolved_selectors_.size() < kMaxResolvedSelectors) resolved_selectors_.emplace(selector, channels);
  }

 protected:
  void SetInstrumentModel(std::string model) { instrument_model_ = std::move(model); }

 private:
  VisaHandle resource_manager_;
  ViSession instrument_session_ = 0;  // closed with the resource manager session
  const ViSession session_handle_;
  InherentOptions options_;
  InherentOptions initial_options_;
  const SessionSettings settings_;
  std::string option_string_;
  std::string resource_name_;
  std::string logical_name_;
  std::string resource_descriptor_;
  std::string driver_setup_;
  std::string instrument_manufacturer_;
  std::string instrument_model_;
  std::string instrument_serial_number_;
  std::string instrument_firmware_revision_;
  CiMap<std::string> inherent_options_seen_;
  CiMap<std::string> driver_setup_options_;
  CiMap<bool> initial_settings_boolean_;
  CiMap<ViInt32> initial_settings_integer_;
  CiMap<ViReal64> initial_settings_real_;
  CiMap<std::string> initial_settings_string_;
  VirtualNameTable virtual_names_;
  CiMap<std::string> physical_name_table_;
  AttributeCache attribute_cache_;
  std::deque<std::string> coercion_records_;
  static constexpr std::size_t kMaxResolvedSelectors = 256;
  std::map<std::string, std::vector<std::string>, std::less<>> resolved_selectors_;
};

}  // namespace vexo
