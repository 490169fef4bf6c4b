// Attribute callbacks that do not follow the common template.
#pragma once

#include "attribute.h"

namespace zevra {

using vexo::AttributeDescriptor;
using vexo::ReadTarget;
using vexo::WriteValue;

ViStatus ReadInherentFlag(const AttributeDescriptor&, ViSession, ViConstString, const ReadTarget&);
ViStatus WriteInherentFlag(const AttributeDescriptor&, ViSession, ViConstString, const WriteValue&);
ViStatus ReadSessionText(const AttributeDescriptor&, ViSession, ViConstString, const ReadTarget&);
ViStatus ReadDriverIdentity(const AttributeDescriptor&, ViSession, ViConstString, const ReadTarget&);
ViStatus ReadChannelCount(const AttributeDescriptor&, ViSession, ViConstString, const ReadTarget&);
ViStatus ReadIoSession(const AttributeDescriptor&, ViSession, ViConstString, const ReadTarget&);
ViStatus ReadIoTimeout(const AttributeDescriptor&, ViSession, ViConstString, const ReadTarget&);
ViStatus WriteIoTimeout(const AttributeDescriptor&, ViSession, ViConstString, const WriteValue&);

ViStatus ReadCurrentLimit(const AttributeDescriptor&, ViSession, ViConstString, const ReadTarget&);
ViStatus WriteCurrentLimit(const AttributeDescriptor&, ViSession, ViConstString, const WriteValue&);
ViStatus ReadCurrentLimitBehavior(const AttributeDescriptor&, ViSession, ViConstString, const ReadTarget&);
ViStatus WriteCurrentLimitBehavior(const AttributeDescriptor&, ViSession, ViConstString, const WriteValue&);
ViStatus ReadOvpEnabled(const AttributeDescriptor&, ViSession, ViConstString, const ReadTarget&);
ViStatus WriteOvpEnabled(const AttributeDescriptor&, ViSession, ViConstString, const WriteValue&);
ViStatus ReadOvpLimit(const AttributeDescriptor&, ViSession, ViConstString, const ReadTarget&);
ViStatus WriteOvpLimit(const AttributeDescriptor&, ViSession, ViConstString, const WriteValue&);
ViStatus ReadTriggerSource(const AttributeDescriptor&, ViSession, ViConstString, const ReadTarget&);
ViStatus WriteTriggerSource(const AttributeDescriptor&, ViSession, ViConstString, const WriteValue&);
ViStatus ReadNotSupported(const AttributeDescriptor&, ViSession, ViConstString, const ReadTarget&);
ViStatus WriteNotSupported(const AttributeDescriptor&, ViSession, ViConstString, const WriteValue&);

}  // namespace zevra
