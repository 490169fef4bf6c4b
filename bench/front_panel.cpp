// SPDX-License-Identifier: MIT
// The front panel's own speed against the driver calls it makes, with the
// options zevra opens with (QueryInstrStatus=1) and an emulator in the same
// process, as the program's --emulate runs one:
// - `zevra log all --interval 0` (back to back): samples a second, against
//   ZEVRA_MeasureAllChannels called in a loop for as long;
// - `zevra shell` reading "measure all" lines: CPU time a line (the process's,
//   emulator included, less that of a run with no lines), against the CPU
//   time of one ZEVRA_MeasureAllChannels call in this process.
// Medians of rounds.
//
// usage: front_panel ZEVRA_PROGRAM [DURATION_S] [ROUNDS]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ZEVRA.h"
#include "bench_support.h"
#include "driver_store.h"
#include "qdx_instrument.h"
#include "socket_server.h"

namespace {

// A driver session as zevra opens one, or VI_NULL.
ViSession OpenAsZevra(const std::string& resource) {
  ViSession vi = VI_NULL;
  if (ZEVRA_InitWithOptions(const_cast<char*>(resource.c_str()), VI_TRUE, VI_FALSE, "QueryInstrStatus=1", &vi) < 0)
    return VI_NULL;
  return vi;
}

// The call `zevra log all` and a "measure all" line make.
bool MeasureAll(ViSession vi) {
  ViReal64 v[4], i[4], p[4];
  ViInt32 nv = 0, ni = 0, np = 0;
  return ZEVRA_MeasureAllChannels(vi, 4, v, &nv, 4, i, &ni, 4, p, &np) >= 0;
}

// Samples per second of the driver called back to back.
double DriverRate(const std::string& resource, double duration_s) {
  const ViSession vi = OpenAsZevra(resource);
  if (vi == VI_NULL) return -1;
  long samples = 0;
  const auto start = std::chrono::steady_clock::now();
  const auto end = start + std::chrono::duration<double>(duration_s);
  while (std::chrono::steady_clock::now() < end) {
    if (!MeasureAll(vi)) return -1;
    ++samples;
  }
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ZEVRA_close(vi);
  return static_cast<double>(samples) / elapsed;
}

double ProcessCpuSeconds(int who) {
  rusage u{};
  getrusage(who, &u);
  auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6; };
  return s(u.ru_utime) + s(u.ru_stime);
}

// CPU seconds of one ZEVRA_MeasureAllChannels, this process's (emulator included).
double DriverCallCpu(const std::string& resource, int calls) {
  const ViSession vi = OpenAsZevra(resource);
  if (vi == VI_NULL) return -1;
  const double start = ProcessCpuSeconds(RUSAGE_SELF);
  for (int k = 0; k < calls; ++k)
    if (!MeasureAll(vi)) return -1;
  const double cpu = ProcessCpuSeconds(RUSAGE_SELF) - start;
  ZEVRA_close(vi);
  return cpu / calls;
}

// CPU seconds of a zevra shell run given `lines` lines of "measure all" (output discarded).
double ShellCpu(const std::string& program, int lines) {
  int to_shell[2];
  if (pipe(to_shell) != 0) return -1;
  const double before = ProcessCpuSeconds(RUSAGE_CHILDREN);
  pid_t child = fork();
  if (child == 0) {
    dup2(to_shell[0], STDIN_FILENO);
    close(to_shell[0]);
    close(to_shell[1]);
    freopen("/dev/null", "w", stdout);
    execl(program.c_str(), program.c_str(), "--emulate", "shell", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(to_shell[0]);
  std::string script;
  for (int k = 0; k < lines; ++k) script += "measure all\n";
  for (std::size_t at = 0; at < script.size();) {
    ssize_t n = write(to_shell[1], script.data() + at, script.size() - at);
    if (n <= 0) break;
    at += static_cast<std::size_t>(n);
  }
  close(to_shell[1]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return ProcessCpuSeconds(RUSAGE_CHILDREN) - before;
}

// Samples per second zevra logged, counted in its CSV file.
double LogRate(const std::string& program, const std::string& csv, double duration_s) {
  const std::string duration = std::to_string(duration_s);
  pid_t child = fork();
  if (child == 0) {
    execl(program.c_str(), program.c_str(), "--emulate", "log", "all", "--interval", "0", "--duration",
          duration.c_str(), "--csv", csv.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  std::ifstream in(csv);
  long rows = -1;  // the header
  for (std::string line; std::getline(in, line);) ++rows;
  return static_cast<double>(rows) / duration_s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: log_rate ZEVRA_PROGRAM [DURATION_S] [ROUNDS]\n");
    return 2;
  }
  const std::string program = argv[1];
  const double duration_s = argc > 2 ? std::atof(argv[2]) : 2.0;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
  emulator::QdxOptions options;
  options.loads = {10, 10, 10, 10};  // as zevra --emulate
  emulator::QdxInstrument instrument(options);
  emulator::SocketServer server(instrument, nullptr);
  bench::TempDriverStore store;
  if (!server.start("127.0.0.1", 0).empty() || !store.ok()) return 1;
  const std::string resource = "TCPIP0::127.0.0.1::" + std::to_string(server.port()) + "::SOCKET";
  const std::string csv = (std::filesystem::temp_directory_path() / "zevra-log-rate.csv").string();

  constexpr int kLines = 20000;
  std::vector<double> driver, logged, call_cpu, line_cpu;
  for (int round = 0; round < rounds; ++round) {
    driver.push_back(DriverRate(resource, duration_s));
    logged.push_back(LogRate(program, csv, duration_s));
    call_cpu.push_back(DriverCallCpu(resource, kLines));
    const double with_lines = ShellCpu(program, kLines), without = ShellCpu(program, 0);
    line_cpu.push_back((with_lines - without) / kLines);
    if (driver.back() < 0 || logged.back() < 0 || call_cpu.back() < 0 || with_lines < 0 || without < 0) {
      std::fprintf(stderr, "a run failed\n");
      return 1;
    }
  }
  std::filesystem::remove(csv);
  const double d = bench::Median(driver), l = bench::Median(logged);
  const double call = bench::Median(call_cpu), line = bench::Median(line_cpu);
  std::printf("%d rounds (logs of %.1f s, %d shell lines); medians\n", rounds, duration_s, kLines);
  std::printf("%-44s %14s %8s\n", "path", "", "ratio");
  std::printf("%-44s %10.0f /s\n", "ZEVRA_MeasureAllChannels back to back", d);
  std::printf("%-44s %10.0f /s %8.2f\n", "zevra log all --interval 0 (CSV written)", l, l / d);
  std::printf("%-44s %10.1f us\n", "ZEVRA_MeasureAllChannels, CPU a call", call * 1e6);
  std::printf("%-44s %10.1f us %8.2f\n", "zevra shell \"measure all\", CPU a line", line * 1e6, line / call);
  return 0;
}
