// SPDX-License-Identifier: MIT
// viGetAttribute on an event context.
#pragma once

#include "event_data.h"
#include "visa.h"

namespace visa {

// VI_ERROR_NSUP_ATTR for an attribute this event's context does not have.
ViStatus event_attribute(const EventData& event, ViAttr attribute, void* value);

}  // namespace visa
