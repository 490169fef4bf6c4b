// SPDX-License-Identifier: MIT
#include <memory>

#include "api_guard.h"

namespace visa {
namespace {

// An exception handler's own failed calls raise no further exceptions.
thread_local bool in_exception_handler = false;

}  // namespace

void raise_exception(ViObject object, const char* operation, ViStatus status) noexcept {
  if (in_exception_handler) return;
  try {
    std::shared_ptr<InstrumentSession> session = Registry::instance().find(object);
    if (!session) return;
    EventData event;
    event.type = VI_EVENT_EXCEPTION;
    event.status = status;
    event.operation = operation;
    in_exception_handler = true;
    session->events().raise_now(event);
  } catch (...) {
  }
  in_exception_handler = false;
}

}  // namespace visa
