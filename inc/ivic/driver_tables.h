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

// The message template of a status code, or null when the table has none.
const char* ErrorTemplate(ViStatus code);

// Model name -> family name, compared byte for byte.
const std::map<std::string, std::string>& ModelFamilyTable();

}  // namespace vexo
