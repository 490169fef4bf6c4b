// SPDX-License-Identifier: MIT
// VXI-11 bodies from the input: each reply type as the VISA library's own
// codec decodes it, and each call and reply type as libtirpc's generated
// routines (the emulator's) decode them.
#include <rpc/rpc.h>

#include <algorithm>
#include <cstring>

#include "fuzz_support.h"
#include "vxi11.h"
#include "vxi11_messages.h"

namespace {

template <typename T>
void DecodeAs(const std::uint8_t* data, std::size_t size, bool_t (*decode)(XDR*, T*)) {
  XDR xdrs;
  xdrmem_create(&xdrs, const_cast<char*>(reinterpret_cast<const char*>(data)), static_cast<u_int>(size), XDR_DECODE);
  T value{};
  decode(&xdrs, &value);
  xdr_free(reinterpret_cast<xdrproc_t>(decode), reinterpret_cast<char*>(&value));
  xdr_destroy(&xdrs);
}

}  // namespace

// Decodes with our codec and touches what it gave, so a bad bound shows.
template <typename Decode>
void DecodeOurs(const std::uint8_t* data, std::size_t size, Decode&& decode) {
  visa::xdr::Reader in(reinterpret_cast<const char*>(data), size);
  auto reply = decode(in);
  static char sink[64];
  if constexpr (requires { reply.data; }) {
    if (in.ok() && !reply.data.empty()) std::memcpy(sink, reply.data.data(), std::min(reply.data.size(), sizeof sink));
  }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DecodeOurs(data, size, visa::vxi11::DecodeRead);
  DecodeOurs(data, size, visa::vxi11::DecodeWrite);
  DecodeOurs(data, size, visa::vxi11::DecodeCreateLink);
  DecodeOurs(data, size, visa::vxi11::DecodeReadStb);
  DecodeAs<Device_ReadResp>(data, size, xdr_Device_ReadResp);
  DecodeAs<Device_WriteResp>(data, size, xdr_Device_WriteResp);
  DecodeAs<Create_LinkResp>(data, size, xdr_Create_LinkResp);
  DecodeAs<Device_Error>(data, size, xdr_Device_Error);
  DecodeAs<Device_WriteParms>(data, size, xdr_Device_WriteParms);  // as the emulator's server reads it
  DecodeAs<Device_ReadParms>(data, size, xdr_Device_ReadParms);
  DecodeAs<Create_LinkParms>(data, size, xdr_Create_LinkParms);
  return 0;
}
