// SPDX-License-Identifier: MIT
// Every attribute of the driver, once: constant name (without ZEVRA_ATTR_),
// the name of its generated Get/Set functions, ID, value type, access and kind.
// The registry, the generated exports and the header's IDs all follow this list.
//
// Kinds: Inherent (IVI inherent attributes), Specific (instrument-specific,
// with generated Get/Set exports), SpecificIo (instrument-specific, no
// generated exports), Class (IviDCPwr class attributes, channel-based).
#pragma once

// clang-format off
#define ZEVRA_ATTRIBUTE_LIST(X) \
  X(RANGE_CHECK,                                         RangeCheck,                                       1050002, ViBoolean, RW, Inherent) \
  X(QUERY_INSTRUMENT_STATUS,                             QueryInstrumentStatus,                            1050003, ViBoolean, RW, Inherent) \
  X(CACHE,                                               Cache,                                            1050004, ViBoolean, RW, Inherent) \
  X(SIMULATE,                                            Simulate,                                         1050005, ViBoolean, RW, Inherent) \
  X(RECORD_COERCIONS,                                    RecordCoercions,                                  1050006, ViBoolean, RW, Inherent) \
  X(DRIVER_SETUP,                                        DriverSetup,                                      1050007, ViString,  R,  Inherent) \
  X(INTERCHANGE_CHECK,                                   InterchangeCheck,                                 1050021, ViBoolean, RW, Inherent) \
  X(CHANNEL_COUNT,                                       ChannelCount,                                     1050203, ViInt32,   R,  Inherent) \
  X(SPECIFIC_DRIVER_PREFIX,                              SpecificDriverPrefix,                             1050302, ViString,  R,  Inherent) \
  X(IO_RESOURCE_DESCRIPTOR,                              IoResourceDescriptor,                             1050304, ViString,  R,  Inherent) \
  X(LOGICAL_NAME,                                        LogicalName,                                      1050305, ViString,  R,  Inherent) \
  X(SUPPORTED_INSTRUMENT_MODELS,                         SupportedInstrumentModels,                        1050327, ViString,  R,  Inherent) \
  X(GROUP_CAPABILITIES,                                  GroupCapabilities,                                1050401, ViString,  R,  Inherent) \
  X(INSTRUMENT_FIRMWARE_REVISION,                        InstrumentFirmwareRevision,                       1050510, ViString,  R,  Inherent) \
  X(INSTRUMENT_MANUFACTURER,                             InstrumentManufacturer,                           1050511, ViString,  R,  Inherent) \
  X(INSTRUMENT_MODEL,                                    InstrumentModel,                                  1050512, ViString,  R,  Inherent) \
  X(SPECIFIC_DRIVER_VENDOR,                              SpecificDriverVendor,                             1050513, ViString,  R,  Inherent) \
  X(SPECIFIC_DRIVER_DESCRIPTION,                         SpecificDriverDescription,                        1050514, ViString,  R,  Inherent) \
  X(SPECIFIC_DRIVER_CLASS_SPEC_MAJOR_VERSION,            SpecificDriverClassSpecMajorVersion,              1050515, ViInt32,   R,  Inherent) \
  X(SPECIFIC_DRIVER_CLASS_SPEC_MINOR_VERSION,            SpecificDriverClassSpecMinorVersion,              1050516, ViInt32,   R,  Inherent) \
  X(SPECIFIC_DRIVER_REVISION,                            SpecificDriverRevision,                           1050551, ViString,  R,  Inherent) \
  X(SYSTEM_IO_SESSION,                                   SystemIoSession,                                  1150001, ViSession, R,  SpecificIo) \
  X(SYSTEM_IO_TIMEOUT,                                   SystemIoTimeout,                                  1150002, ViInt32,   RW, SpecificIo) \
  X(DIGITAL_INHIBIT_MODE,                                DigitalInhibitMode,                               1150003, ViInt32,   RW, Specific) \
  X(DIGITAL_INPUT_DATA,                                  DigitalInputData,                                 1150004, ViInt32,   R,  Specific) \
  X(DIGITAL_OUTPUT_DATA,                                 DigitalOutputData,                                1150005, ViInt32,   RW, Specific) \
  X(SELECTED_CHANNEL,                                    SelectedChannel,                                  1150006, ViInt32,   RW, Specific) \
  X(BEGINNING_OF_STEP_TRIGGER_ENABLED,                   BeginningOfStepTriggerEnabled,                    1150007, ViBoolean, RW, Specific) \
  X(LIST_DWELL,                                          ListDwell,                                        1150008, ViInt32,   RW, Specific) \
  X(END_OF_STEP_TRIGGER_ENABLED,                         EndOfStepTriggerEnabled,                          1150009, ViBoolean, RW, Specific) \
  X(LIST_REPEAT_COUNT,                                   ListRepeatCount,                                  1150010, ViInt32,   RW, Specific) \
  X(STEP_CURRENT,                                        StepCurrent,                                      1150011, ViReal64,  RW, Specific) \
  X(STEP_VOLTAGE,                                        StepVoltage,                                      1150012, ViReal64,  RW, Specific) \
  X(NEXT_LIST,                                           NextList,                                         1150013, ViInt32,   RW, Specific) \
  X(SELECTED_LIST,                                       SelectedList,                                     1150014, ViInt32,   RW, Specific) \
  X(LIST_IS_RUNNING,                                     ListIsRunning,                                    1150015, ViBoolean, R,  Specific) \
  X(LIST_PACE,                                           ListPace,                                         1150016, ViInt32,   RW, Specific) \
  X(SELECTED_STEP,                                       SelectedStep,                                     1150017, ViInt32,   RW, Specific) \
  X(LIST_TERMINATE_STATE,                                ListTerminateState,                               1150018, ViInt32,   RW, Specific) \
  X(LIST_TRIGGER_SOURCE,                                 ListTriggerSource,                                1150019, ViInt32,   RW, Specific) \
  X(ALL_OUTPUTS_ENABLED,                                 AllOutputsEnabled,                                1150020, ViBoolean, W,  Specific) \
  X(OUTPUT_DELAY_RISE,                                   OutputDelayRise,                                  1150021, ViInt32,   RW, Specific) \
  X(OUTPUT_DELAY_FALL,                                   OutputDelayFall,                                  1150022, ViInt32,   RW, Specific) \
  X(OUTPUT_MODE,                                         OutputMode,                                       1150024, ViInt32,   RW, Specific) \
  X(OUTPUT_TIMER_ENABLED,                                OutputTimerEnabled,                               1150026, ViBoolean, RW, Specific) \
  X(OUTPUT_TIMER_DWELL,                                  OutputTimerDwell,                                 1150027, ViString,  RW, Specific) \
  X(CURRENT_LEVEL,                                       CurrentLevel,                                     1150028, ViReal64,  RW, Specific) \
  X(OCP_ENABLED,                                         OcpEnabled,                                       1150029, ViBoolean, RW, Specific) \
  X(OCP_TRIPPED,                                         OcpTripped,                                       1150030, ViBoolean, R,  Specific) \
  X(CURRENT_PROTECTION_LEVEL,                            CurrentProtectionLevel,                           1150031, ViReal64,  RW, Specific) \
  X(CURRENT_SLEW_RATE,                                   CurrentSlewRate,                                  1150032, ViReal64,  RW, Specific) \
  X(VOLTAGE_MAXIMUM,                                     VoltageMaximum,                                   1150034, ViReal64,  RW, Specific) \
  X(VOLTAGE_MINIMUM,                                     VoltageMinimum,                                   1150035, ViReal64,  RW, Specific) \
  X(OVP_TRIPPED,                                         OvpTripped,                                       1150036, ViBoolean, R,  Specific) \
  X(VOLTAGE_PROTECTION_LEVEL,                            VoltageProtectionLevel,                           1150038, ViReal64,  RW, Specific) \
  X(VOLTAGE_SLEW_RATE,                                   VoltageSlewRate,                                  1150039, ViReal64,  RW, Specific) \
  X(VOLTAGE_SENSE_ENABLED,                               VoltageSenseEnabled,                              1150040, ViBoolean, RW, Specific) \
  X(POWER_ON_STATUS_CLEAR_ENABLED,                       PowerOnStatusClearEnabled,                        1150041, ViBoolean, RW, Specific) \
  X(OPERATION_ENABLE_REGISTER,                           OperationEnableRegister,                          1150042, ViInt32,   RW, Specific) \
  X(OPERATION_EVENT_REGISTER,                            OperationEventRegister,                           1150043, ViInt32,   R,  Specific) \
  X(QUESTIONABLE_ENABLE_REGISTER,                        QuestionableEnableRegister,                       1150044, ViInt32,   RW, Specific) \
  X(QUESTIONABLE_EVENT_REGISTER,                         QuestionableEventRegister,                        1150045, ViInt32,   R,  Specific) \
  X(QUESTIONABLE_INSTRUMENT_ENABLE_REGISTER,             QuestionableInstrumentEnableRegister,             1150046, ViInt32,   RW, Specific) \
  X(QUESTIONABLE_INSTRUMENT_EVENT_REGISTER,              QuestionableInstrumentEventRegister,              1150047, ViInt32,   R,  Specific) \
  X(QUESTIONABLE_INSTRUMENT_SUMMARY1_CONDITION_REGISTER, QuestionableInstrumentSummary1ConditionRegister,  1150048, ViInt32,   R,  Specific) \
  X(QUESTIONABLE_INSTRUMENT_SUMMARY1_ENABLE_REGISTER,    QuestionableInstrumentSummary1EnableRegister,     1150049, ViInt32,   RW, Specific) \
  X(QUESTIONABLE_INSTRUMENT_SUMMARY1_EVENT_REGISTER,     QuestionableInstrumentSummary1EventRegister,      1150050, ViInt32,   R,  Specific) \
  X(QUESTIONABLE_INSTRUMENT_SUMMARY2_CONDITION_REGISTER, QuestionableInstrumentSummary2ConditionRegister,  1150051, ViInt32,   R,  Specific) \
  X(QUESTIONABLE_INSTRUMENT_SUMMARY2_ENABLE_REGISTER,    QuestionableInstrumentSummary2EnableRegister,     1150052, ViInt32,   RW, Specific) \
  X(QUESTIONABLE_INSTRUMENT_SUMMARY2_EVENT_REGISTER,     QuestionableInstrumentSummary2EventRegister,      1150053, ViInt32,   R,  Specific) \
  X(QUESTIONABLE_INSTRUMENT_SUMMARY3_CONDITION_REGISTER, QuestionableInstrumentSummary3ConditionRegister,  1150054, ViInt32,   R,  Specific) \
  X(QUESTIONABLE_INSTRUMENT_SUMMARY3_ENABLE_REGISTER,    QuestionableInstrumentSummary3EnableRegister,     1150055, ViInt32,   RW, Specific) \
  X(QUESTIONABLE_INSTRUMENT_SUMMARY3_EVENT_REGISTER,     QuestionableInstrumentSummary3EventRegister,      1150056, ViInt32,   R,  Specific) \
  X(QUESTIONABLE_INSTRUMENT_SUMMARY4_CONDITION_REGISTER, QuestionableInstrumentSummary4ConditionRegister,  1150057, ViInt32,   R,  Specific) \
  X(QUESTIONABLE_INSTRUMENT_SUMMARY4_ENABLE_REGISTER,    QuestionableInstrumentSummary4EnableRegister,     1150058, ViInt32,   RW, Specific) \
  X(QUESTIONABLE_INSTRUMENT_SUMMARY4_EVENT_REGISTER,     QuestionableInstrumentSummary4EventRegister,      1150059, ViInt32,   R,  Specific) \
  X(STANDARD_EVENT_ENABLE_REGISTER,                      StandardEventEnableRegister,                      1150060, ViInt32,   RW, Specific) \
  X(STANDARD_EVENT_EVENT_REGISTER,                       StandardEventEventRegister,                       1150061, ViInt32,   R,  Specific) \
  X(STATUS_BYTE_ENABLE_REGISTER,                         StatusByteEnableRegister,                         1150062, ViInt32,   RW, Specific) \
  X(STATUS_BYTE_EVENT_REGISTER,                          StatusByteEventRegister,                          1150063, ViInt32,   R,  Specific) \
  X(BEEPER_ENABLED,                                      BeeperEnabled,                                    1150064, ViBoolean, RW, Specific) \
  X(SYSTEM_DATE,                                         SystemDate,                                       1150065, ViString,  RW, Specific) \
  X(DISPLAY_ENABLED,                                     DisplayEnabled,                                   1150066, ViBoolean, RW, Specific) \
  X(LXI_IDENTIFY_ENABLED,                                LxiIdentifyEnabled,                               1150067, ViBoolean, RW, Specific) \
  X(MODULE_IDENTITY,                                     ModuleIdentity,                                   1150068, ViString,  R,  Specific) \
  X(MODULE_SERIAL_NUMBER,                                ModuleSerialNumber,                               1150069, ViString,  R,  Specific) \
  X(MODULE_FIRMWARE_VERSION,                             ModuleFirmwareVersion,                            1150070, ViString,  R,  Specific) \
  X(SYSTEM_TIME,                                         SystemTime,                                       1150071, ViString,  RW, Specific) \
  X(REMOTE_STATE,                                        RemoteState,                                      1150072, ViInt32,   RW, Specific) \
  X(SCPI_VERSION,                                        ScpiVersion,                                      1150073, ViString,  R,  Specific) \
  X(TCP_CONTROL_PORT,                                    TcpControlPort,                                   1150074, ViInt32,   R,  Specific) \
  X(VOLTAGE_LEVEL,                                       VoltageLevel,                                     1250001, ViReal64,  RW, Class) \
  X(OVP_ENABLED,                                         OvpEnabled,                                       1250002, ViBoolean, RW, Class) \
  X(OVP_LIMIT,                                           OvpLimit,                                         1250003, ViReal64,  RW, Class) \
  X(CURRENT_LIMIT_BEHAVIOR,                              CurrentLimitBehavior,                             1250004, ViInt32,   RW, Class) \
  X(CURRENT_LIMIT,                                       CurrentLimit,                                     1250005, ViReal64,  RW, Class) \
  X(OUTPUT_ENABLED,                                      OutputEnabled,                                    1250006, ViBoolean, RW, Class) \
  X(TRIGGER_SOURCE,                                      TriggerSource,                                    1250101, ViInt32,   RW, Class) \
  X(TRIGGERED_CURRENT_LIMIT,                             TriggeredCurrentLimit,                            1250102, ViReal64,  RW, Class) \
  X(TRIGGERED_VOLTAGE_LEVEL,                             TriggeredVoltageLevel,                            1250103, ViReal64,  RW, Class)
// clang-format on
