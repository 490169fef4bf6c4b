// Direct I/O: bytes to and from the instrument, bypassing the driver.
#include "Vexo"
#include "ZEVRA.h"
#include "visa.h"

namespace {

constexpr ViUInt32 kDrainBufferSize = 4096;

ViStatus RefuseInSimulation(vexo::DriverSession& s) {
  return s.ReportErrorWithElaboration(ZEVRA_ERROR_IO, "Direct I/O operations are not available in simulation mode.");
}

// VISA counts are 32 bits: a larger request is clamped, never wrapped.
ViUInt32 VisaCount(ViInt64 count) {
  if (count <= 0) return 0;
  return count > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<ViUInt32>(count);
}

}  // namespace

extern "C" {

ViStatus ZEVRA_viWrite(ViSession Vi, ViInt64 BufferSize, ViConstString Buffer, ViInt64* ReturnCount) {
  return vexo::Frame(Vi, [&](vexo::DriverSession& s) -> ViStatus {
    if (s.GetSimulate()) return RefuseInSimulation(s);
    ViUInt32 written = 0;
    ViStatus st = viWrite(s.InstrumentSession(), reinterpret_cast<ViConstBuf>(Buffer), VisaCount(BufferSize), &written);
    if (ReturnCount != nullptr) *ReturnCount = written;
    return st;
  });
}

ViStatus ZEVRA_viRead(ViSession Vi, ViInt64 BufferSize, ViChar Buffer[], ViInt64* ReturnCount) {
  return vexo::Frame(Vi, [&](vexo::DriverSession& s) -> ViStatus {
    if (s.GetSimulate()) return RefuseInSimulation(s);
    ViUInt32 got = 0;
    ViStatus st = viRead(s.InstrumentSession(), reinterpret_cast<ViPBuf>(Buffer), VisaCount(BufferSize), &got);
    if (ReturnCount != nullptr) *ReturnCount = got;
    // One call consumes one whole response, even when the buffer was too small.
    ViByte drain[kDrainBufferSize];
    while (st == VI_SUCCESS_MAX_CNT) st = viRead(s.InstrumentSession(), drain, sizeof drain, &got);
    return st;
  });
}

}  // extern "C"
