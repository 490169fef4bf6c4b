// SPDX-License-Identifier: MIT
// Attribute callbacks that do not follow the common template.
#pragma once

#include "attribute.h"

namespace zevra {

using vexo::AttributeCall;
using vexo::ReadTarget;
using vexo::WriteValue;

ViStatus ReadInherentFlag(const AttributeCall&, const ReadTarget&);
ViStatus WriteInherentFlag(const AttributeCall&, const WriteValue&);
ViStatus ReadSessionText(const AttributeCall&, const ReadTarget&);
ViStatus ReadDriverIdentity(const AttributeCall&, const ReadTarget&);
ViStatus ReadChannelCount(const AttributeCall&, const ReadTarget&);
ViStatus ReadIoSession(const AttributeCall&, const ReadTarget&);
ViStatus ReadIoTimeout(const AttributeCall&, const ReadTarget&);
ViStatus WriteIoTimeout(const AttributeCall&, const WriteValue&);

ViStatus ReadCurrentLimit(const AttributeCall&, const ReadTarget&);
ViStatus WriteCurrentLimit(const AttributeCall&, const WriteValue&);
ViStatus ReadCurrentLimitBehavior(const AttributeCall&, const ReadTarget&);
ViStatus WriteCurrentLimitBehavior(const AttributeCall&, const WriteValue&);
ViStatus ReadOvpEnabled(const AttributeCall&, const ReadTarget&);
ViStatus WriteOvpEnabled(const AttributeCall&, const WriteValue&);
ViStatus ReadOvpLimit(const AttributeCall&, const ReadTarget&);
ViStatus WriteOvpLimit(const AttributeCall&, const WriteValue&);
ViStatus ReadTriggerSource(const AttributeCall&, const ReadTarget&);
ViStatus WriteTriggerSource(const AttributeCall&, const WriteValue&);
ViStatus ReadNotSupported(const AttributeCall&, const ReadTarget&);
ViStatus WriteNotSupported(const AttributeCall&, const WriteValue&);

}  // namespace zevra
