// SPDX-License-Identifier: MIT
#include "special_attributes.h"

#include <string>
#include <vector>

#include "Vexo"
#include "ZEVRA.h"
#include "attribute_registry.h"
#include "cache_manager.h"
#include "enum_maps.h"
#include "selector.h"
#include "visa.h"
#include "zevra_driver_session.h"

namespace zevra {
namespace {

using vexo::DriverSession;

ViStatus RefuseInSimulation(DriverSession& s) {
  return s.ReportErrorWithElaboration(ZEVRA_ERROR_IO, "Direct I/O operations are not available in simulation mode.");
}

// The inherent option flags, by attribute.
struct FlagAccess {
  ViAttr id;
  bool (DriverSession::*get)() const;
  void (DriverSession::*set)(bool);
};
constexpr FlagAccess kFlags[] = {
    {ZEVRA_ATTR_RANGE_CHECK, &DriverSession::GetRangeCheck, &DriverSession::SetRangeCheck},
    {ZEVRA_ATTR_QUERY_INSTRUMENT_STATUS, &DriverSession::GetQueryInstrStatus, &DriverSession::SetQueryInstrStatus},
    {ZEVRA_ATTR_CACHE, &DriverSession::GetCache, &DriverSession::SetCache},
    {ZEVRA_ATTR_SIMULATE, &DriverSession::GetSimulate, &DriverSession::SetSimulate},
    {ZEVRA_ATTR_RECORD_COERCIONS, &DriverSession::GetRecordCoercions, &DriverSession::SetRecordCoercions},
    {ZEVRA_ATTR_INTERCHANGE_CHECK, &DriverSession::GetInterchangeCheck, &DriverSession::SetInterchangeCheck},
};

const FlagAccess& FlagOf(ViAttr id) {
  for (const FlagAccess& f : kFlags) {
    if (f.id == id) return f;
  }
  VEXO_ASSERT(!"an inherent flag attribute");
  return kFlags[0];
}

std::string SupportedModels() {
  std::string models;
  for (const auto& [model, family] : vexo::ModelFamilyTable()) models += (models.empty() ? "" : ",") + model;
  return models;
}

ZEVRADriverSession& Zevra(DriverSession& s) { return static_cast<ZEVRADriverSession&>(s); }

// Class trigger source <-> instrument (list) trigger source.
struct TriggerPair {
  ViInt32 class_value;
  ViInt32 instrument_value;
};
constexpr TriggerPair kTriggerSources[] = {
    {ZEVRA_VAL_TRIG_IMMEDIATE, ZEVRA_VAL_SPECIFIC_TRIGGER_SOURCE_MANUAL},
    {ZEVRA_VAL_TRIG_EXTERNAL, ZEVRA_VAL_SPECIFIC_TRIGGER_SOURCE_DIGITAL_IO},
    {ZEVRA_VAL_SOFTWARE_TRIG, ZEVRA_VAL_SPECIFIC_TRIGGER_SOURCE_REMOTE},
};

}  // namespace

ViStatus ReadInherentFlag(const AttributeCall& call, const ReadTarget& t) {
  *static_cast<ViBoolean*>(t.value) = (call.Session().*FlagOf(call.attribute.id).get)() ? VI_TRUE : VI_FALSE;
  return VI_SUCCESS;
}

ViStatus WriteInherentFlag(const AttributeCall& call, const WriteValue& v) {
  DriverSession& s = call.Session();
  const ViAttr id = call.attribute.id;
  if (id == ZEVRA_ATTR_SIMULATE && s.GetInitialSimulate() && v.boolean != VI_TRUE) {
    // A session opened simulated has no instrument to turn to.
    return s.ReportError(IVI_ERROR_CANNOT_CHANGE_SIMULATION_STATE);
  }
  if (id == ZEVRA_ATTR_INTERCHANGE_CHECK && v.boolean == VI_TRUE) {
    return s.ReportErrorWithElaboration(IVI_ERROR_VALUE_NOT_SUPPORTED,
                                        "Interchange checking is not supported by the driver.",
                                        {"True", "AttributeValue", "SetAttributeViBoolean"});
  }
  (s.*FlagOf(id).set)(v.boolean == VI_TRUE);
  return VI_SUCCESS;
}

ViStatus ReadSessionText(const AttributeCall& call, const ReadTarget& t) {
  DriverSession& s = call.Session();
  std::string text;
  switch (call.attribute.id) {
    case ZEVRA_ATTR_DRIVER_SETUP: text = s.GetDriverSetup(); break;
    case ZEVRA_ATTR_IO_RESOURCE_DESCRIPTOR: text = s.GetResourceDescriptor(); break;
    case ZEVRA_ATTR_LOGICAL_NAME: text = s.GetLogicalName(); break;
    case ZEVRA_ATTR_INSTRUMENT_MODEL: text = s.GetInstrumentModel(); break;
    case ZEVRA_ATTR_INSTRUMENT_MANUFACTURER:
      text = s.GetSimulate() ? vexo::Identity().vendor : s.GetInstrumentManufacturer();
      break;
    case ZEVRA_ATTR_INSTRUMENT_FIRMWARE_REVISION:
      text = s.GetSimulate() ? std::string("Sim") + vexo::Identity().revision : s.GetInstrumentFirmwareRevision();
      break;
    default: break;
  }
  vexo::CopyToBuffer(text, static_cast<char*>(t.value), t.buffer_size > 0 ? static_cast<std::size_t>(t.buffer_size) : 0);
  return VI_SUCCESS;
}

// The driver's fixed identity: framed without a session, so any handle (even 0) reads it.
ViStatus ReadDriverIdentity(const AttributeCall& call, const ReadTarget& t) {
  const vexo::DriverIdentity& id = vexo::Identity();
  const ViAttr attribute = call.attribute.id;
  if (call.attribute.type == vexo::ValueType::Int32) {
    *static_cast<ViInt32*>(t.value) = attribute == ZEVRA_ATTR_SPECIFIC_DRIVER_CLASS_SPEC_MAJOR_VERSION
                                          ? id.class_spec_major_version
                                          : id.class_spec_minor_version;
    return VI_SUCCESS;
  }
  std::string text;
  switch (attribute) {
    case ZEVRA_ATTR_SPECIFIC_DRIVER_PREFIX: text = id.prefix; break;
    case ZEVRA_ATTR_SPECIFIC_DRIVER_VENDOR: text = id.vendor; break;
    case ZEVRA_ATTR_SPECIFIC_DRIVER_DESCRIPTION: text = id.description; break;
    case ZEVRA_ATTR_SPECIFIC_DRIVER_REVISION: text = id.revision; break;
    case ZEVRA_ATTR_GROUP_CAPABILITIES: text = id.group_capabilities; break;
    case ZEVRA_ATTR_SUPPORTED_INSTRUMENT_MODELS: text = SupportedModels(); break;
    default: break;
  }
  vexo::CopyToBuffer(text, static_cast<char*>(t.value), t.buffer_size > 0 ? static_cast<std::size_t>(t.buffer_size) : 0);
  return VI_SUCCESS;
}

ViStatus ReadChannelCount(const AttributeCall& call, const ReadTarget& t) {
  *static_cast<ViInt32*>(t.value) = static_cast<ViInt32>(vexo::PhysicalNames(call.vi).size());
  return VI_SUCCESS;
}

ViStatus ReadIoSession(const AttributeCall& call, const ReadTarget& t) {
  DriverSession& s = call.Session();
  if (s.GetSimulate()) return RefuseInSimulation(s);
  *static_cast<ViSession*>(t.value) = s.InstrumentSession();
  return VI_SUCCESS;
}

ViStatus ReadIoTimeout(const AttributeCall& call, const ReadTarget& t) {
  DriverSession& s = call.Session();
  if (s.GetSimulate()) return RefuseInSimulation(s);
  ViUInt32 timeout = 0;
  ViStatus st = viGetAttribute(s.InstrumentSession(), VI_ATTR_TMO_VALUE, &timeout);
  if (st >= 0) *static_cast<ViInt32*>(t.value) = static_cast<ViInt32>(timeout);
  return st;
}

ViStatus WriteIoTimeout(const AttributeCall& call, const WriteValue& v) {
  DriverSession& s = call.Session();
  if (s.GetSimulate()) return RefuseInSimulation(s);
  return viSetAttribute(s.InstrumentSession(), VI_ATTR_TMO_VALUE, static_cast<ViUInt32>(v.int32));
}

ViStatus ReadCurrentLimitBehavior(const AttributeCall& call, const ReadTarget& t) {
  *static_cast<ViInt32*>(t.value) = Zevra(call.Session()).CurrentLimitBehavior()[call.Channel()];
  return VI_SUCCESS;
}

ViStatus WriteCurrentLimitBehavior(const AttributeCall& call, const WriteValue& v) {
  for (const std::string& channel : call.channels) Zevra(call.Session()).CurrentLimitBehavior()[channel] = v.int32;
  return VI_SUCCESS;
}

// The level attribute that holds a channel's current limit, by its behaviour.
ViStatus CurrentLimitLevel(const AttributeCall& call, const std::string& channel, ViAttr& level) {
  ViInt32 behavior = 0;
  ViStatus st = vexo::ReadRow(call.Session(), call.vi, ZEVRA_ATTR_CURRENT_LIMIT_BEHAVIOR, channel, &behavior);
  level = behavior == 1 ? ZEVRA_ATTR_CURRENT_PROTECTION_LEVEL : ZEVRA_ATTR_CURRENT_LEVEL;
  return st;
}

ViStatus ReadCurrentLimit(const AttributeCall& call, const ReadTarget& t) {
  ViAttr level = 0;
  ViStatus st = vexo::SelectChannel(call.Session(), call.vi, call.Channel());
  if (st >= 0) st = CurrentLimitLevel(call, call.Channel(), level);
  if (st < 0) return st;
  // Both level attributes act on the channel just selected.
  return vexo::ReadRow(call.Session(), call.vi, level, "", t);
}

ViStatus WriteCurrentLimit(const AttributeCall& call, const WriteValue& v) {
  DriverSession& s = call.Session();
  vexo::SetterCacheManager<ViReal64> guard(s, call.attribute.id, v.real64, call.channels);
  if (s.GetSimulate()) return VI_SUCCESS;
  return vexo::ForEachChannel(s, call.vi, call.channels, [&](const std::string& channel) {
    ViAttr level = 0;
    ViStatus st = CurrentLimitLevel(call, channel, level);
    return st < 0 ? st : vexo::WriteRow(s, call.vi, level, vexo::WithoutChannels(), v);
  });
}

ViStatus ReadOvpEnabled(const AttributeCall&, const ReadTarget& t) {
  *static_cast<ViBoolean*>(t.value) = VI_TRUE;  // protection is always on
  return VI_SUCCESS;
}

ViStatus WriteOvpEnabled(const AttributeCall& call, const WriteValue& v) {
  if (v.boolean == VI_TRUE) return VI_SUCCESS;
  return call.Session().ReportError(IVI_ERROR_VALUE_NOT_SUPPORTED, {"VI_FALSE", "AttributeValue", "OVP_ENABLED"});
}

// Framed with its own null check: the channel is selected before the pointer is looked at.
ViStatus ReadOvpLimit(const AttributeCall& call, const ReadTarget& t) {
  ViStatus st = vexo::SelectChannel(call.Session(), call.vi, call.Channel());
  if (st < 0) return st;
  if (t.value == nullptr) return vexo::ReportNullPointer(call.vi, "ZEVRA_GetAttributeViReal64", "AttributeValue", 0);
  return vexo::ReadRow(call.Session(), call.vi, ZEVRA_ATTR_VOLTAGE_PROTECTION_LEVEL, "", t);
}

ViStatus WriteOvpLimit(const AttributeCall& call, const WriteValue& v) {
  ViStatus st = vexo::ForEachChannel(call.Session(), call.vi, call.channels, [&](const std::string&) {
    return vexo::WriteRow(call.Session(), call.vi, ZEVRA_ATTR_VOLTAGE_PROTECTION_LEVEL, vexo::WithoutChannels(), v);
  });
  return st < 0 ? st : VI_SUCCESS;
}

ViStatus ReadTriggerSource(const AttributeCall& call, const ReadTarget& t) {
  DriverSession& s = call.Session();
  auto* value = static_cast<ViInt32*>(t.value);
  vexo::GetterCacheManager<ViInt32> guard(s, call.attribute.id, value, call.Channel());
  if (s.GetSimulate()) {
    *value = guard.CachedOr(ZEVRA_VAL_TRIG_IMMEDIATE);
    return VI_SUCCESS;
  }
  ViInt32 instrument = -1;
  ViStatus st = vexo::SelectChannel(s, call.vi, call.Channel());
  if (st >= 0) st = vexo::ReadRow(s, call.vi, ZEVRA_ATTR_LIST_TRIGGER_SOURCE, "", &instrument);
  if (st < 0) return st;
  for (const TriggerPair& p : kTriggerSources) {
    if (p.instrument_value == instrument) {
      *value = p.class_value;
      return s.CheckInstrumentStatus();
    }
  }
  return s.ReportErrorWithElaboration(IVI_ERROR_UNEXPECTED_RESPONSE, "Unexpected trigger source.");
}

ViStatus WriteTriggerSource(const AttributeCall& call, const WriteValue& v) {
  DriverSession& s = call.Session();
  vexo::SetterCacheManager<ViInt32> guard(s, call.attribute.id, v.int32, call.channels);
  if (s.GetSimulate()) return VI_SUCCESS;
  return vexo::ForEachChannel(s, call.vi, call.channels, [&](const std::string&) -> ViStatus {
    const TriggerPair* pair = nullptr;
    for (const TriggerPair& p : kTriggerSources) {
      if (p.class_value == v.int32) pair = &p;
    }
    if (pair == nullptr) {
      return s.ReportError(IVI_ERROR_VALUE_NOT_SUPPORTED,
                           {TriggerSourceMap().ValueToName(v.int32), "AttributeValue", "TRIGGER_SOURCE"});
    }
    WriteValue instrument;
    instrument.int32 = pair->instrument_value;
    ViStatus set = vexo::WriteRow(s, call.vi, ZEVRA_ATTR_LIST_TRIGGER_SOURCE, vexo::WithoutChannels(), instrument);
    return set < 0 ? set : s.CheckInstrumentStatus();
  });
}

// Framed without a selector: a feature this instrument lacks looks at no channel.
ViStatus ReadNotSupported(const AttributeCall&, const ReadTarget&) { return IVI_ERROR_ATTRIBUTE_NOT_SUPPORTED; }
ViStatus WriteNotSupported(const AttributeCall&, const WriteValue&) { return IVI_ERROR_ATTRIBUTE_NOT_SUPPORTED; }

}  // namespace zevra
