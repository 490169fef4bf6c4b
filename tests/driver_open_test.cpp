// SPDX-License-Identifier: MIT
// Opening sessions: the option string, the configuration store, identification
// and the model check, against simulated and real (loopback emulator) sessions.
#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "support/driver_helpers.h"
#include "support/scripted_emulator.h"
#include "support/temp_store.h"
#include "visa.h"

namespace {

using namespace testsupport;
using Lines = std::vector<std::string>;

class DriverOpen : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(emu.started()) << emu.error(); }
  ScriptedEmulator emu;
  TempStore store{ZevraModule()};
};

struct OptionCase {
  const char* options;
  ViStatus status;
  const char* description;  // recorded on failure
  bool cache = true, range_check = true, query_instr_status = false, simulate = false;
  const char* model = nullptr;  // on success; nullptr: not checked
};

TEST_F(DriverOpen, OptionStrings) {
  const OptionCase cases[] = {
      {"", VI_SUCCESS, "", true, true, false, false, "QDX7001"},
      {"simulate=VI_TRUE,RANGECHECK = 0", VI_SUCCESS, "", true, false, false, true, "QDX7001"},
      {"Simulate=1.5 QueryInstrStatus=true", VI_SUCCESS, "", true, true, true, true, nullptr},
      {"Simulate", VI_SUCCESS, "", true, true, false, false, nullptr},
      {"Simulate=", VI_SUCCESS, "", true, true, false, false, nullptr},
      {"Simulate=1, Cache=0, driversetup = Model : QDX7000", VI_SUCCESS, "", false, true, false, true, "QDX7000"},
      {"Simulate=1, DriverSetup=Model=QDX7001 , Trace=1", VI_SUCCESS, "", true, true, false, true, "QDX7001 "},
      // Inside the DriverSetup clause "Simulate=1" is a DriverSetup option: the session is real.
      {"DriverSetup=Model=QDX7000, Simulate=1", VI_SUCCESS, "", true, true, false, false, "QDX7001"},
      {"Simulate=yes", IVI_ERROR_BAD_OPTION_VALUE, "The 'yes' value in the option string is unknown."},
      {"Simulat=1", IVI_ERROR_BAD_OPTION_NAME, "The 'simulat' name in the option string is unknown."},
      {"Simulate=1, Simulate=0", IVI_ERROR_CANNOT_RECOVER,
       "Failure cannot recover.  Inherent option 'simulate' appears more than once."},
      {"Simulate=1, DriverSetup=model=A,MODEL=B", IVI_ERROR_CANNOT_RECOVER,
       "Failure cannot recover.  DriverSetup option 'MODEL' appears more than once."},
      {"InterchangeCheck=true", IVI_ERROR_BAD_OPTION_VALUE,
       "The 'True' value in the option string is unknown.  Interchange checking is not supported by the driver."},
  };
  for (const OptionCase& c : cases) {
    SCOPED_TRACE(c.options);
    DriverHandle vi;
    ViStatus st = vi.open(emu.resource(), c.options);
    ASSERT_EQ(st, c.status) << LastError(VI_NULL).text;
    if (st < 0) {
      EXPECT_EQ(vi.get(), VI_NULL);
      RecordedError e = LastError(VI_NULL);
      EXPECT_EQ(e.code, c.status);
      EXPECT_EQ(e.text, c.description);
      continue;
    }
    vexo::DriverSession& s = Session(vi);
    EXPECT_EQ(s.GetCache(), c.cache);
    EXPECT_EQ(s.GetRangeCheck(), c.range_check);
    EXPECT_EQ(s.GetQueryInstrStatus(), c.query_instr_status);
    EXPECT_EQ(s.GetSimulate(), c.simulate);
    EXPECT_FALSE(s.GetInterchangeCheck());
    EXPECT_FALSE(s.GetRecordCoercions());
    if (c.model != nullptr) {
      EXPECT_EQ(s.GetInstrumentModel(), c.model);
    }
  }
}

TEST_F(DriverOpen, DriverSetupOptionsAreKept) {
  DriverHandle vi;
  ASSERT_EQ(vi.open(emu.resource(), "Simulate=1, DriverSetup=Model=QDX7000, Trace : on , x=1"), VI_SUCCESS);
  std::string value;
  ASSERT_TRUE(Session(vi).GetDriverSetupOption("trace", value));
  EXPECT_EQ(value, "on ");
  EXPECT_EQ(Session(vi).GetDriverSetup(), "Model=QDX7000, Trace : on , x=1");
}

