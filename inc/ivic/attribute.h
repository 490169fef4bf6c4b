// SPDX-License-Identifier: MIT
// Attribute descriptors, the callbacks that read and write them, and typed
// access: look the ID up, check type and access, hand over to the callback.
#pragma once

#include <string>
#include <vector>

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

class DriverSession;
struct AttributeDescriptor;

// One framed attribute access as a callback sees it: the session is locked,
// the value pointer checked and the selector resolved, once, by the engine.
struct AttributeCall {
  const AttributeDescriptor& attribute;
  ViSession vi;
  DriverSession* session;                    // null only for rows read without a session
  const std::vector<std::string>& channels;  // a read: the one channel; a write: every channel named;
                                             // {""} for a row without channels
  DriverSession& Session() const { return *session; }
  const std::string& Channel() const { return channels.front(); }
};

using ReadCallback = ViStatus (*)(const AttributeCall&, const ReadTarget&);
using WriteCallback = ViStatus (*)(const AttributeCall&, const WriteValue&);

// What the engine does before a row's callback runs.
enum class Framing {
  kStandard,      // lock the session, check a read's value pointer, resolve the selector when channel-based
  kOwnNullCheck,  // as kStandard, but the callback checks the pointer itself, after its own steps
  kNoSelector,    // lock the session and check the pointer; the selector is never looked at
  kNoSession,     // check the pointer only: any handle, even 0, reads the row
};

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
  Framing framing = Framing::kStandard;
};

// The common template callbacks (cache, simulation, channel selection,
// exchange, status check).
ViStatus TemplateRead(const AttributeCall& call, const ReadTarget& target);
ViStatus TemplateWrite(const AttributeCall& call, const WriteValue& value);

// The channel list of a row without channels: one unnamed channel, the
// attribute cache's key for such a row.
const std::vector<std::string>& WithoutChannels();

// Another row, read or written from inside a callback or a function body that
// already holds the session: straight to the row's callback, without a second
// frame or the exported engine's look-up. The row must be of the value's type
// and readable (writable); `channel` is "" for a row without channels.
ViStatus ReadRow(DriverSession& session, ViSession vi, ViAttr id, const std::string& channel, const ReadTarget& target);
ViStatus WriteRow(DriverSession& session, ViSession vi, ViAttr id, const std::vector<std::string>& channels,
                  const WriteValue& value);
template <typename T>
ViStatus ReadRow(DriverSession& session, ViSession vi, ViAttr id, const std::string& channel, T* value) {
  return ReadRow(session, vi, id, channel, ReadTarget{value, 0});
}

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
