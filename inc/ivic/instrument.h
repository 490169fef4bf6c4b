// SPDX-License-Identifier: MIT
// The instrument a driver hands the runtime: every fact the runtime knows about
// the instrument (identity, repeated capability, attributes, error messages,
// models) comes from this one description.
#pragma once

#include <map>
#include <string>

#include "visatype.h"

namespace vexo {

struct AttributeDescriptor;

struct DriverIdentity {
  const char* prefix;
  const char* vendor;
  const char* description;
  const char* revision;
  ViInt32 class_spec_major_version;
  ViInt32 class_spec_minor_version;
  const char* group_capabilities;
  const char* default_simulated_model;
};

// The driver's one repeated capability: its name, its physical names, and how
// the instrument is told which one later commands address.
struct RepeatedCapability {
  const char* name;            // "OutputChannel"
  const char* physical_names;  // comma-separated, in index order
  ViAttr selection_attribute;  // written with first_selection_value + the name's index
  ViInt32 first_selection_value;
};

struct InstrumentDescription {
  DriverIdentity identity;
  RepeatedCapability capability;
  // The attribute registry: the row of an ID, or null.
  const AttributeDescriptor* (*find_attribute)(ViAttr id);
  // The message template of a status code, or null when there is none.
  const char* (*error_template)(ViStatus code);
  // Model name -> family name, compared byte for byte.
  const std::map<std::string, std::string>* model_families;
};

// Hands the runtime its instrument: once per process, before the first
// session opens (a driver library does it as it loads). The description must
// outlive every session.
void UseInstrument(const InstrumentDescription& description);

// The instrument handed over; before that, an empty one that knows no
// attribute, channel, message or model.
const InstrumentDescription& Instrument();

inline const DriverIdentity& Identity() { return Instrument().identity; }
inline const RepeatedCapability& Capability() { return Instrument().capability; }
inline const AttributeDescriptor* FindAttribute(ViAttr id) { return Instrument().find_attribute(id); }
inline const char* ErrorTemplate(ViStatus code) { return Instrument().error_template(code); }
inline const std::map<std::string, std::string>& ModelFamilyTable() { return *Instrument().model_families; }

}  // namespace vexo
