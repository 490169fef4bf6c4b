// SPDX-License-Identifier: MIT
// The files "zevra log" writes: the CSV row by row as samples are taken, so an
// interrupted run keeps every sample, and the chart and page at the end, each
// replacing its file whole. Every failed write is a Failure naming the file.
#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "svg_chart.h"

namespace zevra_tool {

// Fails (exit 2) when `path` cannot be written, before any sample is taken.
void CheckWritable(const std::string& path);

class CsvLog {
 public:
  // Creates (or empties) `path` and writes the header for `channels`.
  CsvLog(const std::string& path, const std::vector<std::string>& channels);
  // One row: the time and each channel's sample, flushed to the file at once.
  void Append(std::chrono::system_clock::time_point wall_start, const std::vector<Sample>& samples);
  // Flushes to disk and closes; a failure here is reported like any other.
  void Close();

 private:
  void Write(const std::string& text);
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::string path_;
  std::unique_ptr<std::FILE, Closer> file_;
};

// Replaces `path` with `content` (see ReplaceFileContent); a Failure otherwise.
void WriteWholeFile(const std::string& path, const std::string& content);

}  // namespace zevra_tool
