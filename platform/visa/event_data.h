// SPDX-License-Identifier: MIT
// One occurrence of an event and what its context answers to viGetAttribute.
#pragma once

#include "visa.h"

namespace visa {

struct EventData {
  ViEventType type = 0;
  ViStatus status = VI_SUCCESS;  // VI_ATTR_STATUS: the failed call's, or the finished job's
  ViJobId job = VI_NULL;         // VI_ATTR_JOB_ID
  ViAddr buffer = nullptr;       // VI_ATTR_BUFFER: the job's buffer
  ViUInt64 count = 0;            // VI_ATTR_RET_COUNT: bytes the job moved
  const char* operation = "";    // VI_ATTR_OPER_NAME: an exported function's own name
};

}  // namespace visa