TEST_F(DriverOpen, RealOpenSendsStatusClearOnlyWhenCheckingStatus) {
  {
    DriverHandle vi;
    ASSERT_EQ(vi.open(emu.resource(), "", VI_TRUE), VI_SUCCESS);
    EXPECT_EQ(emu.transcript().lines(), (Lines{"*IDN?"}));
    vexo::DriverSession& s = Session(vi);
    EXPECT_EQ(s.GetInstrumentManufacturer(), "Halmeric");
    EXPECT_EQ(s.GetInstrumentModel(), "QDX7001");
    EXPECT_EQ(s.GetInstrumentSerialNumber(), "QDX7001-000001");
    EXPECT_EQ(s.GetInstrumentFirmwareRevision(), "1.00");
    EXPECT_EQ(s.GetResourceDescriptor(), emu.resource());
    EXPECT_EQ(s.GetLogicalName(), "");
  }
  emu.transcript().clear();
  DriverHandle vi;
  ASSERT_EQ(vi.open(emu.resource(), "QueryInstrStatus=1", VI_TRUE), VI_SUCCESS);
  EXPECT_EQ(emu.transcript().lines(), (Lines{"*CLS", "*ESR?", "*IDN?", "*ESR?"}));
}

TEST_F(DriverOpen, ResetFlagResetsAfterOpening) {
  DriverHandle vi;
  ASSERT_EQ(vi.open(emu.resource(), "QueryInstrStatus=1", VI_FALSE, 2), VI_SUCCESS);
  EXPECT_EQ(emu.transcript().lines(),
            (Lines{"*CLS", "*ESR?", "*IDN?", "*ESR?", "*RST", "*OPC?", "*ESR?"}));
}

TEST_F(DriverOpen, ModelCheck) {
  emu.instrument().set_identity("Halmeric,QDX9%s%n,SN1,2.0");
  DriverHandle off;
  ASSERT_EQ(off.open(emu.resource(), "", 2), VI_SUCCESS) << "an ID-query flag of 2 counts as off";
  EXPECT_EQ(Session(off).GetInstrumentModel(), "QDX9%s%n");

  DriverHandle on;
  EXPECT_EQ(on.open(emu.resource(), "", VI_TRUE), IVI_ERROR_ID_QUERY_FAILED);
  EXPECT_EQ(on.get(), VI_NULL);
  RecordedError e = LastError(VI_NULL);
  EXPECT_EQ(e.code, IVI_ERROR_ID_QUERY_FAILED);
  EXPECT_EQ(e.text, "Instrument ID query failed.  Unrecognized model: QDX9%s%n");

  for (const char* model : {"qdx7001", " QDX7001"}) {
    emu.instrument().set_identity(std::string("Halmeric,") + model + ",SN1,2.0");
    DriverHandle exact;
    EXPECT_EQ(exact.open(emu.resource(), "", VI_TRUE), IVI_ERROR_ID_QUERY_FAILED) << model;
  }
}

TEST_F(DriverOpen, SimulatedModelChoice) {
  DriverHandle plain;
  ASSERT_EQ(plain.open("anything", "Simulate=true", VI_TRUE), VI_SUCCESS);
  EXPECT_EQ(Session(plain).GetInstrumentModel(), "QDX7001");

  DriverHandle other;
  EXPECT_EQ(other.open("anything", "Simulate=true, DriverSetup=Model=QDX7101", VI_TRUE), IVI_ERROR_ID_QUERY_FAILED);
  EXPECT_EQ(other.get(), VI_NULL);
  ASSERT_EQ(other.open("anything", "Simulate=true, DriverSetup=Model=QDX7101", VI_FALSE), VI_SUCCESS);
  EXPECT_EQ(Session(other).GetInstrumentModel(), "QDX7101");
  EXPECT_TRUE(emu.transcript().lines().empty()) << "a simulated session sends nothing";
}

