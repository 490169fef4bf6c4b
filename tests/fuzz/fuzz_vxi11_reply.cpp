// VXI-11 reply bodies as the client decodes them, each type from the input.
#include <rpc/rpc.h>

#include "fuzz_support.h"
#include "vxi11.h"

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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DecodeAs<Device_ReadResp>(data, size, xdr_Device_ReadResp);
  DecodeAs<Device_WriteResp>(data, size, xdr_Device_WriteResp);
  DecodeAs<Create_LinkResp>(data, size, xdr_Create_LinkResp);
  DecodeAs<Device_Error>(data, size, xdr_Device_Error);
  DecodeAs<Device_WriteParms>(data, size, xdr_Device_WriteParms);  // as the emulator's server reads it
  DecodeAs<Device_ReadParms>(data, size, xdr_Device_ReadParms);
  DecodeAs<Create_LinkParms>(data, size, xdr_Create_LinkParms);
  return 0;
}
