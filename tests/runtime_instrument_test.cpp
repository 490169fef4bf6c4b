// SPDX-License-Identifier: MIT
// The runtime drives an instrument it is handed, not one it knows: a second,
// tiny instrument (two attributes, two channels "A1" and "A2") goes through the
// same engine (selectors, simulation cache, channel selection, the exchange,
// error messages, the model check). This program links the runtime alone.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "IviSession.h"
#include "Vexo"
#include "attribute.h"
#include "ivi_status.h"
#include "selector.h"
#include "support/scripted_emulator.h"
#include "support/temp_store.h"
#include "visa.h"

namespace {

using Lines = std::vector<std::string>;

constexpr ViAttr kLevel = 7001;  // channel-based real, "LEV"
constexpr ViAttr kBank = 7002;   // the selected channel, "BANK" 1 or 2

const vexo::AttributeDescriptor& Level() {
  static const vexo::AttributeDescriptor row{.id = kLevel,
                                             .name = "TINY_ATTR_LEVEL",
                                             .label = "TINY_GetLevel",
                                             .type = vexo::ValueType::Real64,
                                             .channel_based = true,
                                             .read = vexo::TemplateRead,
                                             .write = vexo::TemplateWrite,
                                             .query = "LEV?\n",
                                             .command = "LEV %.3f\n",
                                             .simulated = {.has_default = true, .number = 0.25}};
  return row;
}

const vexo::AttributeDescriptor& Bank() {
  static const vexo::AttributeDescriptor row{.id = kBank,
                                             .name = "TINY_ATTR_BANK",
                                             .label = "TINY_GetBank",
                                             .type = vexo::ValueType::Int32,
                                             .read = vexo::TemplateRead,
                                             .write = vexo::TemplateWrite,
                                             .query = "BANK?\n",
                                             .command = "BANK %ld\n",
                                             .simulated = {}};
  return row;
}

const vexo::AttributeDescriptor* FindTiny(ViAttr id) {
  if (id == kLevel) return &Level();
  if (id == kBank) return &Bank();
  return nullptr;
}

const char* TinyMessage(ViStatus code) {
  static const std::map<ViStatus, const char*> messages{
      {IVI_ERROR_INVALID_ATTRIBUTE, "No attribute %s here."},
      {IVI_ERROR_TYPES_DO_NOT_MATCH, "%s%s on %s (a %s)."},
      {IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER, "Unknown name."},
      {IVI_ERROR_CHANNEL_NAME_REQUIRED, "A bank is required."},
      {IVI_ERROR_ID_QUERY_FAILED, "Not a tiny instrument."},
  };
  auto it = messages.find(code);
  return it == messages.end() ? nullptr : it->second;
}

const vexo::InstrumentDescription& Tiny() {
  static const std::map<std::string, std::string> models{{"T1", "Tiny"}, {"T2", "Tiny"}};
  static const vexo::InstrumentDescription tiny{
      .identity = {"TINY", "Nobody", "A two-channel test instrument", "0.1", 1, 0, "", "T1"},
      .capability = {"Bank", "A1,A2", kBank, 1},
      .find_attribute = FindTiny,
      .error_template = TinyMessage,
      .model_families = &models,
  };
  return tiny;
}

// Lines end at the line feed on a raw socket.
class TinySession final : public vexo::DriverSession {
 public:
  explicit TinySession(ViSession vi) : DriverSession(vi, vexo::SessionSettings{}) {}
  ViStatus OpenIo() override {
    ViStatus st = DriverSession::OpenIo();
    if (st < 0 || GetSimulate()) return st;
    st = viSetAttribute(InstrumentSession(), VI_ATTR_TERMCHAR, '\n');
    return st < 0 ? st : viSetAttribute(InstrumentSession(), VI_ATTR_TERMCHAR_EN, VI_TRUE);
  }
};

// What a driver's open and close do, for the tiny instrument.
class TinyHandle {
 public:
  ~TinyHandle() { Close(); }
  ViStatus Open(const std::string& resource, const std::string& options, bool id_query = false) {
    ViStatus st = IviSession_New(&vi_);
    if (st < 0) return st;
    auto session = std::make_unique<TinySession>(vi_);
    IviSession_SetDataPtr(vi_, session.get());
    st = session->Initialize(resource, id_query, false, options);
    if (st < 0) {
      IviSession_SetDataPtr(vi_, nullptr);
      error_ = LastError(VI_NULL);
      IviSession_Dispose(vi_);
      vi_ = VI_NULL;
      return st;
    }
    session_ = std::move(session);
    return st;
  }
  void Close() {
    if (session_ == nullptr) return;
    IviSession_SetDataPtr(vi_, nullptr);
    session_->Close();
    session_.reset();
    IviSession_Dispose(vi_);
    vi_ = VI_NULL;
  }
  operator ViSession() const { return vi_; }
  const std::string& open_error() const { return error_; }

  static std::string LastError(ViSession vi) {
    ViStatus code = 0;
    char text[1024] = "";
    IviSession_GetError(vi, sizeof text, &code, text);
    return text;
  }

 private:
  ViSession vi_ = VI_NULL;
  std::unique_ptr<TinySession> session_;
  std::string error_;
};

std::string TinyModule() {
  return "<SoftwareModules><IviSoftwareModule id=\"TINY\"><Name>TINY</Name><Prefix>TINY</Prefix>"
         "<ModulePath>libtiny.so</ModulePath><DataComponents/><PhysicalNames>"
         "<IviPhysicalName><Name>A1</Name><RCName>Bank</RCName></IviPhysicalName>"
         "<IviPhysicalName><Name>A2</Name><RCName>Bank</RCName></IviPhysicalName>"
         "</PhysicalNames></IviSoftwareModule></SoftwareModules>";
}

class TinyInstrument : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { vexo::UseInstrument(Tiny()); }
  testsupport::TempStore store{TinyModule()};
};

