// SPDX-License-Identifier: MIT
// `zevra log all --interval 0` (back to back) against the driver's own rate:
// ZEVRA_MeasureAllChannels called in a loop, with the options zevra opens
// with (QueryInstrStatus=1), against an emulator in the same process as the
// program's own --emulate runs one. Each round runs both for DURATION
// seconds; medians of rounds.
//
// usage: log_rate ZEVRA_PROGRAM [DURATION_S] [ROUNDS]
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

// Samples per second of the driver called back to back.
double DriverRate(const std::string& resource, double duration_s) {
  ViSession vi = VI_NULL;
  if (ZEVRA_InitWithOptions(const_cast<char*>(resource.c_str()), VI_TRUE, VI_FALSE, "QueryInstrStatus=1", &vi) < 0)
    return -1;
  ViReal64 v[4], i[4], p[4];
  ViInt32 nv = 0, ni = 0, np = 0;
  long samples = 0;
  const auto start = std::chrono::steady_clock::now();
  const auto end = start + std::chrono::duration<double>(duration_s);
  while (std::chrono::steady_clock::now() < end) {
    if (ZEVRA_MeasureAllChannels(vi, 4, v, &nv, 4, i, &ni, 4, p, &np) < 0) return -1;
    ++samples;
  }
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ZEVRA_close(vi);
  return static_cast<double>(samples) / elapsed;
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

  std::vector<double> driver, logged;
  for (int round = 0; round < rounds; ++round) {
    driver.push_back(DriverRate(resource, duration_s));
    logged.push_back(LogRate(program, csv, duration_s));
    if (driver.back() < 0 || logged.back() < 0) {
      std::fprintf(stderr, "a run failed\n");
      return 1;
    }
  }
  std::filesystem::remove(csv);
  const double d = bench::Median(driver), l = bench::Median(logged);
  std::printf("%d rounds of %.1f s each; medians\n", rounds, duration_s);
  std::printf("%-44s %12s %8s\n", "path", "samples/s", "ratio");
  std::printf("%-44s %12.0f\n", "ZEVRA_MeasureAllChannels back to back", d);
  std::printf("%-44s %12.0f %8.2f\n", "zevra log all --interval 0 (CSV written)", l, l / d);
  return 0;
}
