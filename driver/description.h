// SPDX-License-Identifier: MIT
// The QDX instrument as the driver hands it to the runtime.
#pragma once

#include "instrument.h"

namespace zevra {

const vexo::InstrumentDescription& Description();

}  // namespace zevra
