// SPDX-License-Identifier: MIT
// A soak of the driver against the emulator over loopback: mixed exchanges
// (levels written and read back from the instrument, measurements, error
// queries, direct I/O, a session reopened now and then), with the process's
// resident memory and open descriptors printed as it goes, so that growth
// shows. Not part of the test suite.
//
// usage: driver_soak [EXCHANGES]   (default 1000000)
#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ZEVRA.h"
#include "bench_support.h"
#include "driver_store.h"
#include "qdx_on_loopback.h"

namespace {

int OpenDescriptors() {
  int count = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d) != nullptr) ++count;
    closedir(d);
  }
  return count;
}

bool Check(ViSession vi, ViStatus st, const char* what) {
  if (st >= VI_SUCCESS) return true;
  char text[512] = "";
  ZEVRA_GetError(vi, &st, sizeof text, text);
  std::fprintf(stderr, "%s failed: 0x%08X %s\n", what, static_cast<unsigned>(st), text);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  long exchanges = argc > 1 ? std::atol(argv[1]) : 1000000;
  bench::QdxOnLoopback qdx;
  bench::TempDriverStore store;
  if (!qdx.start() || !store.ok()) return 1;
  std::string resource = qdx.resource();

  ViSession vi = VI_NULL;
  auto open = [&] {
    return Check(VI_NULL, ZEVRA_InitWithOptions(resource.data(), VI_TRUE, VI_FALSE, "QueryInstrStatus=1", &vi),
                 "open");
  };
  if (!open()) return 1;
  std::printf("%10s %10s %12s %6s\n", "exchanges", "seconds", "RSS kB", "fds");
  auto start = std::chrono::steady_clock::now();
  auto report = [&](long done) {
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%10ld %10.1f %12ld %6d\n", done, elapsed.count(), bench::ResidentKb(), OpenDescriptors());
    std::fflush(stdout);
  };
  report(0);
  const char* channels[] = {"CH1", "CH2", "CH3"};
  for (long k = 0; k < exchanges;) {
    const char* ch = channels[k % 3];
    double level = 1.0 + static_cast<double>(k % 50) * 0.01;
    ViReal64 value = 0;
    ViInt32 code = 0;
    char text[256];
    ViInt64 count = 0;
    bool ok = Check(vi, ZEVRA_ConfigureVoltageLevel(vi, ch, level), "set level") &&
              Check(vi, ZEVRA_InvalidateAllAttributes(vi), "invalidate") &&
              Check(vi, ZEVRA_GetAttributeViReal64(vi, ch, ZEVRA_ATTR_VOLTAGE_LEVEL, &value), "get level") &&
              Check(vi, ZEVRA_Measure(vi, ch, ZEVRA_VAL_MEASURE_CURRENT, &value), "measure") &&
              Check(vi, ZEVRA_error_query(vi, &code, text), "error query") &&
              Check(vi, ZEVRA_viWrite(vi, 6, "*IDN?\n", &count), "write") &&
              Check(vi, ZEVRA_viRead(vi, sizeof text, text, &count), "read");
    if (!ok) return 1;
    // Exchanges on the wire: each level write and read selects the channel
    // first and checks the status after; the rest are one exchange each.
    long before = k;
    k += 12;
    if (k / 100000 != before / 100000) report(k);
    if (k % 20000 < 12) {
      if (!Check(vi, ZEVRA_close(vi), "close") || !open()) return 1;
    }
  }
  report(exchanges);
  ZEVRA_close(vi);
  return 0;
}
