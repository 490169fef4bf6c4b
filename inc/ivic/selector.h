// SPDX-License-Identifier: MIT
// Repeated capability selectors for the one repeated capability,
// OutputChannel: "CH1", " CH1 ", "[CH1]", "CH1,CH3", "CH1-CH4", virtual names
// from the configuration store, "OutputChannel!!CH1".
#pragma once

#include <string>
#include <vector>

#include "instrument.h"
#include "visatype.h"

namespace vexo {

class DriverSession;

// Physical channel names, in selector order. With `validate` each must be a
// physical name. Errors are recorded on vi (nothing is recorded for vi 0).
ViStatus ResolveSelector(ViSession vi, ViConstString selector, bool validate, std::vector<std::string>& channels);
// The same, validated, without copying: `channels` points at the session's
// remembered resolution (kept until the session is configured again, at
// open) or, for a selector not remembered, at `scratch`.
ViStatus ResolveChannels(ViSession vi, ViConstString selector, std::vector<std::string>& scratch,
                         const std::vector<std::string>*& channels);
// Fails unless `channels` names exactly one channel.
ViStatus RequireSingleChannel(ViSession vi, const std::vector<std::string>& channels);
// Exactly one channel.
ViStatus ResolveSingleSelector(ViSession vi, ViConstString selector, std::string& channel);
// Makes `channel` the instrument's selected channel: the capability's
// selection attribute is written through its row, on the session held.
ViStatus SelectChannel(DriverSession& session, ViSession vi, const std::string& channel);
// The same from outside a frame: takes the session lock for the selection.
ViStatus SelectChannel(ViSession vi, const std::string& channel);
// Selects each channel in turn and runs step(channel), stopping at the first
// failure; otherwise the last step's status.
template <typename Step>
ViStatus ForEachChannel(DriverSession& session, ViSession vi, const std::vector<std::string>& channels, Step&& step) {
  ViStatus st = VI_SUCCESS;
  for (const std::string& channel : channels) {
    st = SelectChannel(session, vi, channel);
    if (st >= 0) st = step(channel);
    if (st < 0) return st;
  }
  return st;
}
// The zero-based index'th physical name, cut to the buffer (64 bits, so a
// one-based index turned zero-based never overflows).
ViStatus GetRepCapName(ViSession vi, long long index, ViInt32 size, ViChar name[]);
// The physical names of the session's repeated capability.
const std::vector<std::string>& PhysicalNames(ViSession vi);

}  // namespace vexo
