// Attribute descriptors, the callbacks that read and write them, and typed
// access: look the ID up, check type and access, hand over to the callback.
#pragma once

#include <string>

#include "enum_map.h"
#include "visatype.h"

namespace vexo {

enum class ValueType { Int32, Real64, Boolean, String, Session };
const char* TypeName(ValueType type);

// Where a read callback puts its value: a pointer of the attribute's type, or
// a text buffer and its size.
struct ReadTarget {
  void* value = nullptr;
  ViInt32 buffer_size = 0;
};

struct WriteValue {
  ViInt32 int32 = 0;
  ViReal64 real64 = 0;
  ViBoolean boolean = 0;
  ViSession session = 0;
  const char* text = nullptr;
};

struct AttributeDescriptor;
using ReadCallback = ViStatus (*)(const AttributeDescriptor&, ViSession, ViConstString selector, const ReadTarget&);
using WriteCallback = ViStatus (*)(const AttributeDescriptor&, ViSession, ViConstString selector, const WriteValue&);

// What a read returns in simulation mode.
struct SimulatedValue {
  bool fixed = false;      // read-only instrument values: always this, never the cache
  bool has_default = false;  // otherwise the type's zero default (VI_TRUE for booleans)
  ViReal64 number = 0;
  const char* text = "";
};

struct AttributeDescriptor {
  ViAttr id = 0;
  std::string name;   // the header's macro name
  std::string label;  // the function named in null-pointer messages
  ValueType type = ValueType::Int32;
  bool channel_based = false;
  ReadCallback read = nullptr;    // null: write-only
  WriteCallback write = nullptr;  // null: read-only
  const char* query = nullptr;    // "...?\n"
  const char* command = nullptr;  // format with one conversion, "...\n"
  const EnumMap* map = nullptr;   // defined values and booleans
  SimulatedValue simulated;
};

// The common template callbacks (resolve, lock, selector, cache, simulation,
// exchange, status check).
ViStatus TemplateRead(const AttributeDescriptor& attribute, ViSession vi, ViConstString selector,
                      const ReadTarget& target);
ViStatus TemplateWrite(const AttributeDescriptor& attribute, ViSession vi, ViConstString selector,
                       const WriteValue& value);

// Typed access (no lock of their own: the callbacks lock).
ViStatus GetAttributeViInt32(ViSession vi, ViConstString selector, ViAttr id, ViInt32* value);
ViStatus GetAttributeViReal64(ViSession vi, ViConstString selector, ViAttr id, ViReal64* value);
ViStatus GetAttributeViBoolean(ViSession vi, ViConstString selector, ViAttr id, ViBoolean* value);
ViStatus GetAttributeViSession(ViSession vi, ViConstString selector, ViAttr id, ViSession* value);
ViStatus GetAttributeViString(ViSession vi, ViConstString selector, ViAttr id, ViInt32 size, ViChar value[]);
ViStatus SetAttributeViInt32(ViSession vi, ViConstString selector, ViAttr id, ViInt32 value);
ViStatus SetAttributeViReal64(ViSession vi, ViConstString selector, ViAttr id, ViReal64 value);
ViStatus SetAttributeViBoolean(ViSession vi, ViConstString selector, ViAttr id, ViBoolean value);
ViStatus SetAttributeViSession(ViSession vi, ViConstString selector, ViAttr id, ViSession value);
ViStatus SetAttributeViString(ViSession vi, ViConstString selector, ViAttr id, ViConstString value);

}  // namespace vexo
