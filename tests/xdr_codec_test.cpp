// SPDX-License-Identifier: MIT
// The VISA library's own XDR codec against libtirpc's routines generated from
// the interface definition: what one side encodes, the other decodes exactly.
#include <gtest/gtest.h>

#include <rpc/rpc.h>

#include <cstring>
#include <string>
#include <vector>

#include "vxi11.h"
#include "xdr_codec.h"

namespace {

using visa::xdr::Reader;
using visa::xdr::Writer;

// Decodes `bytes` with a generated routine.
template <typename T>
bool DecodeWithTirpc(const std::string& bytes, xdrproc_t routine, T& out) {
  XDR in;
  xdrmem_create(&in, const_cast<char*>(bytes.data()), static_cast<u_int>(bytes.size()), XDR_DECODE);
  const bool ok = routine(&in, &out) != 0 && xdr_getpos(&in) == bytes.size();
  xdr_destroy(&in);
  return ok;
}

template <typename T>
std::string EncodeWithTirpc(xdrproc_t routine, T& value) {
  std::vector<char> buffer(1 << 16);
  XDR out;
  xdrmem_create(&out, buffer.data(), static_cast<u_int>(buffer.size()), XDR_ENCODE);
  EXPECT_TRUE(routine(&out, &value));
  std::string bytes(buffer.data(), xdr_getpos(&out));
  xdr_destroy(&out);
  return bytes;
}

TEST(XdrCodec, CallArgumentsDecodeWithTheGeneratedRoutines) {
  // Data of every length modulo four, so the padding is seen each way.
  for (const std::string& data : std::vector<std::string>{"", "a", "ab", "abc", "*IDN?\n", std::string(1000, 'x')}) {
    SCOPED_TRACE(data.size());
    std::string bytes;
    Writer(bytes).i32(7).u32(2000).u32(0).i32(8).opaque(data);
    Device_WriteParms write{};
    ASSERT_TRUE(DecodeWithTirpc(bytes, reinterpret_cast<xdrproc_t>(xdr_Device_WriteParms), write));
    EXPECT_EQ(write.lid, 7);
    EXPECT_EQ(write.io_timeout, 2000u);
    EXPECT_EQ(write.flags, 8);
    EXPECT_EQ(std::string(write.data.data_val, write.data.data_len), data);
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_Device_WriteParms), reinterpret_cast<char*>(&write));
  }
  std::string bytes;
  Writer(bytes).i32(0).u32(1).u32(500).opaque("inst0");
  Create_LinkParms link{};
  ASSERT_TRUE(DecodeWithTirpc(bytes, reinterpret_cast<xdrproc_t>(xdr_Create_LinkParms), link));
  EXPECT_TRUE(link.lockDevice);
  EXPECT_EQ(link.lock_timeout, 500u);
  EXPECT_STREQ(link.device, "inst0");
  xdr_free(reinterpret_cast<xdrproc_t>(xdr_Create_LinkParms), reinterpret_cast<char*>(&link));
  bytes.clear();
  Writer(bytes).i32(3).u32(4096).u32(100).u32(0).i32(0x80).u32('\n');
  Device_ReadParms read{};
  ASSERT_TRUE(DecodeWithTirpc(bytes, reinterpret_cast<xdrproc_t>(xdr_Device_ReadParms), read));
  EXPECT_EQ(read.requestSize, 4096u);
  EXPECT_EQ(read.flags, 0x80);
  EXPECT_EQ(read.termChar, '\n');
}

TEST(XdrCodec, ResultsEncodedByTheGeneratedRoutinesDecode) {
  char payload[] = "Halmeric,QDX7001,SN42,1.04\n";
  Device_ReadResp resp{};
  resp.error = 0;
  resp.reason = 4;
  resp.data.data_len = static_cast<u_int>(std::strlen(payload));
  resp.data.data_val = payload;
  const std::string bytes = EncodeWithTirpc(reinterpret_cast<xdrproc_t>(xdr_Device_ReadResp), resp);
  Reader in(bytes.data(), bytes.size());
  EXPECT_EQ(in.i32(), 0);
  EXPECT_EQ(in.i32(), 4);
  EXPECT_EQ(in.opaque(1024), payload);
  EXPECT_TRUE(in.ok());
  EXPECT_EQ(in.left(), 0u);

  Create_LinkResp link{};
  link.error = 11;
  link.lid = -2;
  link.abortPort = 65000;
  link.maxRecvSize = 1u << 20;
  const std::string link_bytes = EncodeWithTirpc(reinterpret_cast<xdrproc_t>(xdr_Create_LinkResp), link);
  Reader l(link_bytes.data(), link_bytes.size());
  EXPECT_EQ(l.i32(), 11);
  EXPECT_EQ(l.i32(), -2);
  EXPECT_EQ(l.u32(), 65000u);
  EXPECT_EQ(l.u32(), 1u << 20);
  EXPECT_EQ(l.left(), 0u);
}

// A reply cut short, or claiming more than its bound, fails the reader and
// reads nothing past its end.
TEST(XdrCodec, ShortOrOversizedInputFailsTheReader) {
  std::string bytes;
  Writer(bytes).u32(5).opaque("abcdef");
  struct Case {
    const char* name;
    std::size_t keep;
    std::size_t bound;
  } cases[] = {{"whole", bytes.size(), 64},      {"padding cut", bytes.size() - 1, 64},
               {"data cut", 10, 64},             {"length cut", 6, 64},
               {"over the bound", bytes.size(), 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reader in(bytes.data(), c.keep);
    EXPECT_EQ(in.u32(), 5u);
    const std::string_view data = in.opaque(c.bound);
    const bool whole = c.keep == bytes.size() && c.bound >= 6;
    EXPECT_EQ(in.ok(), whole);
    EXPECT_EQ(data, whole ? "abcdef" : "");
    EXPECT_EQ(in.u32(), 0u);
    EXPECT_FALSE(in.ok());
  }
}

}  // namespace
