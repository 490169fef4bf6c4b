// SPDX-License-Identifier: MIT
// Channel-based attribute access in simulation: a write and a read of
// ZEVRA_ATTR_VOLTAGE_LEVEL on "CH2", and through a two-channel selector; and
// the selector resolution on its own, first time versus remembered.
//
// Needs a configuration store registering ZEVRA: the benchmark writes one in
// a temporary directory and points IVICONFIGSERVERDEFAULT at it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ZEVRA.h"
#include "selector.h"

namespace {

ViSession OpenSimulated() {
  static ViSession vi = [] {
    auto dir = std::filesystem::temp_directory_path() / "zevra-bench";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "store.xml")
        << "<IviConfigStore><SoftwareModules><IviSoftwareModule id=\"ZEVRA\"><Name>ZEVRA</Name>"
           "</IviSoftwareModule></SoftwareModules></IviConfigStore>";
    setenv("IVICONFIGSERVERDEFAULT", (dir / "store.xml").c_str(), 1);
    ViSession session = VI_NULL;
    char name[] = "sim";
    if (ZEVRA_InitWithOptions(name, VI_FALSE, VI_FALSE, "Simulate=1", &session) < 0) std::abort();
    return session;
  }();
  return vi;
}

void WriteAndRead(benchmark::State& state, const char* write_selector) {
  ViSession vi = OpenSimulated();
  ViReal64 value = 0;
  for (auto _ : state) {
    ZEVRA_SetAttributeViReal64(vi, write_selector, ZEVRA_ATTR_VOLTAGE_LEVEL, 5.0);
    ZEVRA_GetAttributeViReal64(vi, "CH2", ZEVRA_ATTR_VOLTAGE_LEVEL, &value);
    benchmark::DoNotOptimize(value);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_WriteReadOneChannel(benchmark::State& state) { WriteAndRead(state, "CH2"); }
void BM_WriteTwoChannelsReadOne(benchmark::State& state) { WriteAndRead(state, "CH1,CH2"); }

// Resolution without a session is never remembered: the full parse every time.
void BM_ResolveFirstTime(benchmark::State& state) {
  std::vector<std::string> channels;
  for (auto _ : state) {
    vexo::ResolveSelector(VI_NULL, "CH1,CH2", true, channels);
    benchmark::DoNotOptimize(channels);
  }
}

void BM_ResolveRemembered(benchmark::State& state) {
  ViSession vi = OpenSimulated();
  std::vector<std::string> channels;
  for (auto _ : state) {
    vexo::ResolveSelector(vi, "CH1,CH2", true, channels);
    benchmark::DoNotOptimize(channels);
  }
}

BENCHMARK(BM_WriteReadOneChannel);
BENCHMARK(BM_WriteTwoChannelsReadOne);
BENCHMARK(BM_ResolveFirstTime);
BENCHMARK(BM_ResolveRemembered);

}  // namespace

BENCHMARK_MAIN();
