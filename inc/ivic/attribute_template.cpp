// SPDX-License-Identifier: MIT
// The common read and write callbacks: every attribute whose behaviour is a
// query and a command is served by these two, driven by its descriptor.
#include <string>
#include <vector>

#include "attribute.h"
#include "cache_manager.h"
#include "errors.h"
#include "driver_session.h"
#include "ivi_status.h"
#include "selector.h"
#include "visa.h"

namespace vexo {
namespace {

constexpr ViInt32 kResponseBuffer = 256;
constexpr ViInt32 kMaxStringLength = 4096;

// Reads one reply into `value` by the attribute's type; enum and boolean
// replies go through the attribute's map.
template <typename T>
ViStatus QueryValue(const AttributeDescriptor& a, ViSession vi, DriverSession& s, T& value) {
  ViSession io = s.InstrumentSession();
  if constexpr (std::is_same_v<T, ViReal64>) {
    return viQueryf(io, a.query, "%lf%*t", &value);
  } else {
    if (a.map == nullptr) {
      ViInt32 number = 0;
      ViStatus st = viQueryf(io, a.query, "%ld%*t", &number);
      value = static_cast<T>(number);
      return st;
    }
    char reply[kResponseBuffer] = "";
    ViInt32 count = kResponseBuffer;
    ViStatus st = viQueryf(io, a.query, "%#[^\n]%*t", &count, reply);
    if (st < 0) return st;
    ViInt32 converted = -1;
    ViStatus conversion = a.map->ResponseToValue(vi, reply, converted);
    if (conversion < 0) return conversion;
    value = static_cast<T>(converted);
    return st;
  }
}

// Sends the attribute's command with `value`, converted through the map when it has one.
template <typename T>
ViStatus SendValue(const AttributeDescriptor& a, ViSession vi, DriverSession& s, const T& value) {
  ViSession io = s.InstrumentSession();
  if constexpr (std::is_same_v<T, ViReal64>) {
    return viPrintf(io, a.command, value);
  } else if constexpr (std::is_same_v<T, std::string>) {
    return viPrintf(io, a.command, value.c_str());
  } else {
    if (a.map == nullptr) return viPrintf(io, a.command, static_cast<ViInt32>(value));
    std::string token;
    ViStatus st = a.map->ValueToCommand(vi, static_cast<ViInt32>(value), token);
    if (st < 0) return st;
    return viPrintf(io, a.command, token.c_str());
  }
}

template <typename T>
T SimulatedDefault(const AttributeDescriptor& a) {
  if constexpr (std::is_same_v<T, ViBoolean>) {
    return a.simulated.has_default || a.simulated.fixed ? static_cast<ViBoolean>(a.simulated.number) : VI_TRUE;
  } else {
    return static_cast<T>(a.simulated.number);
  }
}

template <typename T>
ViStatus ReadScalar(const AttributeCall& call, T* out) {
  const AttributeDescriptor& a = call.attribute;
  DriverSession& s = call.Session();
  GetterCacheManager<T> guard(s, a.id, out, call.Channel());
  if (s.GetSimulate()) {
    *out = a.simulated.fixed ? SimulatedDefault<T>(a) : guard.CachedOr(SimulatedDefault<T>(a));
    return VI_SUCCESS;
  }
  if (a.channel_based) {
    ViStatus st = SelectChannel(s, call.vi, call.Channel());
    if (st < 0) return st;
  }
  ViStatus st = QueryValue(a, call.vi, s, *out);
  if (st < 0) return st;
  return s.CheckInstrumentStatus();
}

ViStatus ReadText(const AttributeCall& call, const ReadTarget& target) {
  const AttributeDescriptor& a = call.attribute;
  DriverSession& s = call.Session();
  std::string value;
  GetterCacheManager<std::string> guard(s, a.id, &value);
  std::size_t size = target.buffer_size > 0 ? static_cast<std::size_t>(target.buffer_size) : 0;
  ViStatus st = VI_SUCCESS;
  if (s.GetSimulate()) {
    value = a.simulated.fixed ? std::string(a.simulated.text) : guard.CachedOr(a.simulated.text);
  } else {
    // The whole reply line (a string attribute is shorter than 4096), cut only for the caller.
    char reply[kMaxStringLength] = "";
    ViInt32 count = kMaxStringLength;
    st = viQueryf(s.InstrumentSession(), a.query, "%#[^\n]%*t", &count, reply);
    if (st < 0) return st;
    value = reply;
    st = s.CheckInstrumentStatus();
  }
  CopyToBuffer(value, static_cast<char*>(target.value), size);
  return st;
}

template <typename T>
ViStatus WriteValueOf(const AttributeCall& call, const T& value) {
  const AttributeDescriptor& a = call.attribute;
  DriverSession& s = call.Session();
  SetterCacheManager<T> guard(s, a.id, value, call.channels);
  if (s.GetSimulate()) return VI_SUCCESS;
  for (const std::string& channel : call.channels) {
    if (a.channel_based) {
      // A defined value is converted before the channel is selected.
      if constexpr (!std::is_same_v<T, ViReal64> && !std::is_same_v<T, std::string>) {
        if (a.map != nullptr) {
          std::string token;
          ViStatus st = a.map->ValueToCommand(call.vi, static_cast<ViInt32>(value), token);
          if (st < 0) return st;
        }
      }
      ViStatus st = SelectChannel(s, call.vi, channel);
      if (st < 0) return st;
    }
    ViStatus st = SendValue(a, call.vi, s, value);
    if (st < 0) return st;
  }
  return s.CheckInstrumentStatus();
}

}  // namespace

ViStatus TemplateRead(const AttributeCall& call, const ReadTarget& target) {
  switch (call.attribute.type) {
    case ValueType::Int32: return ReadScalar(call, static_cast<ViInt32*>(target.value));
    case ValueType::Real64: return ReadScalar(call, static_cast<ViReal64*>(target.value));
    case ValueType::Boolean: return ReadScalar(call, static_cast<ViBoolean*>(target.value));
    case ValueType::String: return ReadText(call, target);
    case ValueType::Session: break;
  }
  return ReportError(call.vi, IVI_ERROR_CANNOT_RECOVER);
}

ViStatus TemplateWrite(const AttributeCall& call, const WriteValue& v) {
  switch (call.attribute.type) {
    case ValueType::Int32: return WriteValueOf(call, v.int32);
    case ValueType::Real64: return WriteValueOf(call, v.real64);
    case ValueType::Boolean: return WriteValueOf(call, v.boolean);
    case ValueType::String: return WriteValueOf(call, std::string(v.text));
    case ValueType::Session: break;
  }
  return ReportError(call.vi, IVI_ERROR_CANNOT_RECOVER);
}

}  // namespace vexo
