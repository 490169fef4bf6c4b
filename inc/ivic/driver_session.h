// The runtime's driver session: all state of one open session and the
// operations every part of the driver reaches it through.
#pragma once

#include <deque>
#include <map>
#include <vector>
#include <string>
#include <string_view>

#include "attribute_cache.h"
#include "ci_map.h"
#include "virtual_names.h"
#include "visa_session.h"
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

class DriverSession : public VisaSession<DriverSession> {
 public:
  DriverSession(ViSession session_handle, ViUInt32 open_timeout, ViUInt32 self_test_timeout,
                ViUInt32 reset_timeout, bool interchange_check_supported, ViUInt32 fifth_value);
  ~DriverSession() override;
  DriverSession(const DriverSession&) = delete;
  DriverSession& operator=(const DriverSession&) = delete;

  virtual ViStatus Initialize(const std::string& resource_name, bool id_query, bool reset,
                              const std::string& option_string);
  virtual ViStatus Close();
  virtual ViSession GetSessionHandle() const;

  virtual bool GetCache() const;
  virtual bool GetInterchangeCheck() const;
  virtual bool GetQueryInstrStatus() const;
  virtual bool GetRangeCheck() const;
  virtual bool GetRecordCoercions() const;
  virtual bool GetSimulate() const;
  virtual bool GetInitialCache() const;
  virtual bool GetInitialInterchangeCheck() const;
  virtual bool GetInitialQueryInstrStatus() const;
  virtual bool GetInitialRangeCheck() const;
  virtual bool GetInitialRecordCoercions() const;
  virtual bool GetInitialSimulate() const;
  virtual void SetCache(bool value);
  virtual void SetInterchangeCheck(bool value);
  virtual void SetQueryInstrStatus(bool value);
  virtual void SetRangeCheck(bool value);
  virtual void SetRecordCoercions(bool value);
  virtual void SetSimulate(bool value);

  virtual const std::string& GetOptionString() const;
  virtual const std::string& GetResourceName() const;
  virtual const std::string& GetLogicalName() const;
  virtual const std::string& GetResourceDescriptor() const;
  virtual const std::string& GetDriverSetup() const;
  virtual const std::string& GetInstrumentManufacturer() const;
  virtual const std::string& GetInstrumentModel() const;
  virtual const std::string& GetInstrumentSerialNumber() const;
  virtual const std::string& GetInstrumentFirmwareRevision() const;

  virtual ViUInt32 GetOpenTimeout() const;
  virtual ViUInt32 GetSelfTestTimeout() const;
  virtual ViUInt32 GetResetTimeout() const;
  virtual bool GetInterchangeCheckSupported() const;
  virtual ViUInt32 GetFifthValue() const;

  virtual bool GetDriverSetupOption(std::string_view name, std::string& value) const;
  virtual bool GetInitialSettingBoolean(std::string_view name, bool& value) const;
  virtual bool GetInitialSettingInteger(std::string_view name, ViInt32& value) const;
  virtual bool GetInitialSettingReal(std::string_view name, ViReal64& value) const;
  virtual bool GetInitialSettingString(std::string_view name, std::string& value) const;

  virtual const CiMap<bool>& GetInitialSettingsBoolean() const;
  virtual const CiMap<ViInt32>& GetInitialSettingsInteger() const;
  virtual const CiMap<ViReal64>& GetInitialSettingsReal() const;
  virtual const CiMap<std::string>& GetInitialSettingsString() const;
  virtual const CiMap<std::string>& GetInherentOptionsSeen() const;
  virtual const CiMap<std::string>& GetDriverSetupOptions() const;

  virtual std::string GetPhysicalName(std::string_view name) const;
  virtual std::string GetVirtualName(std::string_view name) const;

  virtual bool IsModelSupported() const;
  virtual bool IsModelInFamily(std::string_view family) const;
  virtual bool IsModel(std::string_view model) const;
  virtual bool ModelBelongsToFamily(std::string_view model, std::string_view family) const;

  virtual ViStatus RestoreInitialOptions();

  // Records the code with its message template filled from `args`.
  virtual ViStatus ReportError(ViStatus code, std::initializer_list<std::string_view> args = {});
  virtual ViStatus ReportErrorWithElaboration(ViStatus code, std::string_view elaboration,
                                              std::initializer_list<std::string_view> args = {});
  // Records the configuration server's last error text with `code`.
  virtual ViStatus ReportConfigStoreError(ViStatus code);

  virtual void InvalidateAllAttributes();

  virtual ViStatus Configure(const std::string& resource_name, const std::string& option_string);
  virtual ViStatus ReadDriverSessionConfiguration(ViUInt32 config_session);
  virtual ViStatus ReadConfigurableInitialSettings(ViUInt32 config_component);
  virtual ViStatus ApplyInitialModelSetting();
  virtual ViStatus ParseOptionString(const std::string& option_string);
  virtual ViStatus ParseDriverSetup(const std::string& text);
  virtual ViStatus ApplyDriverSetupOption(const std::string& name, const std::string& value);
  virtual ViStatus ParseInherentOptions(const std::string& text);
  virtual ViStatus ParseBooleanOptionValue(const std::string& name, const std::string& value, bool& target);
  virtual ViStatus ReadVirtualNames(ViUInt32 config_session);
  virtual ViStatus ReadPhysicalNames(ViUInt32 software_module);

  // The VISA sessions (resource manager, instrument), 0 when not open.
  ViSession& ResourceManagerSession() { return resource_manager_session_; }
  ViSession& InstrumentSession() { return instrument_session_; }
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
  ViSession resource_manager_session_ = 0;
  ViSession instrument_session_ = 0;
  const ViSession session_handle_;
  InherentOptions options_;
  InherentOptions initial_options_;
  const ViUInt32 open_timeout_;
  const ViUInt32 self_test_timeout_;
  const ViUInt32 reset_timeout_;
  const bool interchange_check_supported_;
  const ViUInt32 fifth_value_;
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
