// The instrument I/O operations implemented over VISA, for the session class
// they serve (which derives from this template).
#pragma once

#include <string>

#include "io_session.h"

namespace vexo {

template <typename Session>
class VisaSession : public IoSession {
 public:
  ViStatus OpenIo() override;
  ViStatus CloseIo() override;
  ViStatus ClearInstrumentStatus() override;
  ViStatus QueryIdentity(std::string& manufacturer, std::string& model, std::string& serial_number,
                         std::string& firmware_revision) override;
  ViStatus CheckInstrumentStatus() override;

 private:
  Session& self() { return static_cast<Session&>(*this); }
};

}  // namespace vexo
