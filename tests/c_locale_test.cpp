// SPDX-License-Identifier: MIT
// Numbers on the wire keep the C locale's decimal point while the program
// runs in a locale with a decimal comma, and the program's locale is back
// afterwards, on another thread too. Skipped where no such locale is installed.
#include "c_locale.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <cstdio>
#include <string>
#include <thread>

namespace {

std::string Formatted(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

TEST(ScopedCLocale, NumbersUseAPointWhateverTheProgramsLocale) {
  const char* commas[] = {"German_Germany", "de_DE.UTF-8", "de_DE"};
  const char* chosen = nullptr;
  for (const char* name : commas)
    if ((chosen = setlocale(LC_ALL, name)) != nullptr) break;
  if (chosen == nullptr) GTEST_SKIP() << "no locale with a decimal comma is installed";
  ASSERT_EQ(Formatted(1.5), "1,5");
  {
    visa::ScopedCLocale scoped;
    EXPECT_EQ(Formatted(1.5), "1.5");
    double read = 0;
    EXPECT_EQ(std::sscanf("2.25", "%lf", &read), 1);
    EXPECT_EQ(read, 2.25);
  }
  EXPECT_EQ(Formatted(1.5), "1,5") << "the program's locale is back";
  std::thread other([] {
    visa::ScopedCLocale scoped;
    EXPECT_EQ(Formatted(0.5), "0.5");
  });
  other.join();
  EXPECT_EQ(Formatted(1.5), "1,5") << "another thread's scope leaves this one's locale alone";
  setlocale(LC_ALL, "C");
}

}  // namespace
