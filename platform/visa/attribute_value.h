// SPDX-License-Identifier: MIT
// An attribute's value as VISA types it, for the tables that answer
// viGetAttribute: the session's own and a transport's (a serial line's settings).
#pragma once

#include <cstring>
#include <string>

#include "visatype.h"

namespace visa {

enum class AttributeType { UInt8, UInt16, Int16, UInt32, UInt64, Boolean, String };

struct AttributeValue {
  AttributeType type = AttributeType::UInt32;
  ViAttrState number = 0;
  std::string text;
};

// Stores `value` at `out` as its VISA type; a string attribute fits a 256-byte buffer.
inline void store_attribute(const AttributeValue& value, void* out) {
  switch (value.type) {
    case AttributeType::UInt8: *static_cast<ViUInt8*>(out) = static_cast<ViUInt8>(value.number); break;
    case AttributeType::UInt16: *static_cast<ViUInt16*>(out) = static_cast<ViUInt16>(value.number); break;
    case AttributeType::Int16:
      *static_cast<ViInt16*>(out) = static_cast<ViInt16>(static_cast<long long>(value.number));
      break;
    case AttributeType::UInt32: *static_cast<ViUInt32*>(out) = static_cast<ViUInt32>(value.number); break;
    case AttributeType::UInt64: *static_cast<ViUInt64*>(out) = static_cast<ViUInt64>(value.number); break;
    case AttributeType::Boolean: *static_cast<ViBoolean*>(out) = static_cast<ViBoolean>(value.number); break;
    case AttributeType::String: {
      std::string text = value.text.substr(0, 255);
      std::memcpy(out, text.c_str(), text.size() + 1);
      break;
    }
  }
}

}  // namespace visa
