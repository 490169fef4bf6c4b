// SPDX-License-Identifier: MIT
// The driver's functions written by hand, once: the header section each is
// declared in, its name, its parameters, what it does and what it returns. The public header,
// the reference, the Python package and the API list are all made from this
// table and the attribute list (whose ZEVRA_Get<Name>/ZEVRA_Set<Name> are
// generated); the compiler holds the implementations to it through the header.
#pragma once

#include <span>

namespace reference_docs {

// How a function's exchanges with the instrument are known.
enum class Io {
  kAsRecorded,  // it talks when its recorded example call sent lines, or its attribute has a command
  kTalks,       // it talks, though no recorded example shows it (it depends on its arguments)
  kDirect,      // direct I/O: it talks, with no status check after, and `statuses` says all it returns
};

struct FunctionRow {
  const char* section;     // the header section ("Session life")
  const char* name;        // "ZEVRA_init"
  const char* parameters;  // "ViRsrc ResourceName, ViBoolean IdQuery, ..."
  const char* prose;       // what it does, broken into the lines the header shows
  const char* statuses = "";  // what it returns of its own besides VI_SUCCESS and the common statuses
  Io io = Io::kAsRecorded;
};

// In header order.
std::span<const FunctionRow> WrittenFunctions();

// The section of the generated attribute functions, which follows the others.
inline constexpr const char* kGeneratedSection = "Generated attribute functions (instrument-specific attributes)";

}  // namespace reference_docs
