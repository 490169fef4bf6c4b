// SPDX-License-Identifier: MIT
// The abstract instrument I/O interface of a driver session.
#pragma once

#include <string>

#include "visatype.h"

namespace vexo {

class IoSession {
 public:
  virtual ~IoSession() = default;
  virtual ViStatus OpenIo() = 0;
  virtual ViStatus CloseIo() = 0;
  virtual ViStatus ClearInstrumentStatus() = 0;
  virtual ViStatus QueryIdentity(std::string& manufacturer, std::string& model, std::string& serial_number,
                                 std::string& firmware_revision) = 0;
  virtual ViStatus CheckInstrumentStatus() = 0;
};

}  // namespace vexo
