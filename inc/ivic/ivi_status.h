// SPDX-License-Identifier: MIT
// The IVI status codes the runtime itself returns, spelled as every IVI-C
// driver header spells them (a driver header that repeats one must repeat it
// token for token, which the compiler checks wherever both are included).
#pragma once

#include "IviSession.h"  // out of memory, null pointer, invalid session handle
#include "visatype.h"

#define IVI_ERROR_CANNOT_RECOVER ((ViStatus)0xBFFA0000L)
#define IVI_ERROR_INSTRUMENT_STATUS ((ViStatus)0xBFFA0001L)
#define IVI_ERROR_INVALID_ATTRIBUTE ((ViStatus)0xBFFA000CL)
#define IVI_ERROR_IVI_ATTR_NOT_WRITABLE ((ViStatus)0xBFFA000DL)
#define IVI_ERROR_IVI_ATTR_NOT_READABLE ((ViStatus)0xBFFA000EL)
#define IVI_ERROR_INVALID_VALUE ((ViStatus)0xBFFA0010L)
#define IVI_ERROR_TYPES_DO_NOT_MATCH ((ViStatus)0xBFFA0015L)
#define IVI_ERROR_UNKNOWN_CHANNEL_NAME ((ViStatus)0xBFFA0020L)
#define IVI_ERROR_CHANNEL_NAME_REQUIRED ((ViStatus)0xBFFA0044L)
#define IVI_ERROR_BAD_OPTION_NAME ((ViStatus)0xBFFA004BL)
#define IVI_ERROR_BAD_OPTION_VALUE ((ViStatus)0xBFFA004CL)
#define IVI_ERROR_UNEXPECTED_RESPONSE ((ViStatus)0xBFFA0059L)
#define IVI_ERROR_ID_QUERY_FAILED ((ViStatus)0xBFFA005EL)
#define IVI_ERROR_INVALID_NUMBER_OF_LEVELS_IN_SELECTOR ((ViStatus)0xBFFA0063L)
#define IVI_ERROR_INVALID_RANGE_IN_SELECTOR ((ViStatus)0xBFFA0064L)
#define IVI_ERROR_BADLY_FORMED_SELECTOR ((ViStatus)0xBFFA0066L)
#define IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER ((ViStatus)0xBFFA0067L)
