// SPDX-License-Identifier: MIT
// Typed attribute access and the generated ZEVRA_Get<Name>/ZEVRA_Set<Name>
// functions of the instrument-specific attributes.
#include "Vexo"
#include "ZEVRA.h"
#include "attribute.h"
#include "attribute_list.h"

namespace {

// Scalar getters test the value pointer and name the typed function that would have.
template <typename T>
ViStatus GetScalar(ViSession vi, ViConstString selector, ViAttr id, T* value, const char* function,
                   ViStatus (*getter)(ViSession, ViConstString, ViAttr, T*)) {
  return vexo::Guarded(vi, [&] {
    if (value == nullptr) return vexo::ReportNullPointer(vi, function, "AttributeValue", 0);
    return getter(vi, selector, id, value);
  });
}

template <typename Call>
ViStatus Safely(ViSession vi, Call&& call) {
  return vexo::Guarded(vi, std::forward<Call>(call));
}

}  // namespace

extern "C" {

ViStatus ZEVRA_GetAttributeViInt32(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                   ViInt32* AttributeValue) {
  return GetScalar(Vi, RepCapIdentifier, AttributeID, AttributeValue, "ZEVRA_GetAttributeViInt32",
                   vexo::GetAttributeViInt32);
}
ViStatus ZEVRA_GetAttributeViReal64(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                    ViReal64* AttributeValue) {
  return GetScalar(Vi, RepCapIdentifier, AttributeID, AttributeValue, "ZEVRA_GetAttributeViReal64",
                   vexo::GetAttributeViReal64);
}
ViStatus ZEVRA_GetAttributeViBoolean(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                     ViBoolean* AttributeValue) {
  return GetScalar(Vi, RepCapIdentifier, AttributeID, AttributeValue, "ZEVRA_GetAttributeViBoolean",
                   vexo::GetAttributeViBoolean);
}
ViStatus ZEVRA_GetAttributeViSession(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                     ViSession* AttributeValue) {
  return GetScalar(Vi, RepCapIdentifier, AttributeID, AttributeValue, "ZEVRA_GetAttributeViSession",
                   vexo::GetAttributeViSession);
}
ViStatus ZEVRA_GetAttributeViString(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                    ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]) {
  return Safely(Vi, [&] {
    return vexo::GetAttributeViString(Vi, RepCapIdentifier, AttributeID, AttributeValueBufferSize, AttributeValue);
  });
}
ViStatus ZEVRA_SetAttributeViInt32(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                   ViInt32 AttributeValue) {
  return Safely(Vi, [&] { return vexo::SetAttributeViInt32(Vi, RepCapIdentifier, AttributeID, AttributeValue); });
}
ViStatus ZEVRA_SetAttributeViReal64(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                    ViReal64 AttributeValue) {
  return Safely(Vi, [&] { return vexo::SetAttributeViReal64(Vi, RepCapIdentifier, AttributeID, AttributeValue); });
}
ViStatus ZEVRA_SetAttributeViBoolean(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                     ViBoolean AttributeValue) {
  return Safely(Vi, [&] { return vexo::SetAttributeViBoolean(Vi, RepCapIdentifier, AttributeID, AttributeValue); });
}
ViStatus ZEVRA_SetAttributeViSession(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                     ViSession AttributeValue) {
  return Safely(Vi, [&] { return vexo::SetAttributeViSession(Vi, RepCapIdentifier, AttributeID, AttributeValue); });
}
ViStatus ZEVRA_SetAttributeViString(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                    ViConstString AttributeValue) {
  return Safely(Vi, [&] { return vexo::SetAttributeViString(Vi, RepCapIdentifier, AttributeID, AttributeValue); });
}

// One getter and/or setter per instrument-specific attribute, by its access.
#define ZEVRA_GETTER_ViInt32(Function, ID) \
  ViStatus ZEVRA_Get##Function(ViSession Vi, ViInt32* V) { return ZEVRA_GetAttributeViInt32(Vi, nullptr, ID, V); }
#define ZEVRA_GETTER_ViReal64(Function, ID) \
  ViStatus ZEVRA_Get##Function(ViSession Vi, ViReal64* V) { return ZEVRA_GetAttributeViReal64(Vi, nullptr, ID, V); }
#define ZEVRA_GETTER_ViBoolean(Function, ID) \
  ViStatus ZEVRA_Get##Function(ViSession Vi, ViBoolean* V) { return ZEVRA_GetAttributeViBoolean(Vi, nullptr, ID, V); }
#define ZEVRA_GETTER_ViString(Function, ID)                                  \
  ViStatus ZEVRA_Get##Function(ViSession Vi, ViInt32 Size, ViChar V[]) {     \
    return ZEVRA_GetAttributeViString(Vi, nullptr, ID, Size, V);             \
  }
#define ZEVRA_SETTER_ViInt32(Function, ID) \
  ViStatus ZEVRA_Set##Function(ViSession Vi, ViInt32 V) { return ZEVRA_SetAttributeViInt32(Vi, nullptr, ID, V); }
#define ZEVRA_SETTER_ViReal64(Function, ID) \
  ViStatus ZEVRA_Set##Function(ViSession Vi, ViReal64 V) { return ZEVRA_SetAttributeViReal64(Vi, nullptr, ID, V); }
#define ZEVRA_SETTER_ViBoolean(Function, ID) \
  ViStatus ZEVRA_Set##Function(ViSession Vi, ViBoolean V) { return ZEVRA_SetAttributeViBoolean(Vi, nullptr, ID, V); }
#define ZEVRA_SETTER_ViString(Function, ID) \
  ViStatus ZEVRA_Set##Function(ViSession Vi, ViConstString V) { return ZEVRA_SetAttributeViString(Vi, nullptr, ID, V); }

#define ZEVRA_ACCESS_R(Function, ID, Type) ZEVRA_GETTER_##Type(Function, ID)
#define ZEVRA_ACCESS_W(Function, ID, Type) ZEVRA_SETTER_##Type(Function, ID)
#define ZEVRA_ACCESS_RW(Function, ID, Type) ZEVRA_GETTER_##Type(Function, ID) ZEVRA_SETTER_##Type(Function, ID)

#define ZEVRA_KIND_Specific(Function, ID, Type, Access) ZEVRA_ACCESS_##Access(Function, ID, Type)
#define ZEVRA_KIND_SpecificIo(Function, ID, Type, Access)
#define ZEVRA_KIND_Inherent(Function, ID, Type, Access)
#define ZEVRA_KIND_Class(Function, ID, Type, Access)

#define ZEVRA_GENERATE(NAME, Function, ID, Type, Access, Kind) ZEVRA_KIND_##Kind(Function, ID, Type, Access)
ZEVRA_ATTRIBUTE_LIST(ZEVRA_GENERATE)

}  // extern "C"
