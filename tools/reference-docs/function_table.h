// SPDX-License-Identifier: MIT
// The driver's functions written by hand, once: the header section each is
// declared in, its name, its parameters and what it does. The public header,
// the reference, the Python package and the API list are all made from this
// table and the attribute list (whose ZEVRA_Get<Name>/ZEVRA_Set<Name> are
// generated); the compiler holds the implementations to it through the header.
#pragma once

#include <span>

namespace reference_docs {

struct FunctionRow {
  const char* section;     // the header section ("Session life")
  const char* name;        // "ZEVRA_init"
  const char* parameters;  // "ViRsrc ResourceName, ViBoolean IdQuery, ..."
  const char* prose;       // what it does, broken into the lines the header shows
};

// In header order.
std::span<const FunctionRow> WrittenFunctions();

// The section of the generated attribute functions, which follows the others.
inline constexpr const char* kGeneratedSection = "Generated attribute functions (instrument-specific attributes)";

}  // namespace reference_docs
