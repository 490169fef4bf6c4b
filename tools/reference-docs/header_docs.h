// SPDX-License-Identifier: MIT
// The public header written from the driver's tables: the status codes, above
// each attribute ID what the attribute is and does, the defined values, and
// each function's declaration with what it does, what each parameter means,
// the lines it sends and the statuses it returns besides the common ones. The
// reference documentation shows the same.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "function_exchanges.h"
#include "header_declarations.h"

namespace reference_docs {

// The functions that exchange with the instrument: those whose recorded call
// sent lines, and those the tables say talk.
std::set<std::string> TalkingFunctions(const std::vector<Declaration>& declarations,
                                       const std::vector<RecordedCall>& recorded);

// "VI_SUCCESS, <its own statuses>[; I/O statuses]", as @returns and the reference show it.
std::string ReturnsSummary(const Declaration& d, const std::set<std::string>& talking);

// The lines the recorded example call of `function` sent, quoted and followed
// by the call: what @sends shows. Empty when it sent none.
std::string SentLines(const std::string& function, const std::vector<RecordedCall>& recorded);

// The public header: `layout` with its placeholders filled from the tables
// (@STATUS_CODES@, @ATTRIBUTES@ with each one's summary, @DEFINED_VALUES@,
// and @FUNCTIONS <section>@ with each function's prose, parameters, the lines
// it sends and its statuses). Empty, with `error` set, when a text would end
// its comment, a placeholder is unknown or a section has no place.
std::string WriteHeader(const std::string& layout, const std::set<std::string>& talking,
                        const std::vector<RecordedCall>& recorded, std::string& error);

}  // namespace reference_docs
