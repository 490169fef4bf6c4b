/* SPDX-License-Identifier: MIT */
/*
 * visatype.h - the fundamental VISA data types, written from the published
 * VISA conventions for an LP64 Linux target.
 *
 * Sizes follow VISA, not the C types of the platform: ViInt32 is 32 bits and
 * ViAttrState is 64 bits on a 64-bit system.
 */
#ifndef VISATYPE_HEADER
#define VISATYPE_HEADER

#define _VI_FAR
#define _VI_FUNC
#define _VI_FUNCC
#define _VI_FUNCH
#define _VI_SIGNED signed
#define _VI_PTR *

typedef unsigned long long ViUInt64;
typedef signed long long ViInt64;
typedef unsigned int ViUInt32;
typedef signed int ViInt32;
typedef unsigned short ViUInt16;
typedef signed short ViInt16;
typedef unsigned char ViUInt8;
typedef signed char ViInt8;
typedef char ViChar;
typedef unsigned char ViByte;
typedef void *ViAddr;
typedef float ViReal32;
typedef double ViReal64;
typedef ViUInt16 ViBoolean;

typedef ViUInt64 *ViPUInt64;
typedef ViInt64 *ViPInt64;
typedef ViUInt32 *ViPUInt32;
typedef ViInt32 *ViPInt32;
typedef ViUInt16 *ViPUInt16;
typedef ViInt16 *ViPInt16;
typedef ViUInt8 *ViPUInt8;
typedef ViInt8 *ViPInt8;
typedef ViChar *ViPChar;
typedef ViByte *ViPByte;
typedef ViAddr *ViPAddr;
typedef ViReal32 *ViPReal32;
typedef ViReal64 *ViPReal64;
typedef ViBoolean *ViPBoolean;

typedef ViChar *ViString;
typedef const ViChar *ViConstString;
typedef ViString ViRsrc;
typedef ViConstString ViConstRsrc;
typedef ViPByte ViBuf;
typedef const ViByte *ViConstBuf;
typedef ViPByte ViPBuf;

typedef ViInt32 ViStatus;
typedef ViStatus *ViPStatus;
typedef ViUInt32 ViVersion;
typedef ViUInt32 ViObject;
typedef ViObject ViSession;
typedef ViSession *ViPSession;
typedef ViUInt32 ViAttr;
typedef ViUInt32 ViAccessMode;
typedef ViUInt64 ViAttrState;
typedef ViUInt64 ViBusAddress;
typedef ViUInt64 ViBusSize;
typedef ViUInt32 *ViPAccessMode;
typedef ViObject ViFindList;
typedef ViFindList *ViPFindList;
typedef ViObject ViEvent;
typedef ViEvent *ViPEvent;
typedef ViUInt32 ViEventType;
typedef ViEventType *ViPEventType;
typedef ViUInt32 ViEventFilter;
typedef ViString ViKeyId;
typedef ViConstString ViConstKeyId;
typedef ViUInt32 ViJobId;
typedef ViJobId *ViPJobId;
typedef ViBusAddress *ViPBusAddress;
typedef ViUInt64 ViBusAddress64;
typedef ViBusAddress64 *ViPBusAddress64;
typedef ViUInt8 *ViAUInt8;
typedef ViUInt16 *ViAUInt16;
typedef ViUInt32 *ViAUInt32;
typedef ViUInt64 *ViAUInt64;
typedef ViStatus (*ViHndlr)(ViSession vi, ViEventType eventType, ViEvent event, ViAddr userHandle);

#define VI_NULL 0
#define VI_TRUE ((ViBoolean)1)
#define VI_FALSE ((ViBoolean)0)
#define VI_SUCCESS ((ViStatus)0)

#endif
