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
using vexo::Frame;

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

ViStatus ReadInherentFlag(const AttributeDescriptor& a, ViSession vi, ViConstString, const ReadTarget& t) {
  return Frame(vi, [&](DriverSession& s) -> ViStatus {
    auto* value = static_cast<ViBoolean*>(t.value);
    if (value == nullptr) return vexo::ReportNullPointer(vi, a.label, "AttributeValue", 0);
    *value = (s.*FlagOf(a.id).get)() ? VI_TRUE : VI_FALSE;
    return VI_SUCCESS;
  });
}

ViStatus WriteInherentFlag(const AttributeDescriptor& a, ViSession vi, ViConstString, const WriteValue& v) {
  return Frame(vi, [&](DriverSession& s) -> ViStatus {
    if (a.id == ZEVRA_ATTR_SIMULATE && s.GetInitialSimulate() && v.boolean != VI_TRUE) {
      // A session opened simulated has no instrument to turn to.
      return s.ReportError(IVI_ERROR_CANNOT_CHANGE_SIMULATION_STATE);
    }
    if (a.id == ZEVRA_ATTR_INTERCHANGE_CHECK && v.boolean == VI_TRUE) {
      return s.ReportErrorWithElaboration(IVI_ERROR_VALUE_NOT_SUPPORTED,
                                          "Interchange checking is not supported by the driver.",
                                          {"True", "AttributeValue", "SetAttributeViBoolean"});
    }
    (s.*FlagOf(a.id).set)(v.boolean == VI_TRUE);
    return VI_SUCCESS;
  });
}

