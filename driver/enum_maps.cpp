// SPDX-License-Identifier: MIT
#include "enum_maps.h"

#include "ZEVRA.h"

namespace zevra {

// A row named by its constant, written once: ZEVRA_ROW(VI_TRUE, "1", "").
#define ZEVRA_ROW(constant, tokens, models) \
  vexo::EnumRow { #constant, constant, tokens, models }

// Each map is built on first use (thread-safe) and read-only afterwards.
#define ZEVRA_ENUM_MAP(function, ...)            \
  const vexo::EnumMap& function() {              \
    static const vexo::EnumMap map{__VA_ARGS__}; \
    return map;                                  \
  }

ZEVRA_ENUM_MAP(BooleanMap,
               ZEVRA_ROW(VI_TRUE, "1", ""),
               ZEVRA_ROW(VI_FALSE, "0", ""))

ZEVRA_ENUM_MAP(ChannelMap,
               ZEVRA_ROW(ZEVRA_VAL_CHANNEL1, "0, CH1", ""),
               ZEVRA_ROW(ZEVRA_VAL_CHANNEL2, "1, CH2", ""),
               ZEVRA_ROW(ZEVRA_VAL_CHANNEL3, "2, CH3", ""),
               ZEVRA_ROW(ZEVRA_VAL_CHANNEL4, "3, CH4", ""))

ZEVRA_ENUM_MAP(DigitalPinFunctionMap,
               ZEVRA_ROW(ZEVRA_VAL_DIGITAL_PIN_FUNCTION_DIGITAL_OUTPUT, "DOUT", ""),
               ZEVRA_ROW(ZEVRA_VAL_DIGITAL_PIN_FUNCTION_DIGITAL_INPUT, "DINPut, DINP", ""),
               ZEVRA_ROW(ZEVRA_VAL_DIGITAL_PIN_FUNCTION_FAULT, "FAULt, FAUL", ""),
               ZEVRA_ROW(ZEVRA_VAL_DIGITAL_PIN_FUNCTION_INHIBIT, "INHibit, INH", ""),
               ZEVRA_ROW(ZEVRA_VAL_DIGITAL_PIN_FUNCTION_TRIGGER_INPUT, "TINPut, TINP", ""),
               ZEVRA_ROW(ZEVRA_VAL_DIGITAL_PIN_FUNCTION_TRIGGER_OUTPUT, "TOUTput, TOUT", ""),
               ZEVRA_ROW(ZEVRA_VAL_DIGITAL_PIN_FUNCTION_NONE, "NONE", ""),
               ZEVRA_ROW(ZEVRA_VAL_DIGITAL_PIN_FUNCTION_SYNC_OUTPUT, "SOUT", ""),
               ZEVRA_ROW(ZEVRA_VAL_DIGITAL_PIN_FUNCTION_SYNC_INPUT, "SINP", ""))

ZEVRA_ENUM_MAP(DigitalPinPolarityMap,
               ZEVRA_ROW(ZEVRA_VAL_DIGITAL_PIN_POLARITY_POSITIVE, "POSitive, POS", ""),
               ZEVRA_ROW(ZEVRA_VAL_DIGITAL_PIN_POLARITY_NEGATIVE, "NEGative, NEG", ""))

ZEVRA_ENUM_MAP(InhibitModeMap,
               ZEVRA_ROW(ZEVRA_VAL_INHIBIT_MODE_LATCHING, "LATC", ""),
               ZEVRA_ROW(ZEVRA_VAL_INHIBIT_MODE_LIVE, "LIVE", ""),
               ZEVRA_ROW(ZEVRA_VAL_INHIBIT_MODE_OFF, "OFF", ""))

ZEVRA_ENUM_MAP(ListPaceMap,
               ZEVRA_ROW(ZEVRA_VAL_LIST_PACE_DWELL, "0, OFF", ""),
               ZEVRA_ROW(ZEVRA_VAL_LIST_PACE_TRIGGER, "1, ON", ""))

ZEVRA_ENUM_MAP(ListTerminateStateMap,
               ZEVRA_ROW(ZEVRA_VAL_LIST_TERMINATE_STATE_DC, "0, OFF", ""),
               ZEVRA_ROW(ZEVRA_VAL_LIST_TERMINATE_STATE_LAST, "1, ON", ""))

ZEVRA_ENUM_MAP(OutputModeMap,
               ZEVRA_ROW(ZEVRA_VAL_OUTPUT_MODE_NORMAL, "OFF", ""),
               ZEVRA_ROW(ZEVRA_VAL_OUTPUT_MODE_PARALLEL_2, "PARA2", ""),
               ZEVRA_ROW(ZEVRA_VAL_OUTPUT_MODE_PARALLEL_3, "PARA3", ""),
               ZEVRA_ROW(ZEVRA_VAL_OUTPUT_MODE_PARALLEL_4, "PARA4", ""),
               ZEVRA_ROW(ZEVRA_VAL_OUTPUT_MODE_SERIES_2, "SERI2", ""),
               ZEVRA_ROW(ZEVRA_VAL_OUTPUT_MODE_SERIES_3, "SERI3", ""),
               ZEVRA_ROW(ZEVRA_VAL_OUTPUT_MODE_SERIES_4, "SERI4", ""),
               ZEVRA_ROW(ZEVRA_VAL_OUTPUT_MODE_TRACK_2, "TRAC2", ""),
               ZEVRA_ROW(ZEVRA_VAL_OUTPUT_MODE_TRACK_3, "TRAC3", ""),
               ZEVRA_ROW(ZEVRA_VAL_OUTPUT_MODE_TRACK_4, "TRAC4", ""))

ZEVRA_ENUM_MAP(PowerOnStateMap,
               ZEVRA_ROW(ZEVRA_VAL_POWER_ON_STATE_DISABLED, "OFF", ""),
               ZEVRA_ROW(ZEVRA_VAL_POWER_ON_STATE_USER_STATE, "USER", ""),
               ZEVRA_ROW(ZEVRA_VAL_POWER_ON_STATE_LAST_STATE, "LAST", ""))

ZEVRA_ENUM_MAP(RemoteStateMap,
               ZEVRA_ROW(ZEVRA_VAL_REMOTE_STATE_REMOTE, "REMote, REM", ""),
               ZEVRA_ROW(ZEVRA_VAL_REMOTE_STATE_LOCAL, "LOCal, LOC", ""),
               ZEVRA_ROW(ZEVRA_VAL_REMOTE_STATE_REMOTE_WITH_LOCK, "RWLock, RWL", ""))

ZEVRA_ENUM_MAP(SpecificTriggerSourceMap,
               ZEVRA_ROW(ZEVRA_VAL_SPECIFIC_TRIGGER_SOURCE_MANUAL, "IMM", ""),
               ZEVRA_ROW(ZEVRA_VAL_SPECIFIC_TRIGGER_SOURCE_REMOTE, "BUS", ""),
               ZEVRA_ROW(ZEVRA_VAL_SPECIFIC_TRIGGER_SOURCE_DIGITAL_IO, "EXT", ""))

// Name-only maps, for messages.
ZEVRA_ENUM_MAP(MeasurementTypeMap,
               ZEVRA_ROW(ZEVRA_VAL_MEASURE_CURRENT, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_MEASURE_VOLTAGE, "", ""))

ZEVRA_ENUM_MAP(OutputStateMap,
               ZEVRA_ROW(ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_OUTPUT_CONSTANT_CURRENT, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_OUTPUT_OVER_VOLTAGE, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_OUTPUT_OVER_CURRENT, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_OUTPUT_UNREGULATED, "", ""))

ZEVRA_ENUM_MAP(TriggerSourceMap,
               ZEVRA_ROW(ZEVRA_VAL_TRIG_IMMEDIATE, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_EXTERNAL, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_SOFTWARE_TRIG, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_TTL0, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_TTL1, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_TTL2, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_TTL3, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_TTL4, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_TTL5, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_TTL6, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_TTL7, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_ECL0, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_ECL1, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_PXI_STAR, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_RTSI_0, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_RTSI_1, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_RTSI_2, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_RTSI_3, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_RTSI_4, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_RTSI_5, "", ""),
               ZEVRA_ROW(ZEVRA_VAL_TRIG_RTSI_6, "", ""))

const std::vector<NamedMap>& NamedMaps() {
  static const std::vector<NamedMap> maps = {
      {"boolean", BooleanMap},
      {"channel", ChannelMap},
      {"digital pin function", DigitalPinFunctionMap},
      {"digital pin polarity", DigitalPinPolarityMap},
      {"inhibit mode", InhibitModeMap},
      {"list pace", ListPaceMap},
      {"list terminate state", ListTerminateStateMap},
      {"output mode", OutputModeMap},
      {"power-on state", PowerOnStateMap},
      {"remote state", RemoteStateMap},
      {"specific trigger source", SpecificTriggerSourceMap},
      {"measurement type", MeasurementTypeMap},
      {"output state", OutputStateMap},
      {"trigger source", TriggerSourceMap},
  };
  return maps;
}

}  // namespace zevra
