// SPDX-License-Identifier: MIT
// VISA resource names.
#include "fuzz_support.h"
#include "resource_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  visa::ResourceName name;
  if (visa::parse_resource_name(fuzzing::Text(data, size), name) == VI_SUCCESS) {
    // What parsed once parses the same from its canonical form.
    visa::ResourceName again;
    if (visa::parse_resource_name(name.canonical, again) != VI_SUCCESS || again.canonical != name.canonical)
      std::abort();
  }
  return 0;
}
