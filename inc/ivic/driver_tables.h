// What the runtime reads from the driver's own tables.
#pragma once

#include <map>
#include <string>

#include "visatype.h"

namespace vexo {

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

const DriverIdentity& Identity();

// The driver's one repeated capability: its name, its physical names, and how
// the instrument is told which one later commands address.
struct RepeatedCapability {
  const char* name;            // "OutputChannel"
  const char* physical_names;  // comma-separated, in index order
  ViAttr selection_attribute;  // written with first_selection_value + the name's index
  ViInt32 first_selection_value;
};

const RepeatedCapability& Capability();

// The message template of a status code, or null when the table has none.
const char* ErrorTemplate(ViStatus code);

// Model name -> family name, compared byte for byte.
const std::map<std::string, std::string>& ModelFamilyTable();

}  // namespace vexo
