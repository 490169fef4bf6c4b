// SPDX-License-Identifier: MIT
// The exported functions on buffers, strings and files: viSetBuf, viBufWrite,
// viBufRead, viSPrintf/viSScanf (and va_list forms), viReadToFile, viWriteFromFile.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "api_guard.h"
#include "string_format.h"
#include "visa.h"

using visa::InstrumentSession;

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

extern "C" {

ViStatus viSetBuf(ViSession vi, ViUInt16 mask, ViUInt32 size) {
  return visa::with_session(__func__, vi, [&](InstrumentSession& s) { return s.set_buffer_size(mask, size); });
}

ViStatus viBufWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
  if (retCnt != nullptr) *retCnt = 0;
  return visa::with_accessible_session(__func__, vi, [&](InstrumentSession& s) -> ViStatus {
    if (buf == nullptr && cnt > 0) return VI_ERROR_USER_BUF;
    std::size_t written = 0;
    ViStatus st = s.buffer_write(reinterpret_cast<const char*>(buf), cnt, written);
    if (retCnt != nullptr) *retCnt = static_cast<ViUInt32>(written);
    return st;
  });
}

// Raw and formatted reads share one buffer, so a buffered read is a read.
ViStatus viBufRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) { return viRead(vi, buf, cnt, retCnt); }

ViStatus viVSPrintf(ViSession vi, ViPBuf buf, ViConstString writeFmt, va_list parms) {
  return visa::with_copied_args(parms, [&, operation = __func__](va_list* args) {
    return visa::with_session(operation, vi, [&](InstrumentSession&) -> ViStatus {
    if (buf == nullptr) return VI_ERROR_USER_BUF;
    std::string text;
    ViStatus formatted = visa::format_to_string(writeFmt, args, text);
    if (formatted < 0) return formatted;
    std::memcpy(buf, text.c_str(), text.size() + 1);
    return formatted;
  });
  });
}

ViStatus viSPrintf(ViSession vi, ViPBuf buf, ViConstString writeFmt, ...) {
  va_list args;
  va_start(args, writeFmt);
  visa::TracedCall trace(__func__, vi);
  ViStatus st = viVSPrintf(vi, buf, writeFmt, args);
  va_end(args);
  return trace.finish(st);
}

ViStatus viVSScanf(ViSession vi, ViConstBuf buf, ViConstString readFmt, va_list parms) {
  return visa::with_copied_args(parms, [&, operation = __func__](va_list* args) {
    return visa::with_session(operation, vi, [&](InstrumentSession&) -> ViStatus {
    if (buf == nullptr) return VI_ERROR_USER_BUF;
    return visa::scan_from_string(reinterpret_cast<const char*>(buf), readFmt, args);
  });
  });
}

ViStatus viSScanf(ViSession vi, ViConstBuf buf, ViConstString readFmt, ...) {
  va_list args;
  va_start(args, readFmt);
  visa::TracedCall trace(__func__, vi);
  ViStatus st = viVSScanf(vi, buf, readFmt, args);
  va_end(args);
  return trace.finish(st);
}

// Reads up to `cnt` bytes, or to the end of the message, into a new file.
ViStatus viReadToFile(ViSession vi, ViConstString filename, ViUInt32 cnt, ViPUInt32 retCnt) {
  if (retCnt != nullptr) *retCnt = 0;
  return visa::with_accessible_session(__func__, vi, [&](InstrumentSession& s) -> ViStatus {
    if (filename == nullptr) return VI_ERROR_INV_PARAMETER;
    File file(std::fopen(filename, s.appends_to_files() ? "ab" : "wb"));
    if (!file) return VI_ERROR_INV_PARAMETER;
    std::vector<char> chunk(64 * 1024);
    ViUInt32 total = 0;
    ViStatus st = VI_SUCCESS_MAX_CNT;
    while (total < cnt && st == VI_SUCCESS_MAX_CNT) {
      std::size_t got = 0;
      st = s.read(chunk.data(), std::min<std::size_t>(chunk.size(), cnt - total), got);
      if (got > 0 && std::fwrite(chunk.data(), 1, got, file.get()) != got) return VI_ERROR_IO;
      total += static_cast<ViUInt32>(got);
      if (retCnt != nullptr) *retCnt = total;
      if (st < 0) return st;
    }
    return std::fflush(file.get()) == 0 ? st : VI_ERROR_IO;
  });
}

// Sends up to `cnt` bytes of a file as one message.
ViStatus viWriteFromFile(ViSession vi, ViConstString filename, ViUInt32 cnt, ViPUInt32 retCnt) {
  if (retCnt != nullptr) *retCnt = 0;
  return visa::with_accessible_session(__func__, vi, [&](InstrumentSession& s) -> ViStatus {
    if (filename == nullptr) return VI_ERROR_INV_PARAMETER;
    File file(std::fopen(filename, "rb"));
    if (!file) return VI_ERROR_INV_PARAMETER;
    std::string data;
    std::vector<char> chunk(64 * 1024);
    while (data.size() < cnt) {
      std::size_t n = std::fread(chunk.data(), 1, std::min<std::size_t>(chunk.size(), cnt - data.size()), file.get());
      if (n == 0) break;
      data.append(chunk.data(), n);
    }
    if (std::ferror(file.get())) return VI_ERROR_IO;
    std::size_t written = 0;
    ViStatus st = s.write(data.data(), data.size(), written);
    if (retCnt != nullptr) *retCnt = static_cast<ViUInt32>(written);
    return st;
  });
}

}  // extern "C"
