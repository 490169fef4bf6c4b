// SPDX-License-Identifier: MIT
// Typed attribute access: look up, check the type, then the access, then call
// the attribute's callback.
#include <cstring>
#include <string>
#include <vector>

#include "attribute.h"
#include "errors.h"
#include "frame.h"
#include "instrument.h"
#include "ivi_status.h"
#include "selector.h"
#include "vexo_assert.h"

namespace vexo {

const char* TypeName(ValueType type) {
  switch (type) {
    case ValueType::Int32: return "ViInt32";
    case ValueType::Real64: return "ViReal64";
    case ValueType::Boolean: return "ViBoolean";
    case ValueType::String: return "ViString";
    case ValueType::Session: return "ViSession";
  }
  return "";
}

namespace {

constexpr ViInt32 kMaxStringAttributeLength = 4096;

// The descriptor after the lookup, type and access checks; null with `status` set otherwise.
const AttributeDescriptor* Dispatch(ViSession vi, ViAttr id, ValueType type, bool reading, ViStatus& status) {
  const AttributeDescriptor* a = FindAttribute(id);
  if (a == nullptr) {
    status = ReportError(vi, IVI_ERROR_INVALID_ATTRIBUTE, {std::to_string(id)});
    return nullptr;
  }
  if (a->type != type) {
    status = ReportError(vi, IVI_ERROR_TYPES_DO_NOT_MATCH, {reading ? "Get" : "Set", TypeName(type), a->name, TypeName(a->type)});
    return nullptr;
  }
  if (reading ? a->read == nullptr : a->write == nullptr) {
    status = ReportError(vi, reading ? IVI_ERROR_IVI_ATTR_NOT_READABLE : IVI_ERROR_IVI_ATTR_NOT_WRITABLE, {a->name});
    return nullptr;
  }
  status = VI_SUCCESS;
  return a;
}

// One access, framed once by the row's framing: the session locked, the value
// pointer checked, the selector resolved (one channel for a read, every
// channel named for a write); then the row's callback.
template <typename Invoke>
ViStatus Framed(const AttributeDescriptor& a, ViSession vi, ViConstString selector, bool reading, bool value_missing,
                Invoke&& invoke) {
  if (a.framing == Framing::kNoSession) {
    if (value_missing) return ReportNullPointer(vi, a.label, "AttributeValue", 0);
    return invoke(AttributeCall{a, vi, nullptr, WithoutChannels()});
  }
  return Frame(vi, [&](DriverSession& s) -> ViStatus {
    if (value_missing && !reading) return ReportNullPointer(vi, "SetAttributeViString", "AttributeValue", 0);
    if (value_missing && a.framing != Framing::kOwnNullCheck)
      return ReportNullPointer(vi, a.label, "AttributeValue", 0);
    if (!a.channel_based || a.framing == Framing::kNoSelector)
      return invoke(AttributeCall{a, vi, &s, WithoutChannels()});
    std::vector<std::string> scratch;
    const std::vector<std::string>* channels = nullptr;
    ViStatus st = ResolveChannels(vi, selector, scratch, channels);
    if (st >= 0 && reading) st = RequireSingleChannel(vi, *channels);
    if (st < 0) return st;
    return invoke(AttributeCall{a, vi, &s, *channels});
  });
}

ViStatus Read(const AttributeDescriptor& a, ViSession vi, ViConstString selector, const ReadTarget& target) {
  return Framed(a, vi, selector, true, target.value == nullptr,
                [&](const AttributeCall& call) { return a.read(call, target); });
}

ViStatus Get(ViSession vi, ViConstString selector, ViAttr id, ValueType type, void* value) {
  ViStatus st;
  const AttributeDescriptor* a = Dispatch(vi, id, type, true, st);
  return a == nullptr ? st : Read(*a, vi, selector, ReadTarget{value, 0});
}

ViStatus Set(ViSession vi, ViConstString selector, ViAttr id, ValueType type, const WriteValue& value) {
  ViStatus st;
  const AttributeDescriptor* a = Dispatch(vi, id, type, false, st);
  if (a == nullptr) return st;
  return Framed(*a, vi, selector, false, type == ValueType::String && value.text == nullptr,
                [&](const AttributeCall& call) { return a->write(call, value); });
}

}  // namespace

ViStatus GetAttributeViInt32(ViSession vi, ViConstString selector, ViAttr id, ViInt32* value) {
  return Get(vi, selector, id, ValueType::Int32, value);
}
ViStatus GetAttributeViReal64(ViSession vi, ViConstString selector, ViAttr id, ViReal64* value) {
  return Get(vi, selector, id, ValueType::Real64, value);
}
ViStatus GetAttributeViBoolean(ViSession vi, ViConstString selector, ViAttr id, ViBoolean* value) {
  return Get(vi, selector, id, ValueType::Boolean, value);
}
ViStatus GetAttributeViSession(ViSession vi, ViConstString selector, ViAttr id, ViSession* value) {
  return Get(vi, selector, id, ValueType::Session, value);
}

ViStatus GetAttributeViString(ViSession vi, ViConstString selector, ViAttr id, ViInt32 size, ViChar value[]) {
  ViStatus st;
  const AttributeDescriptor* a = Dispatch(vi, id, ValueType::String, true, st);
  if (a == nullptr) return st;
  // A size query answers without reading, but not for a handle that names no
  // session (0 is the driver's own identity, readable without one).
  if (size == 0 && vi != VI_NULL && ResolveSession(vi) == nullptr) return IVI_ERROR_INVALID_SESSION_HANDLE;
  if (value == nullptr) {
    if (size == 0) return kMaxStringAttributeLength;
    return ReportNullPointer(vi, "GetAttributeViString", "AttributeValueBufferSize", 0);
  }
  if (size == 0) return kMaxStringAttributeLength;
  if (size < 0) return Read(*a, vi, selector, ReadTarget{value, kMaxStringAttributeLength});
  st = Read(*a, vi, selector, ReadTarget{value, size});
  if (st < 0) return st;
  std::size_t length = strnlen(value, static_cast<std::size_t>(size));
  VEXO_ASSERT(length < kMaxStringAttributeLength && "strnlen_s(AttributeValue, _TRUNCATE) < MAX_STRING_ATTRIBUTE_LENGTH");
  // A value that filled the buffer may have been cut.
  return length == static_cast<std::size_t>(size) - 1 ? kMaxStringAttributeLength : st;
}

ViStatus SetAttributeViInt32(ViSession vi, ViConstString selector, ViAttr id, ViInt32 value) {
  WriteValue v;
  v.int32 = value;
  return Set(vi, selector, id, ValueType::Int32, v);
}
ViStatus SetAttributeViReal64(ViSession vi, ViConstString selector, ViAttr id, ViReal64 value) {
  WriteValue v;
  v.real64 = value;
  return Set(vi, selector, id, ValueType::Real64, v);
}
ViStatus SetAttributeViBoolean(ViSession vi, ViConstString selector, ViAttr id, ViBoolean value) {
  WriteValue v;
  v.boolean = value;
  return Set(vi, selector, id, ValueType::Boolean, v);
}
ViStatus SetAttributeViSession(ViSession vi, ViConstString selector, ViAttr id, ViSession value) {
  WriteValue v;
  v.session = value;
  return Set(vi, selector, id, ValueType::Session, v);
}
ViStatus SetAttributeViString(ViSession vi, ViConstString selector, ViAttr id, ViConstString value) {
  WriteValue v;
  v.text = value;
  return Set(vi, selector, id, ValueType::String, v);
}

const std::vector<std::string>& WithoutChannels() {
  static const std::vector<std::string>* const none = new std::vector<std::string>{std::string()};
  return *none;
}

ViStatus ReadRow(DriverSession& session, ViSession vi, ViAttr id, const std::string& channel, const ReadTarget& target) {
  const AttributeDescriptor* a = FindAttribute(id);
  VEXO_ASSERT(a != nullptr && a->read != nullptr && target.value != nullptr);
  if (a == nullptr || a->read == nullptr) return ReportError(vi, IVI_ERROR_CANNOT_RECOVER);
  const std::vector<std::string> channels{channel};
  return a->read(AttributeCall{*a, vi, &session, channels}, target);
}

ViStatus WriteRow(DriverSession& session, ViSession vi, ViAttr id, const std::vector<std::string>& channels,
                  const WriteValue& value) {
  const AttributeDescriptor* a = FindAttribute(id);
  VEXO_ASSERT(a != nullptr && a->write != nullptr);
  if (a == nullptr || a->write == nullptr) return ReportError(vi, IVI_ERROR_CANNOT_RECOVER);
  return a->write(AttributeCall{*a, vi, &session, channels}, value);
}

}  // namespace vexo