TEST_F(DriverOpen, VisaFailuresAreReturnedUnrecordedAndLeaveNoStaleError) {
  IviSession_SetError(VI_NULL, 1, "stale");
  DriverHandle vi;
  EXPECT_EQ(vi.open("TCPIP0::127.0.0.1::1::SOCKET", ""), VI_ERROR_RSRC_NFOUND);
  EXPECT_EQ(vi.get(), VI_NULL);
  EXPECT_EQ(LastError(VI_NULL).code, 0) << "the open cleared the thread's last error";
  EXPECT_EQ(vi.open("not a resource", ""), VI_ERROR_INV_RSRC_NAME);
}

TEST_F(DriverOpen, NullArguments) {
  ViSession vi = 77;
  EXPECT_EQ(ZEVRA_init(nullptr, VI_FALSE, VI_FALSE, &vi), IVI_ERROR_NULL_POINTER);
  EXPECT_EQ(vi, VI_NULL);
  char name[] = "x";
  EXPECT_EQ(ZEVRA_init(name, VI_FALSE, VI_FALSE, nullptr), IVI_ERROR_NULL_POINTER);
  EXPECT_EQ(ZEVRA_InitWithOptions(name, VI_FALSE, VI_FALSE, nullptr, &vi), IVI_ERROR_NULL_POINTER);
  EXPECT_EQ(LastError(VI_NULL).code, 0) << "nothing is recorded";
}

TEST_F(DriverOpen, CloseTwice) {
  ViSession vi = VI_NULL;
  char name[] = "x";
  ASSERT_EQ(ZEVRA_InitWithOptions(name, VI_FALSE, VI_FALSE, "Simulate=1", &vi), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_close(vi), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_close(vi), IVI_ERROR_INVALID_SESSION_HANDLE);
  EXPECT_EQ(ZEVRA_close(VI_NULL), IVI_ERROR_INVALID_SESSION_HANDLE);
}

// --- the configuration store ---------------------------------------------------

class DriverStore : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(emu.started()) << emu.error(); }
  std::string Asset() const {
    return "<HardwareAssets><IviHardwareAsset id=\"a1\"><Name>emu</Name><IOResourceDescriptor>" + emu.resource() +
           "</IOResourceDescriptor></IviHardwareAsset></HardwareAssets>";
  }
  static std::string SessionXml(const std::string& inner, const std::string& asset_ref = "<IviHardwareAsset idref=\"a1\"/>") {
    return "<DriverSessions><IviDriverSession id=\"s1\"><Name>PSU</Name>" + asset_ref +
           "<IviSoftwareModuleRef idref=\"ZEVRA\"/>" + inner + "</IviDriverSession></DriverSessions>"
           "<LogicalNames><IviLogicalName><Name>Bench</Name><IviDriverSession idref=\"s1\"/></IviLogicalName></LogicalNames>";
  }
  ScriptedEmulator emu;
};

TEST_F(DriverStore, LogicalNameSuppliesDescriptorFlagsAndNames) {
  TempStore store(ZevraModule() + Asset() +
                  SessionXml("<QueryInstrStatus>1</QueryInstrStatus><Cache>false</Cache>"
                          "<VirtualNames><IviVirtualName><Name>Out</Name><MapTo>CH</MapTo><VirtualRanges>"
                          "<IviVirtualRange><Min>1</Min><Max>4</Max><StartingPhysicalIndex>1</StartingPhysicalIndex>"
                          "</IviVirtualRange></VirtualRanges></IviVirtualName>"
                          "<IviVirtualName><Name>Main</Name><MapTo>CH3</MapTo></IviVirtualName></VirtualNames>"));
  for (const char* name : {"Bench", "bench", "PSU"}) {
    SCOPED_TRACE(name);
    DriverHandle vi;
    ASSERT_EQ(vi.open(name, ""), VI_SUCCESS) << LastError(VI_NULL).text;
    vexo::DriverSession& s = Session(vi);
    EXPECT_EQ(s.GetLogicalName(), name);
    EXPECT_EQ(s.GetResourceDescriptor(), emu.resource());
    EXPECT_TRUE(s.GetQueryInstrStatus());
    EXPECT_FALSE(s.GetCache());
    EXPECT_TRUE(s.GetInitialQueryInstrStatus());
    EXPECT_EQ(s.GetPhysicalName("Out1"), "CH1");
    EXPECT_EQ(s.GetPhysicalName("out4"), "CH4");
    EXPECT_EQ(s.GetPhysicalName("Main"), "CH3");
    EXPECT_EQ(s.GetPhysicalName("OutputChannel!!CH1"), "CH1");
    EXPECT_EQ(s.GetPhysicalName("CH2"), "CH2");
    EXPECT_EQ(s.GetVirtualName("CH2"), "Out2");
    EXPECT_EQ(s.GetPhysicalNameTable().at("CH1"), "OutputChannel");
  }
}

