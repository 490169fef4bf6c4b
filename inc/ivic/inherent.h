// SPDX-License-Identifier: MIT
// The bodies of the inherent utility operations; each runs inside a frame.
#pragma once

#include "driver_session.h"

namespace vexo {

// "*RST", "*OPC?", status check under the reset timeout; empties the cache on success.
ViStatus ResetOperation(DriverSession& session);
// The same exchange, keeping the cache.
ViStatus DisableOperation(DriverSession& session);
ViStatus SelfTest(DriverSession& session, ViInt16* result, char* message);
ViStatus ErrorQuery(DriverSession& session, ViInt32* code, char* message);
ViStatus RevisionQuery(DriverSession& session, char* driver_revision, char* firmware_revision);

}  // namespace vexo
