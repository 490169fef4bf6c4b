// SPDX-License-Identifier: MIT
// Initialization of a driver session: configuration, I/O, identity, model check.
#include "driver_session.h"
#include "ivi_status.h"
#include "vexo_assert.h"

namespace vexo {

ViStatus DriverSession::Initialize(const std::string& resource_name, bool id_query, bool,
                                   const std::string& option_string) {
  resource_name_ = resource_name;
  option_string_ = option_string;
  ViStatus st = Configure(resource_name, option_string);
  if (st < 0) return st;
  if (GetInterchangeCheck() && !GetInterchangeCheckSupported()) {
    return ReportErrorWithElaboration(IVI_ERROR_BAD_OPTION_VALUE,
                                      "Interchange checking is not supported by the driver.", {"True"});
  }
  st = OpenIo();
  if (st < 0) return st;
  auto close_and_return = [&](ViStatus failure) {
    [[maybe_unused]] ViStatus statusClose = CloseIo();
    VEXO_ASSERT(statusClose >= 0);
    return failure;
  };
  if (GetQueryInstrStatus()) {
    st = ClearInstrumentStatus();
    if (st < 0) return close_and_return(st);
  }
  st = QueryIdentity(instrument_manufacturer_, instrument_model_, instrument_serial_number_,
                     instrument_firmware_revision_);
  if (st < 0) return close_and_return(st);
  if (!id_query || IsModelSupported()) return st;
  // The model came from outside: it is an argument, never part of the format.
  ViStatus failed = ReportErrorWithElaboration(IVI_ERROR_ID_QUERY_FAILED, "Unrecognized model: %s",
                                               {instrument_model_});
  return close_and_return(failed);
}

}  // namespace vexo