TEST_F(DriverStore, OptionStringOverridesTheStore) {
  TempStore store(ZevraModule() + Asset() + SessionXml("<Simulate>1</Simulate><DriverSetup>Model=QDX7000</DriverSetup>"));
  DriverHandle simulated;
  ASSERT_EQ(simulated.open("Bench", ""), VI_SUCCESS);
  EXPECT_TRUE(Session(simulated).GetSimulate());
  EXPECT_EQ(Session(simulated).GetInstrumentModel(), "QDX7000");
  EXPECT_TRUE(emu.transcript().lines().empty());

  DriverHandle real;
  ASSERT_EQ(real.open("Bench", "Simulate=false"), VI_SUCCESS);
  EXPECT_FALSE(Session(real).GetSimulate());
  EXPECT_EQ(Session(real).GetInstrumentModel(), "QDX7001") << "the instrument's identity wins when real";
}

TEST_F(DriverStore, InitialSettings) {
  TempStore store(ZevraModule(InitialSettings("<IviString><Name>Model</Name><Value>QDX7000</Value></IviString>"
                                              "<IviReal><Name>Vmax</Name><Value>12.5</Value></IviReal>"
                                              "<IviBoolean><Name>Fast</Name><Value>true</Value></IviBoolean>"
                                              "<IviInteger><Name>Count</Name><Value>-3</Value></IviInteger>")));
  DriverHandle vi;
  ASSERT_EQ(vi.open("TCPIP0::x::1::SOCKET", "Simulate=1"), VI_SUCCESS);
  vexo::DriverSession& s = Session(vi);
  EXPECT_EQ(s.GetInstrumentModel(), "QDX7000");
  ViReal64 vmax = 0;
  bool fast = false;
  ViInt32 count = 0;
  EXPECT_TRUE(s.GetInitialSettingReal("VMAX", vmax));
  EXPECT_EQ(vmax, 12.5);
  EXPECT_TRUE(s.GetInitialSettingBoolean("fast", fast));
  EXPECT_TRUE(fast);
  EXPECT_TRUE(s.GetInitialSettingInteger("Count", count));
  EXPECT_EQ(count, -3);
  EXPECT_EQ(s.GetLogicalName(), "");
  EXPECT_EQ(s.GetResourceDescriptor(), "TCPIP0::x::1::SOCKET");

  TempStore integer_model(ZevraModule(InitialSettings("<IviInteger><Name>model</Name><Value>7000</Value></IviInteger>")));
  DriverHandle other;
  ASSERT_EQ(other.open("x", "Simulate=1"), VI_SUCCESS);
  EXPECT_EQ(Session(other).GetInstrumentModel(), "QDX7001") << "only a text setting names the model";
}