ViStatus ReadSessionText(const AttributeDescriptor& a, ViSession vi, ViConstString, const ReadTarget& t) {
  return Frame(vi, [&](DriverSession& s) -> ViStatus {
    char* buffer = static_cast<char*>(t.value);
    if (buffer == nullptr) return vexo::ReportNullPointer(vi, a.label, "AttributeValue", 0);
    std::string text;
    switch (a.id) {
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
    vexo::CopyToBuffer(text, buffer, t.buffer_size > 0 ? static_cast<std::size_t>(t.buffer_size) : 0);
    return VI_SUCCESS;
  });
}

// The driver's fixed identity: no session needed, so any handle (even 0) reads it.
ViStatus ReadDriverIdentity(const AttributeDescriptor& a, ViSession vi, ViConstString, const ReadTarget& t) {
  if (t.value == nullptr) return vexo::ReportNullPointer(vi, a.label, "AttributeValue", 0);
  const vexo::DriverIdentity& id = vexo::Identity();
  if (a.type == vexo::ValueType::Int32) {
    *static_cast<ViInt32*>(t.value) = a.id == ZEVRA_ATTR_SPECIFIC_DRIVER_CLASS_SPEC_MAJOR_VERSION
                                          ? id.class_spec_major_version
                                          : id.class_spec_minor_version;
    return VI_SUCCESS;
  }
  std::string text;
  switch (a.id) {
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

ViStatus ReadChannelCount(const AttributeDescriptor& a, ViSession vi, ViConstString, const ReadTarget& t) {
  return Frame(vi, [&](DriverSession&) -> ViStatus {
    if (t.value == nullptr) return vexo::ReportNullPointer(vi, a.label, "AttributeValue", 0);
    *static_cast<ViInt32*>(t.value) = static_cast<ViInt32>(vexo::PhysicalNames(vi).size());
    return VI_SUCCESS;
  });
}

ViStatus ReadIoSession(const AttributeDescriptor& a, ViSession vi, ViConstString, const ReadTarget& t) {
  return Frame(vi, [&](DriverSession& s) -> ViStatus {
    if (t.value == nullptr) return vexo::ReportNullPointer(vi, a.label, "AttributeValue", 0);
    if (s.GetSimulate()) return RefuseInSimulation(s);
    *static_cast<ViSession*>(t.value) = s.InstrumentSession();
    return VI_SUCCESS;
  });
}

ViStatus ReadIoTimeout(const AttributeDescriptor& a, ViSession vi, ViConstString, const ReadTarget& t) {
  return Frame(vi, [&](DriverSession& s) -> ViStatus {
    if (t.value == nullptr) return vexo::ReportNullPointer(vi, a.label, "AttributeValue", 0);
    if (s.GetSimulate()) return RefuseInSimulation(s);
    ViUInt32 timeout = 0;
    ViStatus st = viGetAttribute(s.InstrumentSession(), VI_ATTR_TMO_VALUE, &timeout);
    if (st >= 0) *static_cast<ViInt32*>(t.value) = static_cast<ViInt32>(timeout);
    return st;
  });
}

ViStatus WriteIoTimeout(const AttributeDescriptor&, ViSession vi, ViConstString, const WriteValue& v) {
  return Frame(vi, [&](DriverSession& s) -> ViStatus {
    if (s.GetSimulate()) return RefuseInSimulation(s);
    return viSetAttribute(s.InstrumentSession(), VI_ATTR_TMO_VALUE, static_cast<ViUInt32>(v.int32));
  });
}

ViStatus ReadCurrentLimitBehavior(const AttributeDescriptor& a, ViSession vi, ViConstString selector,
                                  const ReadTarget& t) {
  return Frame(vi, [&](DriverSession& s) -> ViStatus {
    if (t.value == nullptr) return vexo::ReportNullPointer(vi, a.label, "AttributeValue", 0);
    std::string channel;
    ViStatus st = vexo::ResolveSingleSelector(vi, selector, channel);
    if (st < 0) return st;
    *static_cast<ViInt32*>(t.value) = Zevra(s).CurrentLimitBehavior()[channel];
    return VI_SUCCESS;
  });
}

ViStatus WriteCurrentLimitBehavior(const AttributeDescriptor&, ViSession vi, ViConstString selector,
                                   const WriteValue& v) {
  return Frame(vi, [&](DriverSession& s) -> ViStatus {
    std::vector<std::string> channels;
    ViStatus st = vexo::ResolveSelector(vi, selector, true, channels);
    if (st < 0) return st;
    for (const std::string& channel : channels) Zevra(s).CurrentLimitBehavior()[channel] = v.int32;
    return VI_SUCCESS;
  });
}

ViStatus ReadCurrentLimit(const AttributeDescriptor& a, ViSession vi, ViConstString selector, const ReadTarget& t) {
  return Frame(vi, [&](DriverSession&) -> ViStatus {
    if (t.value == nullptr) return vexo::ReportNullPointer(vi, a.label, "AttributeValue", 0);
    std::string channel;
    ViStatus st = vexo::ResolveSingleSelector(vi, selector, channel);
    if (st >= 0) st = vexo::SelectChannel(vi, channel);
    ViInt32 behavior = 0;
    if (st >= 0) st = vexo::GetAttributeViInt32(vi, selector, ZEVRA_ATTR_CURRENT_LIMIT_BEHAVIOR, &behavior);
    if (st < 0) return st;
    // Both level attributes act on the channel just selected.
    ViAttr level = behavior == 1 ? ZEVRA_ATTR_CURRENT_PROTECTION_LEVEL : ZEVRA_ATTR_CURRENT_LEVEL;
    return vexo::GetAttributeViReal64(vi, selector, level, static_cast<ViReal64*>(t.value));
  });
}

ViStatus WriteCurrentLimit(const AttributeDescriptor& a, ViSession vi, ViConstString selector, const WriteValue& v) {
  return Frame(vi, [&](DriverSession& s) -> ViStatus {
    std::vector<std::string> channels;
    ViStatus st = vexo::ResolveSelector(vi, selector, true, channels);
    if (st < 0) return st;
    vexo::SetterCacheManager<ViReal64> guard(vi, a.id, v.real64, channels);
    if (s.GetSimulate()) return VI_SUCCESS;
    return vexo::ForEachChannel(vi, channels, [&](const std::string& channel) {
      ViInt32 behavior = 0;
      ViStatus got = vexo::GetAttributeViInt32(vi, channel.c_str(), ZEVRA_ATTR_CURRENT_LIMIT_BEHAVIOR, &behavior);
      if (got < 0) return got;
      ViAttr level = behavior == 1 ? ZEVRA_ATTR_CURRENT_PROTECTION_LEVEL : ZEVRA_ATTR_CURRENT_LEVEL;
      return vexo::SetAttributeViReal64(vi, nullptr, level, v.real64);
    });
  });
}

ViStatus ReadOvpEnabled(const AttributeDescriptor& a, ViSession vi, ViConstString selector, const ReadTarget& t) {
  return Frame(vi, [&](DriverSession&) -> ViStatus {
    if (t.value == nullptr) return vexo::ReportNullPointer(vi, a.label, "AttributeValue", 0);
    std::string channel;
    ViStatus st = vexo::ResolveSingleSelector(vi, selector, channel);
    if (st < 0) return st;
    *static_cast<ViBoolean*>(t.value) = VI_TRUE;  // protection is always on
    return VI_SUCCESS;
  });
}

ViStatus WriteOvpEnabled(const AttributeDescriptor&, ViSession vi, ViConstString selector, const WriteValue& v) {
  return Frame(vi, [&](DriverSession& s) -> ViStatus {
    std::vector<std::string> channels;
    ViStatus st = vexo::ResolveSelector(vi, selector, true, channels);
    if (st < 0) return st;
    if (v.boolean == VI_TRUE) return VI_SUCCESS;
    return s.ReportError(IVI_ERROR_VALUE_NOT_SUPPORTED, {"VI_FALSE", "AttributeValue", "OVP_ENABLED"});
  });
}

ViStatus ReadOvpLimit(const AttributeDescriptor&, ViSession vi, ViConstString selector, const ReadTarget& t) {
  return Frame(vi, [&](DriverSession&) -> ViStatus {
    std::string channel;
    ViStatus st = vexo::ResolveSingleSelector(vi, selector, channel);
    if (st >= 0) st = vexo::SelectChannel(vi, channel);
    if (st < 0) return st;
    if (t.value == nullptr) return vexo::ReportNullPointer(vi, "ZEVRA_GetAttributeViReal64", "AttributeValue", 0);
    return vexo::GetAttributeViReal64(vi, selector, ZEVRA_ATTR_VOLTAGE_PROTECTION_LEVEL,
                                      static_cast<ViReal64*>(t.value));
  });
}

ViStatus WriteOvpLimit(const AttributeDescriptor&, ViSession vi, ViConstString selector, const WriteValue& v) {
  return Frame(vi, [&](DriverSession&) -> ViStatus {
    std::vector<std::string> channels;
    ViStatus st = vexo::ResolveSelector(vi, selector, true, channels);
    if (st < 0) return st;
    st = vexo::ForEachChannel(vi, channels, [&](const std::string&) {
      return vexo::SetAttributeViReal64(vi, selector, ZEVRA_ATTR_VOLTAGE_PROTECTION_LEVEL, v.real64);
    });
    return st < 0 ? st : VI_SUCCESS;
  });
}

ViStatus ReadTriggerSource(const AttributeDescriptor& a, ViSession vi, ViConstString selector, const ReadTarget& t) {
  return Frame(vi, [&](DriverSession& s) -> ViStatus {
    auto* value = static_cast<ViInt32*>(t.value);
    if (value == nullptr) return vexo::ReportNullPointer(vi, a.label, "AttributeValue", 0);
    std::string channel;
    ViStatus st = vexo::ResolveSingleSelector(vi, selector, channel);
    if (st < 0) return st;
    vexo::GetterCacheManager<ViInt32> guard(vi, a.id, value, channel);
    if (s.GetSimulate()) {
      *value = guard.CachedOr(ZEVRA_VAL_TRIG_IMMEDIATE);
      return VI_SUCCESS;
    }
    ViInt32 instrument = -1;
    st = vexo::SelectChannel(vi, channel);
    if (st >= 0) st = vexo::GetAttributeViInt32(vi, nullptr, ZEVRA_ATTR_LIST_TRIGGER_SOURCE, &instrument);
    if (st < 0) return st;
    for (const TriggerPair& p : kTriggerSources) {
      if (p.instrument_value == instrument) {
        *value = p.class_value;
        return s.CheckInstrumentStatus();
      }
    }
    return s.ReportErrorWithElaboration(IVI_ERROR_UNEXPECTED_RESPONSE, "Unexpected trigger source.");
  });
}

ViStatus WriteTriggerSource(const AttributeDescriptor& a, ViSession vi, ViConstString selector, const WriteValue& v) {
  return Frame(vi, [&](DriverSession& s) -> ViStatus {
    std::vector<std::string> channels;
    ViStatus st = vexo::ResolveSelector(vi, selector, true, channels);
    if (st < 0) return st;
    vexo::SetterCacheManager<ViInt32> guard(vi, a.id, v.int32, channels);
    if (s.GetSimulate()) return VI_SUCCESS;
    return vexo::ForEachChannel(vi, channels, [&](const std::string&) -> ViStatus {
      const TriggerPair* pair = nullptr;
      for (const TriggerPair& p : kTriggerSources) {
        if (p.class_value == v.int32) pair = &p;
      }
      if (pair == nullptr) {
        return s.ReportError(IVI_ERROR_VALUE_NOT_SUPPORTED,
                             {TriggerSourceMap().ValueToName(v.int32), "AttributeValue", "TRIGGER_SOURCE"});
      }
      ViStatus set = vexo::SetAttributeViInt32(vi, nullptr, ZEVRA_ATTR_LIST_TRIGGER_SOURCE, pair->instrument_value);
      return set < 0 ? set : s.CheckInstrumentStatus();
    });
  });
}

ViStatus ReadNotSupported(const AttributeDescriptor& a, ViSession vi, ViConstString, const ReadTarget& t) {
  return Frame(vi, [&](DriverSession&) -> ViStatus {
    if (t.value == nullptr) return vexo::ReportNullPointer(vi, a.label, "AttributeValue", 0);
    return IVI_ERROR_ATTRIBUTE_NOT_SUPPORTED;
  });
}

ViStatus WriteNotSupported(const AttributeDescriptor&, ViSession vi, ViConstString, const WriteValue&) {
  return Frame(vi, [](DriverSession&) -> ViStatus { return IVI_ERROR_ATTRIBUTE_NOT_SUPPORTED; });
}

}  // namespace zevra
