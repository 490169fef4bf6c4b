// SPDX-License-Identifier: MIT
// What each attribute does beyond its identity in attribute_list.h: its SCPI
// query and command, its enum map, its simulated value, or callbacks of its
// own where the common template does not fit.
#pragma once

#include <span>

#include "attribute.h"

namespace zevra {

struct AttributeBehavior {
  ViAttr id;
  const char* query = nullptr;
  const char* command = nullptr;
  const vexo::EnumMap& (*map)() = nullptr;
  vexo::SimulatedValue simulated = {};
  vexo::ReadCallback read = nullptr;    // null: the common template (when readable)
  vexo::WriteCallback write = nullptr;  // null: the common template (when writable)
  vexo::Framing framing = vexo::Framing::kStandard;
};

std::span<const AttributeBehavior> AttributeBehaviors();

// Simulated values: the cache, else this default; or always this value.
constexpr vexo::SimulatedValue CachedElse(double number) { return {false, true, number, ""}; }
constexpr vexo::SimulatedValue CachedElseText(const char* text) { return {false, true, 0, text}; }
constexpr vexo::SimulatedValue Always(double number) { return {true, true, number, ""}; }
constexpr vexo::SimulatedValue AlwaysText(const char* text) { return {true, true, 0, text}; }

}  // namespace zevra
