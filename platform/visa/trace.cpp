// SPDX-License-Identifier: MIT
#include "trace.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <cstdlib>
#include <mutex>

#include "status_text.h"
#include "utc_timestamp.h"

namespace visa {
namespace {

// Payloads longer than this are cut, with their length shown.
constexpr std::size_t kShownBytes = 200;

struct Sink {
  std::FILE* file = nullptr;
  bool owned = false;
  std::mutex mutex;
};

#ifdef _WIN32
// A file (or the console, or NUL) to append to; a pipe is refused, as on
// other systems, since a slow reader would hold every traced call.
std::FILE* OpenTraceFile(const char* path, std::string& why) {
  HANDLE handle = ::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    why = "cannot open it (Windows error " + std::to_string(::GetLastError()) + ")";
    return nullptr;
  }
  const DWORD type = ::GetFileType(handle);
  if (type != FILE_TYPE_DISK && type != FILE_TYPE_CHAR) {
    why = type == FILE_TYPE_PIPE ? "a pipe" : "not a regular file";
    ::CloseHandle(handle);
    return nullptr;
  }
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_APPEND | _O_TEXT);
  if (fd < 0) {
    ::CloseHandle(handle);
    why = std::strerror(errno);
    return nullptr;
  }
  std::FILE* file = ::_fdopen(fd, "a");
  if (file == nullptr) {
    why = std::strerror(errno);
    ::_close(fd);
  }
  return file;
}

long ThreadId() { return static_cast<long>(::GetCurrentThreadId()); }
#else
// A file (or a terminal, or /dev/null) to append to. A FIFO would hold every
// program at load until a reader came, so it is refused, as is anything else
// that is not a file one writes lines to.
std::FILE* OpenTraceFile(const char* path, std::string& why) {
  int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) {
    why = errno == ENXIO ? "a FIFO" : std::strerror(errno);
    return nullptr;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !(S_ISREG(info.st_mode) || S_ISCHR(info.st_mode))) {
    why = S_ISFIFO(info.st_mode) ? "a FIFO" : "not a regular file";
    ::close(fd);
    return nullptr;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* file = ::fdopen(fd, "a");
  if (file == nullptr) {
    why = std::strerror(errno);
    ::close(fd);
  }
  return file;
}

long ThreadId() { return static_cast<long>(::syscall(SYS_gettid)); }
#endif

// Looked up once; never destroyed, so calls from exit handlers still trace.
Sink* TheSink() {
  static Sink* sink = [] {
    const char* where = std::getenv("ZEVRA_VISA_TRACE");
    if (where == nullptr || *where == '\0') return static_cast<Sink*>(nullptr);
    auto* s = new Sink;
    std::string why;
    if (std::string(where) == "-") {
      s->file = stderr;
    } else {
      s->file = OpenTraceFile(where, why);
      s->owned = true;
    }
    if (s->file == nullptr) {
      std::fprintf(stderr, "visa: cannot use the trace file %s: %s; no trace is written\n", where, why.c_str());
      delete s;
      return static_cast<Sink*>(nullptr);
    }
    return s;
  }();
  return sink;
}

struct CallRecord {
  const char* operation = nullptr;
  ViObject object = 0;
  std::chrono::system_clock::time_point wall;
  std::chrono::steady_clock::time_point start;
  // The first bytes each way, and how many there were.
  std::string written, read, detail, notes;
  std::size_t written_total = 0, read_total = 0;
};

void Keep(std::string& kept, std::size_t& total, const char* data, std::size_t size) {
  total += size;
  if (kept.size() < kShownBytes) kept.append(data, std::min(size, kShownBytes - kept.size()));
}

thread_local CallRecord* current = nullptr;
thread_local CallRecord record;

// Printable, with C escapes for the rest; long payloads cut, with their length.
std::string Shown(const std::string& bytes, std::size_t total) {
  std::string out = "\"";
  for (std::size_t i = 0; i < bytes.size() && i < kShownBytes; ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (c == '"' || c == '\\') out += std::string("\\") + static_cast<char>(c);
    else if (c < 0x20 || c >= 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += "\"";
  if (total > bytes.size()) out += "... (" + std::to_string(total) + " bytes)";
  return out;
}

}  // namespace

const bool kTraceEnabled = TheSink() != nullptr;

void TracedCall::begin(const char* operation, ViObject object) noexcept {
  if (current != nullptr) return;  // part of the call already traced
  try {
    record = CallRecord{};
    record.operation = operation;
    record.object = object;
    record.wall = std::chrono::system_clock::now();
    record.start = std::chrono::steady_clock::now();
    current = &record;
    active_ = true;
  } catch (...) {
  }
}

ViStatus TracedCall::finish_traced(ViStatus status) noexcept {
  active_ = false;
  current = nullptr;
  try {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - record.start).count();
    std::string name;
    status_text(status, name);
    name = name.substr(0, name.find(':'));
    char head[96];
    std::snprintf(head, sizeof head, " thread %ld session 0x%X ", ThreadId(),
                  static_cast<unsigned>(record.object));
    std::string line = timestamps::utc_timestamp(record.wall, 6) + head + record.operation;
    if (!record.detail.empty()) line += " " + record.detail;
    line += record.notes;
    if (record.written_total > 0) line += " wrote " + Shown(record.written, record.written_total);
    if (record.read_total > 0) line += " read " + Shown(record.read, record.read_total);
    char tail[64];
    line += " -> " + name;
    std::snprintf(tail, sizeof tail, " (0x%08X) in %.6f s\n", static_cast<unsigned>(status), seconds);
    line += tail;
    Sink* sink = TheSink();
    std::lock_guard lock(sink->mutex);
    std::fputs(line.c_str(), sink->file);
    std::fflush(sink->file);
  } catch (...) {
  }
  return status;
}

void keep_written(const char* data, std::size_t size) noexcept {
  if (current == nullptr || data == nullptr) return;
  try {
    Keep(current->written, current->written_total, data, size);
  } catch (...) {
  }
}

void keep_read(const char* data, std::size_t size) noexcept {
  if (current == nullptr || data == nullptr) return;
  try {
    Keep(current->read, current->read_total, data, size);
  } catch (...) {
  }
}

void trace_detail(const std::string& text) noexcept {
  if (!trace_enabled() || current == nullptr) return;
  try {
    current->detail = text;
  } catch (...) {
  }
}

void trace_note(const std::string& text) noexcept {
  if (!trace_enabled() || current == nullptr || text.empty()) return;
  try {
    current->notes += " [" + text + "]";
  } catch (...) {
  }
}

}  // namespace visa
