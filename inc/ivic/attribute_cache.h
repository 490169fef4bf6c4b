// SPDX-License-Identifier: MIT
// The per-session attribute cache: one store per value type, each keyed by
// attribute ID and then by channel key ("" for attributes without channels).
#pragma once

#include <map>
#include <string>

#include "visatype.h"

namespace vexo {

template <typename T>
struct CacheEntry {
  bool valid = false;
  T value{};
};

template <typename T>
using CacheStore = std::map<ViAttr, std::map<std::string, CacheEntry<T>>>;

struct AttributeCache {
  CacheStore<ViInt32> int32_store;
  CacheStore<ViReal64> real64_store;
  CacheStore<ViBoolean> boolean_store;
  CacheStore<std::string> string_store;

  void Clear() {
    int32_store.clear();
    real64_store.clear();
    boolean_store.clear();
    string_store.clear();
  }
};

}  // namespace vexo
