// SPDX-License-Identifier: MIT
// Measurements of voltage, current and power.
#include <cstdlib>
#include <string>
#include <vector>

#include "Vexo"
#include "ZEVRA.h"
#include "replies.h"
#include "selector.h"
#include "visa.h"

using vexo::DriverSession;

namespace {

ViStatus MeasureOne(ViSession vi, ViReal64* value, const char* query, const char* function) {
  return vexo::Frame(vi, [&](DriverSession& s) -> ViStatus {
    if (value == nullptr) return vexo::ReportNullPointer(vi, function, "Val", 0);
    if (s.GetSimulate()) return VI_SUCCESS;
    ViStatus st = viQueryf(s.InstrumentSession(), query, "%lf%*t", value);
    if (st < 0) return st;
    return s.CheckInstrumentStatus();
  });
}

struct Output {
  ViInt32 capacity;
  ViReal64* values;
  ViInt32* actual;
};

}  // namespace

extern "C" {

ViStatus ZEVRA_MeasureVoltage(ViSession Vi, ViReal64* Val) {
  return MeasureOne(Vi, Val, "MEAS:VOLT?\n", "ZEVRA_MeasureVoltage");
}
ViStatus ZEVRA_MeasureCurrent(ViSession Vi, ViReal64* Val) {
  return MeasureOne(Vi, Val, "MEAS:CURR?\n", "ZEVRA_MeasureCurrent");
}
ViStatus ZEVRA_MeasurePower(ViSession Vi, ViReal64* Val) {
  return MeasureOne(Vi, Val, "MEAS:POW?\n", "ZEVRA_MeasurePower");
}

ViStatus ZEVRA_Measure(ViSession Vi, ViConstString ChannelName, ViInt32 MeasurementType, ViReal64* Measurement) {
  return vexo::Frame(Vi, [&](DriverSession& s) -> ViStatus {
    if (Measurement == nullptr) return vexo::ReportNullPointer(Vi, "ZEVRA_Measure", "Measurement", 0);
    std::string channel;
    ViStatus st = vexo::ResolveSingleSelector(Vi, ChannelName, channel);
    if (st >= 0) st = vexo::SelectChannel(s, Vi, channel);
    if (st < 0) return st;
    if (MeasurementType == ZEVRA_VAL_MEASURE_CURRENT) return ZEVRA_MeasureCurrent(Vi, Measurement);
    if (MeasurementType == ZEVRA_VAL_MEASURE_VOLTAGE) return ZEVRA_MeasureVoltage(Vi, Measurement);
    return s.ReportError(IVI_ERROR_VALUE_NOT_SUPPORTED, {std::to_string(MeasurementType), "MeasurementType", "Measure"});
  });
}

ViStatus ZEVRA_MeasureSelectedChannel(ViSession Vi, ViReal64* Voltage, ViReal64* Current, ViReal64* Power) {
  return vexo::Frame(Vi, [&](DriverSession& s) -> ViStatus {
    ViStatus st = vexo::CheckPointers(Vi, "ZEVRA_MeasureSelectedChannel", "Voltage, Current, Power",
                                      {Voltage, Current, Power});
    if (st < 0) return st;
    if (s.GetSimulate()) {
      *Voltage = *Current = *Power = 0.0;
      return VI_SUCCESS;
    }
    st = viQueryf(s.InstrumentSession(), "MEAS:ALL?\n", "%lf,%lf,%lf%*t", Voltage, Current, Power);
    if (st < 0) return st;
    return s.CheckInstrumentStatus();
  });
}

ViStatus ZEVRA_MeasureAllChannels(ViSession Vi, ViInt32 VoltagesBufferSize, ViReal64 Voltages[],
                                  ViInt32* VoltagesActualSize, ViInt32 CurrentsBufferSize, ViReal64 Currents[],
                                  ViInt32* CurrentsActualSize, ViInt32 PowersBufferSize, ViReal64 Powers[],
                                  ViInt32* PowersActualSize) {
  return vexo::Frame(Vi, [&](DriverSession& s) -> ViStatus {
    ViStatus st = vexo::CheckPointers(Vi, "ZEVRA_MeasureAllChannels",
                                      "Voltages, VoltagesActualSize, Currents, CurrentsActualSize, Powers, PowersActualSize",
                                      {Voltages, VoltagesActualSize, Currents, CurrentsActualSize, Powers, PowersActualSize});
    if (st < 0) return st;
    // A negative capacity is taken as 0: nothing is ever written past what the caller states.
    Output outputs[3] = {{VoltagesBufferSize, Voltages, VoltagesActualSize},
                         {CurrentsBufferSize, Currents, CurrentsActualSize},
                         {PowersBufferSize, Powers, PowersActualSize}};
    if (s.GetSimulate()) {
      for (Output& o : outputs) {
        if (o.capacity > 0) {
          o.values[0] = 0.0;
          *o.actual = 1;
        }
      }
      return VI_SUCCESS;
    }
    char reply[256] = "";
    ViInt32 count = sizeof reply;
    st = viQueryf(s.InstrumentSession(), "MEAS:ALLCH?\n", "%#[^\n]%*t", &count, reply);
    if (st < 0) return st;
    zevra::AllChannelMeasurements measured;
    if (const char* wrong = zevra::ParseAllChannelMeasurements(reply, measured))
      return s.ReportErrorWithElaboration(IVI_ERROR_UNEXPECTED_RESPONSE, wrong);
    const std::vector<ViReal64>* lists[3] = {&measured.voltages, &measured.currents, &measured.powers};
    for (int k = 0; k < 3; ++k) {
      std::size_t capacity = outputs[k].capacity > 0 ? static_cast<std::size_t>(outputs[k].capacity) : 0;
      std::size_t n = std::min(lists[k]->size(), capacity);
      *outputs[k].actual = static_cast<ViInt32>(n);
      std::copy_n(lists[k]->begin(), n, outputs[k].values);
    }
    return s.CheckInstrumentStatus();
  });
}

}  // extern "C"
