// SPDX-License-Identifier: MIT
#include "instrument.h"

#include <atomic>

#include "vexo_assert.h"

namespace vexo {
namespace {

const AttributeDescriptor* NoAttribute(ViAttr) { return nullptr; }
const char* NoMessage(ViStatus) { return nullptr; }

const InstrumentDescription& Unknown() {
  static const std::map<std::string, std::string> no_models;
  static const InstrumentDescription unknown{
      {"", "", "", "", 0, 0, "", ""}, {"", "", 0, 0}, NoAttribute, NoMessage, &no_models};
  return unknown;
}

// Set while the library loads, read by every session afterwards.
std::atomic<const InstrumentDescription*> g_instrument{nullptr};

}  // namespace

void UseInstrument(const InstrumentDescription& description) {
  const bool complete = description.find_attribute != nullptr && description.error_template != nullptr &&
                        description.model_families != nullptr;
  VEXO_ASSERT(complete);
  if (complete) g_instrument.store(&description, std::memory_order_release);
}

const InstrumentDescription& Instrument() {
  const InstrumentDescription* instrument = g_instrument.load(std::memory_order_acquire);
  return instrument != nullptr ? *instrument : Unknown();
}

}  // namespace vexo
