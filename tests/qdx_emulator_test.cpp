// SPDX-License-Identifier: MIT
// The emulated QDX instrument, line by line: SCPI parsing and errors, the
// output model (CV/CC crossover, power limit, trips), the status structure,
// stored states and list mode on the virtual clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "line_assembler.h"
#include "qdx_instrument.h"

namespace {

using emulator::QdxInstrument;
using emulator::QdxOptions;

class QdxEmulator : public ::testing::Test {
 protected:
  static QdxOptions Options() {
    QdxOptions o;
    o.virtual_time = true;
    o.modules = {"QDX7102", "", "QDX7301", "QDX7104"};
    o.loads = {10, 1000, 1000, 1000};
    return o;
  }
  // The reply, "" for a line that answers nothing.
  std::string Send(const std::string& line) { return instrument.Execute(line, path).value_or(""); }
  std::string Errors() {
    std::string all;
    for (std::string e = Send("SYST:ERR?"); e != "0,\"No error\""; e = Send("SYST:ERR?")) all += e + ";";
    return all;
  }

  QdxInstrument instrument{Options()};
  std::vector<std::string> path;
};

TEST_F(QdxEmulator, HeadersInLongAndShortFormWithoutRegardToCase) {
  Send("SYSTem:BEEPer:STATe OFF");
  EXPECT_EQ(Send("syst:beep:stat?"), "0");
  EXPECT_EQ(Send("system:beeper:state?"), "0");
  Send(":SYST:BEEP:STAT 1");
  EXPECT_EQ(Send("SYST:BEEP:STAT?"), "1");
  EXPECT_EQ(Errors(), "");
  Send("SYSTE:BEEP:STAT?");  // neither form
  EXPECT_EQ(Errors(), "-113,\"Undefined header\";");
}

TEST_F(QdxEmulator, OptionalNodesSuffixesAndCompoundLines) {
  Send("SOUR:VOLT:LEV:IMM:AMPL 3.25");
  EXPECT_EQ(Send("VOLT?"), "3.25");
  EXPECT_EQ(Send("VOLT 1;CURR 0.5;VOLT?;CURR?"), "1;0.5");
  // A header without a colon continues the previous command's path.
  EXPECT_EQ(Send("SYST:BEEP:STAT 0;STAT?"), "0");
  EXPECT_EQ(Send("VOLT:PROT 20;:CURR?"), "0.5");
  Send("DIG:PIN2:FUNC DINPut");
  Send("DIG:PIN3:POL NEG");
  EXPECT_EQ(Send("DIG:PIN2:FUNC?;:DIG:PIN3:POL?;:DIG:PIN4:FUNC?"), "DINP;NEG;NONE");
  EXPECT_EQ(Send("STAT:QUES:ISUM3:COND?"), "0");
  EXPECT_EQ(Send("INST:SEL 2;INST:SEL?"), "2");
  EXPECT_EQ(Errors(), "");
}

TEST_F(QdxEmulator, ParameterErrorsSetTheirEventBits) {
  struct Case {
    const char* line;
    const char* error;
    int esr;
  };
  const Case cases[] = {
      {"NOSUCH 1", "-113,\"Undefined header\";", 0x20},
      {"VOLT", "-109,\"Missing parameter\";", 0x20},
      {"VOLT 1,2", "-108,\"Parameter not allowed\";", 0x20},
      {"VOLT 1,", "-102,\"Syntax error\";", 0x20},
      {"VOLT abc", "-104,\"Data type error\";", 0x20},
      {"VOLT 40", "-222,\"Data out of range\";", 0x10},
      {"VOLT -1", "-222,\"Data out of range\";", 0x10},
      {"LIST:VOLT 999", "-222,\"Data out of range\";", 0x10},
      {"LIST:VOLT 40", "-222,\"Data out of range\";", 0x10},
      {"LIST:CURR 99", "-222,\"Data out of range\";", 0x10},
      {"OUTP:PAIR BOGUS", "-224,\"Illegal parameter value\";", 0x10},
      {"OUTP:STAT maybe", "-224,\"Illegal parameter value\";", 0x10},
      {"DIG:PIN9:FUNC DINP", "-114,\"Header suffix out of range\";", 0x20},
      {"*RCL 7", "-221,\"Settings conflict\";", 0x10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Send("*CLS");
    Send(c.line);
    EXPECT_EQ(Send("*ESR?"), std::to_string(c.esr));
    EXPECT_EQ(Errors(), c.error);
  }
  EXPECT_EQ(Send("LIST:VOLT 32;LIST:VOLT?"), "32") << "a list level up to the module's own maximum";
  EXPECT_EQ(Send("VOLT MAX;VOLT?"), "32");
  EXPECT_EQ(Send("VOLT MIN;VOLT?"), "0");
  EXPECT_EQ(Send("VOLT -0;VOLT?;VOLT -0.0e3;VOLT?"), "0;0");
  for (int i = 0; i < 12; ++i) Send("NOSUCH");
  std::string errors = Errors();
  EXPECT_EQ(errors.substr(errors.rfind("-350")), "-350,\"Queue overflow\";");
}

TEST_F(QdxEmulator, ConstantVoltageConstantCurrentAndPowerLimit) {
  // CH1 holds a QDX7102 (32 V, 9.4 A, 100 W) into 10 ohms.
  Send("INST:SEL 0;VOLT 5;CURR 1;OUTP ON");
  EXPECT_EQ(Send("MEAS:ALL?"), "5,0.5,2.5");
  EXPECT_EQ(Send("STAT:QUES:ISUM1:COND?"), "0");
  Send("EMUL:LOAD 1,2");
  EXPECT_EQ(Send("MEAS:VOLT?;MEAS:CURR?;MEAS:POW?"), "2;1;2");
  EXPECT_EQ(Send("STAT:QUES:ISUM1:COND?"), "1");
  Send("EMUL:LOAD 1,5;CURR 9.4;VOLT 32");
  EXPECT_EQ(Send("MEAS:VOLT?"), "22.3607");  // sqrt(100 W * 5 ohm): the power limit holds it
  EXPECT_EQ(Send("STAT:QUES:ISUM1:COND?"), "4");
  Send("OUTP OFF");
  EXPECT_EQ(Send("MEAS:ALL?"), "0,0,0");
  EXPECT_EQ(Send("MEAS:ALLCH?"), "0,0,0,0,0,0,0,0,0,0,0,0");
  EXPECT_EQ(Errors(), "");
}

TEST_F(QdxEmulator, ProtectionTripsUntilCleared) {
  Send("INST:SEL 0;VOLT 5;CURR 1;VOLT:PROT 4;OUTP ON");
  EXPECT_EQ(Send("OUTP?;VOLT:PROT:TRIP?;STAT:QUES:ISUM1:COND?"), "0;1;2");
  Send("OUTP ON");
  EXPECT_EQ(Errors(), "-221,\"Settings conflict\";") << "a tripped output stays off";
  Send("VOLT:PROT 10;OUTP:PROT:CLE;OUTP ON");
  EXPECT_EQ(Send("OUTP?;VOLT:PROT:TRIP?"), "1;0");
  Send("CURR:PROT 0.3;CURR:PROT:STAT ON");  // 0.5 A into 10 ohm exceeds 0.3 A
  EXPECT_EQ(Send("OUTP?;CURR:PROT:TRIP?;STAT:QUES:ISUM1:COND?"), "0;1;8");
  Send("CURR:PROT:CLE;CURR:PROT:STAT OFF");
  Send("EMUL:TRIP 1,OV");
  EXPECT_EQ(Send("VOLT:PROT:TRIP?"), "1");
  EXPECT_EQ(Errors(), "");
}

TEST_F(QdxEmulator, StatusStructurePropagatesToTheStatusByte) {
  Send("INST:SEL 0;VOLT 5;CURR 1;OUTP ON");
  Send("STAT:QUES:ISUM1:ENAB 1;:STAT:QUES:INST:ENAB 2;:STAT:QUES:ENAB 8192;:*SRE 8");
  Send("EMUL:LOAD 1,2");  // constant current
  EXPECT_EQ(Send("*STB?"), std::to_string(8 | 64));
  EXPECT_EQ(Send("STAT:QUES:ISUM1?"), "1");
  EXPECT_EQ(Send("STAT:QUES:ISUM1?"), "0") << "reading an event register clears it";
  EXPECT_EQ(Send("STAT:QUES:ISUM1:COND?"), "1");
  Send("*ESE 16");
  Send("VOLT 99");
  EXPECT_EQ(Send("*STB?"), std::to_string(4 | 8 | 32 | 64));
  Send("*CLS");
  EXPECT_EQ(Send("*ESR?"), "0");
  Send("*OPC");
  EXPECT_EQ(Send("*ESR?"), "1");
  EXPECT_EQ(Send("*OPC?;*TST?"), "1;0");
  Send("STAT:PRES");
  EXPECT_EQ(Send("STAT:QUES:ENAB?"), "0");
}

TEST_F(QdxEmulator, StoredStatesResetAndSecureErase) {
  Send("INST:SEL 0;VOLT 3;*SAV 1;VOLT 4");
  Send("*RCL 1");
  EXPECT_EQ(Send("VOLT?"), "3");
  Send("*RST");
  EXPECT_EQ(Send("VOLT?;OUTP?;INST:SEL?"), "0;0;0");
  Send("SYST:SEC:IMM");
  Send("*RCL 1");
  EXPECT_EQ(Errors(), "-221,\"Settings conflict\";");
  Send("OUTP:PON:STAT USER,4");
  EXPECT_EQ(Send("OUTP:PON:STAT?"), "USER,4");
  Send("OUTP:PON:STAT LAST");
  EXPECT_EQ(Send("OUTP:PON:STAT?"), "LAST");
}

TEST_F(QdxEmulator, ModulesAndEmptySlots) {
  EXPECT_EQ(Send("*IDN?"), "Halmeric,QDX7001,QDX7001-000001,1.00");
  EXPECT_EQ(Send("INST:SEL 0;SYST:CHAN:MOD?"), "QDX7102");
  EXPECT_EQ(Send("INST:SEL 1;SYST:CHAN:MOD?"), "");
  Send("VOLT 1");
  EXPECT_EQ(Errors(), "-241,\"Hardware missing\";");
  EXPECT_EQ(Send("INST:SEL 2;SYST:CHAN:MOD?;SYST:CHAN:SERI?;SYST:CHAN:VERS?"), "QDX7301;MY00004713;2.1.0");
  // The widest all-channels reply still fits the driver's 255 characters.
  for (int ch : {0, 2, 3}) Send("INST:SEL " + std::to_string(ch) + ";VOLT MAX;CURR MAX;OUTP ON");
  for (int ch = 1; ch <= 4; ++ch) Send("EMUL:LOAD " + std::to_string(ch) + ",0.0123456");
  EXPECT_LE(Send("MEAS:ALLCH?").size(), 255u);
}

TEST_F(QdxEmulator, ListRunsOnTheVirtualClock) {
  Send("LIST:NUMB 1");
  const double volts[] = {1, 2, 3};
  for (int k = 0; k < 3; ++k)
    Send("LIST:STEP:NUMB " + std::to_string(k) + ";:LIST:VOLT " + std::to_string(volts[k]) + ";CURR 1;DWEL 100");
  Send("LIST:COUN 2");
  Send("INST:SEL 0;VOLT 9;OUTP:MODE LIST,1");
  Send("INIT 0");
  EXPECT_EQ(Send("LIST:STAT?;:VOLT?"), "1;1");
  Send("EMUL:TIME:ADV 0.15");
  EXPECT_EQ(Send("VOLT?"), "2");
  Send("EMUL:TIME:ADV 0.1");
  EXPECT_EQ(Send("VOLT?"), "3");
  Send("EMUL:TIME:ADV 0.1");  // second repetition
  EXPECT_EQ(Send("VOLT?;:LIST:STAT?"), "1;1");
  Send("EMUL:TIME:ADV 1");
  EXPECT_EQ(Send("LIST:STAT?;:VOLT?"), "0;9") << "the list ends and the output returns to its DC level";
  Send("LIST:TERM:LAST ON;:INIT 0;:EMUL:TIME:ADV 10");
  EXPECT_EQ(Send("LIST:STAT?;:VOLT?"), "0;3") << "terminating on the last step keeps it";

  // Trigger pacing: the bus trigger starts the list and then ends each step.
  Send("LIST:STEP ON;:LIST:TERM:LAST OFF;:LIST:COUN 1;:TRIG:SEQ:SOUR BUS;:VOLT 9");
  Send("INIT 0");
  EXPECT_EQ(Send("VOLT?"), "9") << "waiting for the trigger";
  Send("*TRG");
  EXPECT_EQ(Send("VOLT?"), "1");
  Send("EMUL:TIME:ADV 100");
  EXPECT_EQ(Send("VOLT?"), "1") << "no dwell in trigger pacing";
  Send("*TRG");
  EXPECT_EQ(Send("VOLT?"), "2");
  Send("ABOR 0");
  EXPECT_EQ(Send("LIST:STAT?;:VOLT?"), "0;9");
  Send("OUTP:MODE FIX;:INIT 0");
  EXPECT_EQ(Errors(), "-221,\"Settings conflict\";") << "no list to start";
}

TEST_F(QdxEmulator, EachConnectionKeepsItsOwnPath) {
  std::vector<std::string> other;
  Send("SYST:BEEP:STAT 0");
  EXPECT_EQ(instrument.Execute("STAT?", other).value_or("none"), "none") << "no path on a fresh connection";
  EXPECT_EQ(Send("STAT?"), "0");
}

// Unfinished lines share one budget across clients: when it is spent, the
// client whose line would exceed it loses that line (an overlong line, as a
// full input buffer), the others keep theirs, and what is given back is reusable.
TEST(LineAssemblerBudget, UnfinishedLinesOfAllClientsShareOneBound) {
  emulator::LineBudget budget(10);
  emulator::LineAssembler first(budget), second(budget);
  std::vector<std::string> lines;
  int overlong = 0;
  auto on_line = [&](std::string_view line) {
    lines.emplace_back(line);
    return true;
  };
  auto on_overlong = [&] { ++overlong; };
  first.feed("ABCDEF", on_line, on_overlong);
  EXPECT_EQ(budget.held(), 6u);
  second.feed("GHIJKL", on_line, on_overlong);
  EXPECT_EQ(overlong, 1);
  EXPECT_EQ(budget.held(), 6u);
  second.feed("rest of it\n*IDN?\n", on_line, on_overlong);  // the dropped line is skipped to its end
  first.feed("G\n", on_line, on_overlong);
  EXPECT_EQ(lines, (std::vector<std::string>{"*IDN?", "ABCDEFG"}));
  EXPECT_EQ(budget.held(), 0u);
  {
    emulator::LineAssembler gone(budget);
    gone.feed("0123456789", on_line, on_overlong);
    EXPECT_EQ(budget.held(), 10u);
  }
  EXPECT_EQ(budget.held(), 0u) << "a client that leaves gives its bytes back";
}

}  // namespace
