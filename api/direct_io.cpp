// SPDX-License-Identifier: MIT
// Direct I/O: bytes to and from the instrument, bypassing the driver.
#include <chrono>

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
    ViSession io = s.InstrumentSession();
    ViUInt32 timeout_ms = 0;
    if (viGetAttribute(io, VI_ATTR_TMO_VALUE, &timeout_ms) < VI_SUCCESS) timeout_ms = VI_TMO_INFINITE;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    ViUInt32 got = 0;
    ViStatus st = viRead(io, reinterpret_cast<ViPBuf>(Buffer), VisaCount(BufferSize), &got);
    if (ReturnCount != nullptr) *ReturnCount = got;
    if (st != VI_SUCCESS_MAX_CNT) return st;
    // One call consumes one whole response, even when the buffer was too small;
    // the drain shares the call's timeout, so a reply that never ends costs no
    // more than the timeout (VI_ERROR_TMO says the rest was not all read).
    ViByte drain[kDrainBufferSize];
    while (st == VI_SUCCESS_MAX_CNT) {
      if (timeout_ms != VI_TMO_INFINITE) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
          st = VI_ERROR_TMO;
          break;
        }
        viSetAttribute(io, VI_ATTR_TMO_VALUE, static_cast<ViAttrState>(left.count()));
      }
      st = viRead(io, drain, sizeof drain, &got);
    }
    if (timeout_ms != VI_TMO_INFINITE) viSetAttribute(io, VI_ATTR_TMO_VALUE, timeout_ms);
    return st;
  });
}

}  // extern "C"
