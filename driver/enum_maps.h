// SPDX-License-Identifier: MIT
// The driver's enum command maps.
#pragma once

#include <vector>

#include "enum_map.h"

namespace zevra {

const vexo::EnumMap& BooleanMap();
const vexo::EnumMap& ChannelMap();
const vexo::EnumMap& DigitalPinFunctionMap();
const vexo::EnumMap& DigitalPinPolarityMap();
const vexo::EnumMap& InhibitModeMap();
const vexo::EnumMap& ListPaceMap();
const vexo::EnumMap& ListTerminateStateMap();
const vexo::EnumMap& OutputModeMap();
const vexo::EnumMap& PowerOnStateMap();
const vexo::EnumMap& RemoteStateMap();
const vexo::EnumMap& SpecificTriggerSourceMap();
const vexo::EnumMap& MeasurementTypeMap();
const vexo::EnumMap& OutputStateMap();
const vexo::EnumMap& TriggerSourceMap();

struct NamedMap {
  const char* name;
  const vexo::EnumMap& (*map)();
};
// Every map with a readable name, for the reference documentation.
const std::vector<NamedMap>& NamedMaps();

}  // namespace zevra
