// SPDX-License-Identifier: MIT
// What an event context answers to viGetAttribute, as one table: its type,
// and for an exception or a finished asynchronous job what happened.
#include "event_attributes.h"

#include <string>

#include "attribute_value.h"

namespace visa {
namespace {

struct EventAttributeRow {
  ViAttr id;
  AttributeType type;
  bool on_exception, on_io_completion;  // which events besides any have it (VI_ATTR_EVENT_TYPE: all)
  ViAttrState (*number)(const EventData&);
  bool text = false;                    // VI_ATTR_OPER_NAME
};

constexpr EventAttributeRow kRows[] = {
    {VI_ATTR_EVENT_TYPE, AttributeType::UInt32, true, true, [](const EventData& e) -> ViAttrState { return e.type; }},
    {VI_ATTR_STATUS, AttributeType::UInt32, true, true,
     [](const EventData& e) -> ViAttrState { return static_cast<ViUInt32>(e.status); }},
    {VI_ATTR_OPER_NAME, AttributeType::String, true, true, nullptr, true},
    {VI_ATTR_JOB_ID, AttributeType::UInt32, false, true, [](const EventData& e) -> ViAttrState { return e.job; }},
    {VI_ATTR_BUFFER, AttributeType::UInt64, false, true,
     [](const EventData& e) -> ViAttrState { return reinterpret_cast<std::uintptr_t>(e.buffer); }},
    {VI_ATTR_RET_COUNT_64, AttributeType::UInt64, false, true, [](const EventData& e) -> ViAttrState { return e.count; }},
    {VI_ATTR_RET_COUNT_32, AttributeType::UInt32, false, true,
     [](const EventData& e) -> ViAttrState { return e.count & 0xFFFFFFFFu; }},
};

}  // namespace

ViStatus event_attribute(const EventData& event, ViAttr attribute, void* value) {
  for (const EventAttributeRow& row : kRows) {
    if (row.id != attribute) continue;
    const bool here = row.id == VI_ATTR_EVENT_TYPE || (event.type == VI_EVENT_EXCEPTION && row.on_exception) ||
                      (event.type == VI_EVENT_IO_COMPLETION && row.on_io_completion);
    if (!here) return VI_ERROR_NSUP_ATTR;
    if (value == nullptr) return VI_ERROR_USER_BUF;
    AttributeValue v;
    v.type = row.type;
    if (row.text) {
      v.text = event.operation;
    } else {
      v.number = row.number(event);
    }
    store_attribute(v, value);
    return VI_SUCCESS;
  }
  return VI_ERROR_NSUP_ATTR;
}

}  // namespace visa
