// SPDX-License-Identifier: MIT
// Every exported function of the driver, from its API list, given handles it
// never issued, a closed one, random ones and VISA's: each answers 0xBFFA1190
// and touches nothing. And VISA given the driver's handles answers that it
// knows no such object.
//
// The functions are called through one pointer type whose extra arguments
// all point at a zeroed scratch area: on this ABI each callee finds a valid
// pointer or some integer where it expects its own parameters, and a function
// that checks its handle first (as each must) reads none of them.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "ZEVRA.h"
#include "support/temp_store.h"
#include "visa.h"

namespace {

using AnyExport = ViStatus (*)(ViSession, void*, void*, void*, void*, void*, void*);

class BadHandles : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = dlopen(ZEVRA_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library_, nullptr) << dlerror();
    std::ifstream list(ZEVRA_API_LIST);
    for (std::string name; std::getline(list, name);) {
      if (!name.empty()) names_.push_back(name);
    }
    ASSERT_GT(names_.size(), 150u);
  }
  void TearDown() override {
    if (library_ != nullptr) dlclose(library_);
  }

  template <typename F>
  F Find(const std::string& name) {
    return reinterpret_cast<F>(dlsym(library_, name.c_str()));
  }

  // The functions that take a driver handle first; the error functions also
  // accept 0, which names the calling thread's record.
  std::vector<std::string> HandleTakers(bool zero_handle) const {
    std::vector<std::string> out;
    for (const std::string& name : names_) {
      if (name == "ZEVRA_init" || name == "ZEVRA_InitWithOptions") continue;
      if (zero_handle &&
          (name == "ZEVRA_GetError" || name == "ZEVRA_ClearError" || name == "ZEVRA_error_message"))
        continue;
      // With handle 0 the typed accessors read the driver's own identity, which
      // needs no session: the attribute ID (here arbitrary) is checked first.
      if (zero_handle && name.rfind("ZEVRA_GetAttributeVi", 0) == 0) continue;
      if (zero_handle && name.rfind("ZEVRA_SetAttributeVi", 0) == 0) continue;
      out.push_back(name);
    }
    return out;
  }

  void ExpectEveryExportRefuses(ViSession handle, const char* what) {
    std::vector<unsigned char> scratch(1 << 16, 0);
    for (const std::string& name : HandleTakers(handle == VI_NULL)) {
      auto f = Find<AnyExport>(name);
      ASSERT_NE(f, nullptr) << name;
      // Once with pointers everywhere, once with zeros (null pointers, sizes of 0 that ask for a size).
      // (With handle 0, which reads the driver's identity, a null value pointer is reported first.)
      for (void* p : {static_cast<void*>(scratch.data() + 64), static_cast<void*>(nullptr)}) {
        if (p == nullptr && handle == VI_NULL) continue;
        EXPECT_EQ(f(handle, p, p, p, p, p, p), IVI_ERROR_INVALID_SESSION_HANDLE) << name << " with " << what;
      }
      for (unsigned char byte : scratch) ASSERT_EQ(byte, 0) << name << " wrote through a pointer with " << what;
    }
  }

  ViSession OpenSimulated() {
    auto open = Find<ViStatus (*)(ViRsrc, ViBoolean, ViBoolean, ViConstString, ViSession*)>("ZEVRA_InitWithOptions");
    ViSession vi = VI_NULL;
    EXPECT_EQ(open(const_cast<char*>("x"), VI_FALSE, VI_FALSE, "Simulate=1", &vi), VI_SUCCESS);
    return vi;
  }

  testsupport::TempStore store_{testsupport::ZevraModule()};
  void* library_ = nullptr;
  std::vector<std::string> names_;
};

TEST_F(BadHandles, EveryExportRefusesHandlesItDidNotIssue) {
  ExpectEveryExportRefuses(VI_NULL, "0");
  ExpectEveryExportRefuses(0x7FFFFFF0, "a handle never issued");
  std::mt19937 random(7);
  for (int i = 0; i < 3; ++i) ExpectEveryExportRefuses(static_cast<ViSession>(random()), "a random handle");
}

TEST_F(BadHandles, EveryExportRefusesAClosedHandle) {
  ViSession vi = OpenSimulated();
  auto close = Find<ViStatus (*)(ViSession)>("ZEVRA_close");
  ASSERT_EQ(close(vi), VI_SUCCESS);
  ExpectEveryExportRefuses(vi, "a closed handle");
}

TEST_F(BadHandles, HandlesOfTheDriverAndOfVisaAreNotInterchangeable) {
  ViSession rm = VI_NULL;
  ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
  ExpectEveryExportRefuses(rm, "a VISA resource manager's handle");
  ViSession vi = OpenSimulated();
  ViUInt32 timeout = 0;
  EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TMO_VALUE, &timeout), VI_ERROR_INV_OBJECT);
  EXPECT_EQ(viClear(vi), VI_ERROR_INV_OBJECT);
  EXPECT_EQ(viClose(vi), VI_ERROR_INV_OBJECT);
  // The driver's session is untouched by all that.
  auto close = Find<ViStatus (*)(ViSession)>("ZEVRA_close");
  EXPECT_EQ(close(vi), VI_SUCCESS);
  EXPECT_EQ(viClose(rm), VI_SUCCESS);
}

}  // namespace
