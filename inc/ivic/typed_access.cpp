// Typed attribute access: look up, check the type, then the access, then call
// the attribute's callback.
#include <cstring>
#include <string>

#include "attribute.h"
#include "errors.h"
#include "frame.h"
#include "instrument.h"
#include "ivi_status.h"
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

ViStatus Get(ViSession vi, ViConstString selector, ViAttr id, ValueType type, void* value) {
  ViStatus st;
  const AttributeDescriptor* a = Dispatch(vi, id, type, true, st);
  return a == nullptr ? st : a->read(*a, vi, selector, ReadTarget{value, 0});
}

ViStatus Set(ViSession vi, ViConstString selector, ViAttr id, ValueType type, const WriteValue& value) {
  ViStatus st;
  const AttributeDescriptor* a = Dispatch(vi, id, type, false, st);
  return a == nullptr ? st : a->write(*a, vi, selector, value);
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
  if (size < 0) return a->read(*a, vi, selector, ReadTarget{value, kMaxStringAttributeLength});
  st = a->read(*a, vi, selector, ReadTarget{value, size});
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

}  // namespace vexo