// A process reads an unchanged store once; every change is seen by the next
// open: an edit in place that keeps the size (at once, and after the file had
// been left alone), a file renamed over it, a removed file.
TEST_F(DriverStore, AChangedStoreIsReadAgain) {
  auto body = [&](const char* model) {
    return "<?xml version=\"1.0\"?>\n<IviConfigStore>\n" + ZevraModule() + Asset() +
           SessionXml(std::string("<Simulate>1</Simulate><DriverSetup>Model=") + model + "</DriverSetup>") +
           "\n</IviConfigStore>\n";
  };
  TempStore store(body("QDX7000"), true);
  auto model_opened = [&] {
    DriverHandle vi;
    if (vi.open("Bench", "") < 0) return "open failed: " + LastError(VI_NULL).text;
    return Session(vi).GetInstrumentModel();
  };
  auto settle = [&] {  // as if written an hour ago
    const timespec old[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, store.path().c_str(), old, 0), 0);
  };
  EXPECT_EQ(model_opened(), "QDX7000");
  std::ofstream(store.path(), std::ios::trunc) << body("QDX7001");  // the same size, the same file
  EXPECT_EQ(model_opened(), "QDX7001") << "edited in place just after being read";

  settle();
  EXPECT_EQ(model_opened(), "QDX7001");
  EXPECT_EQ(model_opened(), "QDX7001");
  std::ofstream(store.path(), std::ios::trunc) << body("QDX7000");
  EXPECT_EQ(model_opened(), "QDX7000") << "edited in place after being left alone";

  settle();
  EXPECT_EQ(model_opened(), "QDX7000");
  const std::string replacement = store.path() + ".new";
  std::ofstream(replacement) << body("QDX7001");
  ASSERT_EQ(std::rename(replacement.c_str(), store.path().c_str()), 0);
  settle();  // even with the old times, another file is another store
  EXPECT_EQ(model_opened(), "QDX7001") << "renamed over";

  ASSERT_EQ(std::remove(store.path().c_str()), 0);
  EXPECT_NE(model_opened().find("open failed"), std::string::npos) << "a removed store is not remembered";
  std::ofstream(store.path()) << body("QDX7000");
  EXPECT_EQ(model_opened(), "QDX7000");
}

TEST_F(DriverStore, SessionWithoutHardwareAsset) {
  TempStore store(ZevraModule() + SessionXml("", ""));
  DriverHandle real;
  EXPECT_EQ(real.open("Bench", ""), VI_ERROR_INV_RSRC_NAME);
  DriverHandle simulated;
  ASSERT_EQ(simulated.open("Bench", "Simulate=1"), VI_SUCCESS);
  EXPECT_EQ(Session(simulated).GetResourceDescriptor(), "");
}

TEST_F(DriverStore, BrokenStoresFailTheOpenWithAClearDescription) {
  struct Case {
    std::string content;
    bool raw;
    ViStatus code;
    std::vector<std::string> mentions;
  };
  const Case cases[] = {
      {"<IviConfigStore>\n<SoftwareModules>\n<oops>\n</IviConfigStore>\n", true, static_cast<ViStatus>(0xBFFA1200),
       {"not well-formed", "line 4"}},
      {"", true, static_cast<ViStatus>(0xBFFA1200), {"not well-formed"}},
      {"<Other/>", true, static_cast<ViStatus>(0xBFFA1200), {"IviConfigStore"}},
      {"<SoftwareModules/>", false, static_cast<ViStatus>(0xBFFA1207), {"ZEVRA"}},
      {ZevraModule() + "<LogicalNames><IviLogicalName><Name>Bench</Name><IviDriverSession idref=\"gone\"/>"
                       "</IviLogicalName></LogicalNames>", false, static_cast<ViStatus>(0xBFFA1200), {"gone", "line"}},
      {ZevraModule() + SessionXml("<Simulate>maybe</Simulate>", ""), false, static_cast<ViStatus>(0xBFFA1200),
       {"maybe", "line"}},
      {ZevraModule() + SessionXml(""), false, static_cast<ViStatus>(0xBFFA1200), {"IviHardwareAsset 'a1'", "line 3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    TempStore store(c.content, c.raw);
    DriverHandle vi;
    EXPECT_EQ(vi.open("Bench", "Simulate=1"), c.code);
    EXPECT_EQ(vi.get(), VI_NULL);
    RecordedError e = LastError(VI_NULL);
    EXPECT_EQ(e.code, c.code);
    EXPECT_NE(e.text.find(store.path()), std::string::npos) << e.text;
    for (const std::string& word : c.mentions) EXPECT_NE(e.text.find(word), std::string::npos) << e.text;
  }
}

TEST_F(DriverStore, MissingStore) {
  setenv("IVICONFIGSERVERDEFAULT", "/nonexistent/zevra/store.xml", 1);
  DriverHandle vi;
  EXPECT_EQ(vi.open("x", "Simulate=1"), static_cast<ViStatus>(0xBFFA1200));
  RecordedError e = LastError(VI_NULL);
  EXPECT_NE(e.text.find("/nonexistent/zevra/store.xml"), std::string::npos) << e.text;
  unsetenv("IVICONFIGSERVERDEFAULT");
}

}  // namespace
