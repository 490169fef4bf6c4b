// SPDX-License-Identifier: MIT
#include "log_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "report.h"
#include "safe_file.h"
#include "session.h"
#include "utc_timestamp.h"

namespace zevra_tool {
namespace {

Failure WriteFailure(const std::string& path, int err) {
  return Failure("cannot write " + path + ": " + std::strerror(err), 1);
}

}  // namespace

void CheckWritable(const std::string& path) {
  const std::string target = iviconfig::ResolvedTarget(path);
  if (::access(target.c_str(), F_OK) == 0) {
    if (::access(target.c_str(), W_OK) != 0) throw Failure("cannot write " + path + ": " + std::strerror(errno), 2);
    return;
  }
  std::size_t slash = target.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  if (::access(directory.c_str(), W_OK | X_OK) != 0)
    throw Failure("cannot write " + path + ": " + directory + ": " + std::strerror(errno), 2);
}

CsvLog::CsvLog(const std::string& path, const std::vector<std::string>& channels) : path_(path) {
  file_.reset(std::fopen(path.c_str(), "w"));
  if (!file_) throw Failure("cannot write " + path + ": " + std::strerror(errno), 2);
  std::string header = "timestamp,time_s";
  // One channel: plain column names; several: each prefixed with its channel.
  for (const std::string& channel : channels) {
    std::string prefix = channels.size() > 1 ? channel + "_" : "";
    header += "," + prefix + "voltage_V," + prefix + "current_A," + prefix + "power_W";
  }
  Write(header + "\n");
}

void CsvLog::Append(std::chrono::system_clock::time_point wall_start, const std::vector<Sample>& samples) {
  const double t = samples.front().time_s;
  auto at = wall_start + std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::duration<double>(t));
  std::string row = timestamps::utc_timestamp(at, 3) + "," + FormatNumber(t, 3);
  for (const Sample& s : samples)
    row += "," + FormatNumber(s.voltage) + "," + FormatNumber(s.current) + "," + FormatNumber(s.power);
  Write(row + "\n");
}

void CsvLog::Write(const std::string& text) {
  if (std::fwrite(text.data(), 1, text.size(), file_.get()) != text.size() || std::fflush(file_.get()) != 0)
    throw WriteFailure(path_, errno);
}

void CsvLog::Close() {
  if (!file_) return;
  int err = 0;
  if (std::fflush(file_.get()) != 0) err = errno;
  // A regular file is flushed to disk; a pipe or terminal has nothing to sync.
  if (err == 0 && ::fsync(::fileno(file_.get())) != 0 && errno != EINVAL && errno != EROFS) err = errno;
  if (std::fclose(file_.release()) != 0 && err == 0) err = errno;
  if (err != 0) throw WriteFailure(path_, err);
}

void WriteWholeFile(const std::string& path, const std::string& content) {
  if (auto why = iviconfig::ReplaceFileContent(path, content)) throw Failure(*why, 1);
}

}  // namespace zevra_tool
