// SPDX-License-Identifier: MIT
// The standard functions our resources have no use for (GPIB bus control,
// register and memory access, triggers lines, USB control transfers): an
// open session answers VI_ERROR_NSUP_OPER, anything else VI_ERROR_INV_OBJECT,
// as for every other call.
#include "api_guard.h"
#include "visa.h"

namespace {

ViStatus NotSupported(const char* operation, ViObject vi) {
  return visa::with_session(operation, vi, [](visa::InstrumentSession&) { return VI_ERROR_NSUP_OPER; });
}

// Peek and poke return nothing; what they read is 0.
template <typename T>
void Zero(T* value) {
  if (value != nullptr) *value = 0;
}

}  // namespace

extern "C" {

ViStatus viGpibControlATN(ViSession vi, ViUInt16) { return NotSupported(__func__, vi); }
ViStatus viGpibCommand(ViSession vi, ViConstBuf, ViUInt32, ViPUInt32 retCnt) {
  Zero(retCnt);
  return NotSupported(__func__, vi);
}
ViStatus viGpibPassControl(ViSession vi, ViUInt16, ViUInt16) { return NotSupported(__func__, vi); }
ViStatus viVxiCommandQuery(ViSession vi, ViUInt16, ViUInt32, ViPUInt32) { return NotSupported(__func__, vi); }
ViStatus viAssertUtilSignal(ViSession vi, ViUInt16) { return NotSupported(__func__, vi); }
ViStatus viAssertIntrSignal(ViSession vi, ViInt16, ViUInt32) { return NotSupported(__func__, vi); }
ViStatus viMapTrigger(ViSession vi, ViInt16, ViInt16, ViUInt16) { return NotSupported(__func__, vi); }
ViStatus viUnmapTrigger(ViSession vi, ViInt16, ViInt16) { return NotSupported(__func__, vi); }
ViStatus viUsbControlOut(ViSession vi, ViInt16, ViInt16, ViUInt16, ViUInt16, ViUInt16, ViConstBuf) {
  return NotSupported(__func__, vi);
}
ViStatus viUsbControlIn(ViSession vi, ViInt16, ViInt16, ViUInt16, ViUInt16, ViUInt16, ViPBuf, ViPUInt16 retCnt) {
  Zero(retCnt);
  return NotSupported(__func__, vi);
}
ViStatus viIn8(ViSession vi, ViUInt16, ViBusAddress, ViPUInt8) { return NotSupported(__func__, vi); }
ViStatus viIn16(ViSession vi, ViUInt16, ViBusAddress, ViPUInt16) { return NotSupported(__func__, vi); }
ViStatus viIn32(ViSession vi, ViUInt16, ViBusAddress, ViPUInt32) { return NotSupported(__func__, vi); }
ViStatus viIn64(ViSession vi, ViUInt16, ViBusAddress, ViPUInt64) { return NotSupported(__func__, vi); }
ViStatus viOut8(ViSession vi, ViUInt16, ViBusAddress, ViUInt8) { return NotSupported(__func__, vi); }
ViStatus viOut16(ViSession vi, ViUInt16, ViBusAddress, ViUInt16) { return NotSupported(__func__, vi); }
ViStatus viOut32(ViSession vi, ViUInt16, ViBusAddress, ViUInt32) { return NotSupported(__func__, vi); }
ViStatus viOut64(ViSession vi, ViUInt16, ViBusAddress, ViUInt64) { return NotSupported(__func__, vi); }
ViStatus viIn8Ex(ViSession vi, ViUInt16, ViBusAddress64, ViPUInt8) { return NotSupported(__func__, vi); }
ViStatus viIn16Ex(ViSession vi, ViUInt16, ViBusAddress64, ViPUInt16) { return NotSupported(__func__, vi); }
ViStatus viIn32Ex(ViSession vi, ViUInt16, ViBusAddress64, ViPUInt32) { return NotSupported(__func__, vi); }
ViStatus viIn64Ex(ViSession vi, ViUInt16, ViBusAddress64, ViPUInt64) { return NotSupported(__func__, vi); }
ViStatus viOut8Ex(ViSession vi, ViUInt16, ViBusAddress64, ViUInt8) { return NotSupported(__func__, vi); }
ViStatus viOut16Ex(ViSession vi, ViUInt16, ViBusAddress64, ViUInt16) { return NotSupported(__func__, vi); }
ViStatus viOut32Ex(ViSession vi, ViUInt16, ViBusAddress64, ViUInt32) { return NotSupported(__func__, vi); }
ViStatus viOut64Ex(ViSession vi, ViUInt16, ViBusAddress64, ViUInt64) { return NotSupported(__func__, vi); }
ViStatus viMoveIn8(ViSession vi, ViUInt16, ViBusAddress, ViBusSize, ViAUInt8) { return NotSupported(__func__, vi); }
ViStatus viMoveIn16(ViSession vi, ViUInt16, ViBusAddress, ViBusSize, ViAUInt16) { return NotSupported(__func__, vi); }
ViStatus viMoveIn32(ViSession vi, ViUInt16, ViBusAddress, ViBusSize, ViAUInt32) { return NotSupported(__func__, vi); }
ViStatus viMoveIn64(ViSession vi, ViUInt16, ViBusAddress, ViBusSize, ViAUInt64) { return NotSupported(__func__, vi); }
ViStatus viMoveOut8(ViSession vi, ViUInt16, ViBusAddress, ViBusSize, ViAUInt8) { return NotSupported(__func__, vi); }
ViStatus viMoveOut16(ViSession vi, ViUInt16, ViBusAddress, ViBusSize, ViAUInt16) { return NotSupported(__func__, vi); }
ViStatus viMoveOut32(ViSession vi, ViUInt16, ViBusAddress, ViBusSize, ViAUInt32) { return NotSupported(__func__, vi); }
ViStatus viMoveOut64(ViSession vi, ViUInt16, ViBusAddress, ViBusSize, ViAUInt64) { return NotSupported(__func__, vi); }
ViStatus viMove(ViSession vi, ViUInt16, ViBusAddress, ViUInt16, ViUInt16, ViBusAddress, ViUInt16, ViBusSize) {
  return NotSupported(__func__, vi);
}
ViStatus viMoveAsync(ViSession vi, ViUInt16, ViBusAddress, ViUInt16, ViUInt16, ViBusAddress, ViUInt16, ViBusSize,
                     ViPJobId) {
  return NotSupported(__func__, vi);
}
ViStatus viMapAddress(ViSession vi, ViUInt16, ViBusAddress, ViBusSize, ViBoolean, ViAddr, ViPAddr address) {
  Zero(address);
  return NotSupported(__func__, vi);
}
ViStatus viUnmapAddress(ViSession vi) { return NotSupported(__func__, vi); }
ViStatus viMemAlloc(ViSession vi, ViBusSize, ViPBusAddress offset) {
  Zero(offset);
  return NotSupported(__func__, vi);
}
ViStatus viMemFree(ViSession vi, ViBusAddress) { return NotSupported(__func__, vi); }
void viPeek8(ViSession, ViAddr, ViPUInt8 val8) { Zero(val8); }
void viPeek16(ViSession, ViAddr, ViPUInt16 val16) { Zero(val16); }
void viPeek32(ViSession, ViAddr, ViPUInt32 val32) { Zero(val32); }
void viPeek64(ViSession, ViAddr, ViPUInt64 val64) { Zero(val64); }
void viPoke8(ViSession, ViAddr, ViUInt8) {}
void viPoke16(ViSession, ViAddr, ViUInt16) {}
void viPoke32(ViSession, ViAddr, ViUInt32) {}
void viPoke64(ViSession, ViAddr, ViUInt64) {}

}  // extern "C"