TEST_F(TinyInstrument, SimulatedSessionsKeepWhatIsWrittenPerChannel) {
  TinyHandle vi;
  ASSERT_EQ(vi.Open("anything", "Simulate=1"), VI_SUCCESS);
  EXPECT_EQ(vexo::ResolveSession(vi)->GetInstrumentModel(), "T1");
  ViReal64 level = 0;
  ASSERT_EQ(vexo::GetAttributeViReal64(vi, "A2", kLevel, &level), VI_SUCCESS);
  EXPECT_EQ(level, 0.25);
  ASSERT_EQ(vexo::SetAttributeViReal64(vi, "A2", kLevel, 1.5), VI_SUCCESS);
  ASSERT_EQ(vexo::GetAttributeViReal64(vi, "A2", kLevel, &level), VI_SUCCESS);
  EXPECT_EQ(level, 1.5);
  ASSERT_EQ(vexo::GetAttributeViReal64(vi, "A1", kLevel, &level), VI_SUCCESS);
  EXPECT_EQ(level, 0.25);
  ASSERT_EQ(vexo::SetAttributeViReal64(vi, "A1-A2", kLevel, 3.0), VI_SUCCESS);
  ASSERT_EQ(vexo::GetAttributeViReal64(vi, "Bank!!A1", kLevel, &level), VI_SUCCESS);
  EXPECT_EQ(level, 3.0);
  std::vector<std::string> channels;
  ASSERT_EQ(vexo::ResolveSelector(vi, "A2,A1", true, channels), VI_SUCCESS);
  EXPECT_EQ(channels, (Lines{"A2", "A1"}));
}

TEST_F(TinyInstrument, ErrorsNameTheTinyInstrumentsOwnFacts) {
  TinyHandle vi;
  ASSERT_EQ(vi.Open("anything", "Simulate=1"), VI_SUCCESS);
  ViReal64 level = 0;
  ViInt32 number = 0;
  struct Case {
    std::function<ViStatus()> call;
    ViStatus expected;
    const char* text;
  } cases[] = {
      {[&] { return vexo::GetAttributeViReal64(vi, "A3", kLevel, &level); }, IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER,
       "Unknown name.  The identifier 'A3' is not defined for repeated capability 'Bank'."},
      {[&] { return vexo::GetAttributeViReal64(vi, "CH1", kLevel, &level); }, IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER,
       "Unknown name.  The identifier 'CH1' is not defined for repeated capability 'Bank'."},
      {[&] { return vexo::GetAttributeViReal64(vi, "", kLevel, &level); }, IVI_ERROR_CHANNEL_NAME_REQUIRED,
       "A bank is required.  No selector was specified for repeated capability 'Bank'.  The repeated capability identifier can be "
       "null or empty only when there is exactly one physical name defined.  Repeated capability 'Bank' has 2 "
       "physical names defined."},
      {[&] { return vexo::GetAttributeViReal64(vi, "A1", 1250001, &level); }, IVI_ERROR_INVALID_ATTRIBUTE,
       "No attribute 1250001 here."},
      {[&] { return vexo::GetAttributeViInt32(vi, "A1", kLevel, &number); }, IVI_ERROR_TYPES_DO_NOT_MATCH,
       "GetViInt32 on TINY_ATTR_LEVEL (a ViReal64)."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.call(), c.expected) << c.text;
    EXPECT_EQ(TinyHandle::LastError(vi), c.text);
  }
}

TEST_F(TinyInstrument, RealSessionsSelectTheChannelThroughTheSelectionAttribute) {
  testsupport::ScriptedEmulator emu;
  ASSERT_TRUE(emu.started()) << emu.error();
  emu.instrument().set_identity("Nobody,T2,7,0.1");
  TinyHandle vi;
  ASSERT_EQ(vi.Open(emu.resource(), "", true), VI_SUCCESS);
  EXPECT_EQ(vexo::ResolveSession(vi)->GetInstrumentModel(), "T2");
  emu.transcript().clear();
  ASSERT_EQ(vexo::SetAttributeViReal64(vi, "A2,A1", kLevel, 2.5), VI_SUCCESS);
  emu.instrument().on("LEV?", "0.125");
  ViReal64 level = 0;
  ASSERT_EQ(vexo::GetAttributeViReal64(vi, "A2", kLevel, &level), VI_SUCCESS);
  EXPECT_EQ(level, 0.125);
  EXPECT_EQ(emu.transcript().lines(), (Lines{"BANK 2", "LEV 2.500", "BANK 1", "LEV 2.500", "BANK 2", "LEV?"}));
}

TEST_F(TinyInstrument, TheModelCheckUsesTheTinyModels) {
  testsupport::ScriptedEmulator emu;
  ASSERT_TRUE(emu.started()) << emu.error();
  emu.instrument().set_identity("Halmeric,QDX7001,1,1.00");
  TinyHandle vi;
  EXPECT_EQ(vi.Open(emu.resource(), "", true), IVI_ERROR_ID_QUERY_FAILED);
  EXPECT_EQ(vi.open_error(), "Not a tiny instrument.  Unrecognized model: QDX7001");
}

}  // namespace
