// SPDX-License-Identifier: MIT
// "2026-12-07T12:31:05.123456Z": a UTC time as the VISA trace, the emulator's
// transcript and zevra's logs write it, to the millisecond or microsecond.
#pragma once

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

namespace timestamps {

// `decimals` is 3 (milliseconds) or 6 (microseconds).
inline std::string utc_timestamp(std::chrono::system_clock::time_point at, int decimals) {
  const long long us = std::chrono::duration_cast<std::chrono::microseconds>(at.time_since_epoch()).count();
  std::time_t seconds = static_cast<std::time_t>(us / 1000000);
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &seconds);
#else
  gmtime_r(&seconds, &utc);
#endif
  char text[48];
  std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
  const long long fraction = decimals == 3 ? us % 1000000 / 1000 : us % 1000000;
  std::snprintf(text + n, sizeof text - n, ".%0*lldZ", decimals == 3 ? 3 : 6, fraction);
  return text;
}

}  // namespace timestamps
