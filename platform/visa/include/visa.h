/* SPDX-License-Identifier: MIT */
/*
 * visa.h - the VISA C API offered by this project's VISA library.
 *
 * Values and signatures are the published VISA ones. Resources reached over
 * TCP/IP:  TCPIP[board]::host::port::SOCKET  (raw socket),
 *          TCPIP[board]::host[::inst0][::INSTR]  (VXI-11),
 *          TCPIP[board]::host::hislipN[,port][::INSTR]  (HiSLIP).
 * Resource strings are parsed without regard to case; an IPv6 literal is
 * written in square brackets: TCPIP0::[::1]::5025::SOCKET.
 */
#ifndef VISA_HEADER
#define VISA_HEADER

#include <stdarg.h>
#include "visatype.h"

#if defined(__GNUC__)
#define VI_EXPORT __attribute__((visibility("default")))
#else
#define VI_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Completion codes */
#define VI_SUCCESS_EVENT_EN ((ViStatus)0x3FFF0002L)
#define VI_SUCCESS_EVENT_DIS ((ViStatus)0x3FFF0003L)
#define VI_SUCCESS_QUEUE_EMPTY ((ViStatus)0x3FFF0004L)
#define VI_SUCCESS_QUEUE_NEMPTY ((ViStatus)0x3FFF0080L)
#define VI_SUCCESS_NCHAIN ((ViStatus)0x3FFF0098L)
#define VI_WARN_QUEUE_OVERFLOW ((ViStatus)0x3FFF000CL)
#define VI_SUCCESS_SYNC ((ViStatus)0x3FFF009BL)
#define VI_SUCCESS_NESTED_SHARED ((ViStatus)0x3FFF0099L)
#define VI_SUCCESS_NESTED_EXCLUSIVE ((ViStatus)0x3FFF009AL)
#define VI_SUCCESS_TERM_CHAR ((ViStatus)0x3FFF0005L)
#define VI_SUCCESS_MAX_CNT ((ViStatus)0x3FFF0006L)
#define VI_WARN_UNKNOWN_STATUS ((ViStatus)0x3FFF0085L)

/* Error codes */
#define _VI_ERROR (-2147483647L - 1)
#define VI_ERROR_SYSTEM_ERROR ((ViStatus)(_VI_ERROR + 0x3FFF0000L))
#define VI_ERROR_INV_OBJECT ((ViStatus)(_VI_ERROR + 0x3FFF000EL))
#define VI_ERROR_INV_DEGREE ((ViStatus)(_VI_ERROR + 0x3FFF001BL))
#define VI_ERROR_INV_JOB_ID ((ViStatus)(_VI_ERROR + 0x3FFF001CL))
#define VI_ERROR_ABORT ((ViStatus)(_VI_ERROR + 0x3FFF0030L))
#define VI_ERROR_RSRC_LOCKED ((ViStatus)(_VI_ERROR + 0x3FFF000FL))
#define VI_ERROR_INV_EXPR ((ViStatus)(_VI_ERROR + 0x3FFF0010L))
#define VI_ERROR_RSRC_NFOUND ((ViStatus)(_VI_ERROR + 0x3FFF0011L))
#define VI_ERROR_INV_RSRC_NAME ((ViStatus)(_VI_ERROR + 0x3FFF0012L))
#define VI_ERROR_INV_ACC_MODE ((ViStatus)(_VI_ERROR + 0x3FFF0013L))
#define VI_ERROR_TMO ((ViStatus)(_VI_ERROR + 0x3FFF0015L))
#define VI_ERROR_CLOSING_FAILED ((ViStatus)(_VI_ERROR + 0x3FFF0016L))
#define VI_ERROR_NSUP_ATTR ((ViStatus)(_VI_ERROR + 0x3FFF001DL))
#define VI_ERROR_NSUP_ATTR_STATE ((ViStatus)(_VI_ERROR + 0x3FFF001EL))
#define VI_ERROR_ATTR_READONLY ((ViStatus)(_VI_ERROR + 0x3FFF001FL))
#define VI_ERROR_RAW_WR_PROT_VIOL ((ViStatus)(_VI_ERROR + 0x3FFF0034L))
#define VI_ERROR_RAW_RD_PROT_VIOL ((ViStatus)(_VI_ERROR + 0x3FFF0035L))
#define VI_ERROR_OUTP_PROT_VIOL ((ViStatus)(_VI_ERROR + 0x3FFF0036L))
#define VI_ERROR_INP_PROT_VIOL ((ViStatus)(_VI_ERROR + 0x3FFF0037L))
#define VI_ERROR_BERR ((ViStatus)(_VI_ERROR + 0x3FFF0038L))
#define VI_ERROR_IO ((ViStatus)(_VI_ERROR + 0x3FFF003EL))
#define VI_ERROR_NLISTENERS ((ViStatus)(_VI_ERROR + 0x3FFF005FL))
#define VI_ERROR_INV_FMT ((ViStatus)(_VI_ERROR + 0x3FFF003FL))
#define VI_ERROR_NSUP_FMT ((ViStatus)(_VI_ERROR + 0x3FFF0041L))
#define VI_ERROR_NSUP_OPER ((ViStatus)(_VI_ERROR + 0x3FFF0067L))
#define VI_ERROR_INV_MASK ((ViStatus)(_VI_ERROR + 0x3FFF003DL))
#define VI_ERROR_ALLOC ((ViStatus)(_VI_ERROR + 0x3FFF003CL))
#define VI_ERROR_USER_BUF ((ViStatus)(_VI_ERROR + 0x3FFF0071L))
#define VI_ERROR_INV_MODE ((ViStatus)(_VI_ERROR + 0x3FFF0091L))
#define VI_ERROR_RSRC_BUSY ((ViStatus)(_VI_ERROR + 0x3FFF0072L))
#define VI_ERROR_LIBRARY_NFOUND ((ViStatus)(_VI_ERROR + 0x3FFF009EL))
#define VI_ERROR_CONN_LOST ((ViStatus)(_VI_ERROR + 0x3FFF00A6L))
#define VI_ERROR_INV_PARAMETER ((ViStatus)(_VI_ERROR + 0x3FFF0078L))
#define VI_ERROR_INV_LOCK_TYPE ((ViStatus)(_VI_ERROR + 0x3FFF0020L))
#define VI_ERROR_INV_ACCESS_KEY ((ViStatus)(_VI_ERROR + 0x3FFF0021L))
#define VI_ERROR_INV_EVENT ((ViStatus)(_VI_ERROR + 0x3FFF0026L))
#define VI_ERROR_INV_MECH ((ViStatus)(_VI_ERROR + 0x3FFF0027L))
#define VI_ERROR_NENABLED ((ViStatus)(_VI_ERROR + 0x3FFF002FL))
#define VI_ERROR_HNDLR_NINSTALLED ((ViStatus)(_VI_ERROR + 0x3FFF0028L))
#define VI_ERROR_INV_HNDLR_REF ((ViStatus)(_VI_ERROR + 0x3FFF0029L))
#define VI_ERROR_INV_CONTEXT ((ViStatus)(_VI_ERROR + 0x3FFF002AL))
#define VI_ERROR_INV_PROT ((ViStatus)(_VI_ERROR + 0x3FFF0079L))
#define VI_ERROR_SESN_NLOCKED ((ViStatus)(_VI_ERROR + 0x3FFF009CL))

/* Attributes */
#define VI_ATTR_RSRC_CLASS (0xBFFF0001UL)
#define VI_ATTR_RSRC_NAME (0xBFFF0002UL)
#define VI_ATTR_TERMCHAR (0x3FFF0018UL)
#define VI_ATTR_TMO_VALUE (0x3FFF001AUL)
#define VI_ATTR_SEND_END_EN (0x3FFF0016UL)
#define VI_ATTR_TERMCHAR_EN (0x3FFF0038UL)
#define VI_ATTR_INTF_TYPE (0x3FFF0171UL)
#define VI_ATTR_INTF_NUM (0x3FFF0176UL)
#define VI_ATTR_GPIB_PRIMARY_ADDR (0x3FFF0172UL)
#define VI_ATTR_GPIB_SECONDARY_ADDR (0x3FFF0173UL)
#define VI_ATTR_TCPIP_ADDR (0xBFFF0195UL)
#define VI_ATTR_TCPIP_HOSTNAME (0xBFFF0196UL)
#define VI_ATTR_TCPIP_PORT (0x3FFF0197UL)
#define VI_ATTR_TCPIP_DEVICE_NAME (0xBFFF0199UL)
#define VI_ATTR_TCPIP_NODELAY (0x3FFF019AUL)
#define VI_ATTR_TCPIP_KEEPALIVE (0x3FFF019BUL)
#define VI_ATTR_RSRC_IMPL_VERSION (0x3FFF0003UL)
#define VI_ATTR_RSRC_LOCK_STATE (0x3FFF0004UL)
#define VI_ATTR_MAX_QUEUE_LENGTH (0x3FFF0005UL)
#define VI_ATTR_RSRC_SPEC_VERSION (0x3FFF0170UL)
#define VI_ATTR_RSRC_MANF_NAME (0xBFFF0174UL)
#define VI_ATTR_RSRC_MANF_ID (0x3FFF0175UL)
#define VI_ATTR_IO_PROT (0x3FFF001CUL)
#define VI_ATTR_EVENT_TYPE (0x3FFF4010UL)
#define VI_ATTR_STATUS (0x3FFF4025UL)
#define VI_ATTR_OPER_NAME (0xBFFF4042UL)
#define VI_ATTR_JOB_ID (0x3FFF4006UL)
#define VI_ATTR_BUFFER (0x3FFF4027UL)
#define VI_ATTR_RET_COUNT_32 (0x3FFF4026UL)
#define VI_ATTR_RET_COUNT_64 (0x3FFF4028UL)
#if defined(_WIN64) || defined(__LP64__)
#define VI_ATTR_RET_COUNT VI_ATTR_RET_COUNT_64
#else
#define VI_ATTR_RET_COUNT VI_ATTR_RET_COUNT_32
#endif
#define VI_ATTR_RM_SESSION (0x3FFF00C4UL)
#define VI_ATTR_USER_DATA_32 (0x3FFF0007UL)
#define VI_ATTR_USER_DATA_64 (0x3FFF000AUL)
#if defined(_WIN64) || defined(__LP64__)
#define VI_ATTR_USER_DATA VI_ATTR_USER_DATA_64
#else
#define VI_ATTR_USER_DATA VI_ATTR_USER_DATA_32
#endif
#define VI_ATTR_DMA_ALLOW_EN (0x3FFF001EUL)
#define VI_ATTR_SUPPRESS_END_EN (0x3FFF0036UL)
#define VI_ATTR_FILE_APPEND_EN (0x3FFF0192UL)
#define VI_ATTR_RD_BUF_OPER_MODE (0x3FFF002AUL)
#define VI_ATTR_RD_BUF_SIZE (0x3FFF002BUL)
#define VI_ATTR_WR_BUF_OPER_MODE (0x3FFF002DUL)
#define VI_ATTR_WR_BUF_SIZE (0x3FFF002EUL)
#define VI_ATTR_TRIG_ID (0x3FFF0177UL)
#define VI_ATTR_INTF_INST_NAME (0xBFFF00E9UL)

/* HiSLIP attributes (TCPIP INSTR) */
#define VI_ATTR_TCPIP_HISLIP_OVERLAP_EN (0x3FFF0300UL)
#define VI_ATTR_TCPIP_HISLIP_VERSION (0x3FFF0301UL)
#define VI_ATTR_TCPIP_HISLIP_MAX_MESSAGE_KB (0x3FFF0302UL)
#define VI_ATTR_TCPIP_IS_HISLIP (0x3FFF0303UL)

/* USB attributes */
#define VI_ATTR_MANF_ID (0x3FFF00D9UL)
#define VI_ATTR_MODEL_CODE (0x3FFF00DFUL)
#define VI_ATTR_MANF_NAME (0xBFFF0072UL)
#define VI_ATTR_MODEL_NAME (0xBFFF0077UL)
#define VI_ATTR_4882_COMPLIANT (0x3FFF019FUL)
#define VI_ATTR_USB_SERIAL_NUM (0xBFFF01A0UL)
#define VI_ATTR_USB_INTFC_NUM (0x3FFF01A1UL)
#define VI_ATTR_USB_PROTOCOL (0x3FFF01A7UL)
#define VI_ATTR_USB_MAX_INTR_SIZE (0x3FFF01AFUL)

/* Serial (ASRL) attributes */
#define VI_ATTR_ASRL_BAUD (0x3FFF0021UL)
#define VI_ATTR_ASRL_DATA_BITS (0x3FFF0022UL)
#define VI_ATTR_ASRL_PARITY (0x3FFF0023UL)
#define VI_ATTR_ASRL_STOP_BITS (0x3FFF0024UL)
#define VI_ATTR_ASRL_FLOW_CNTRL (0x3FFF0025UL)
#define VI_ATTR_ASRL_AVAIL_NUM (0x3FFF00ACUL)
#define VI_ATTR_ASRL_CTS_STATE (0x3FFF00AEUL)
#define VI_ATTR_ASRL_DCD_STATE (0x3FFF00AFUL)
#define VI_ATTR_ASRL_DISCARD_NULL (0x3FFF00B0UL)
#define VI_ATTR_ASRL_DSR_STATE (0x3FFF00B1UL)
#define VI_ATTR_ASRL_DTR_STATE (0x3FFF00B2UL)
#define VI_ATTR_ASRL_END_IN (0x3FFF00B3UL)
#define VI_ATTR_ASRL_END_OUT (0x3FFF00B4UL)
#define VI_ATTR_ASRL_REPLACE_CHAR (0x3FFF00BEUL)
#define VI_ATTR_ASRL_RI_STATE (0x3FFF00BFUL)
#define VI_ATTR_ASRL_RTS_STATE (0x3FFF00C0UL)
#define VI_ATTR_ASRL_XON_CHAR (0x3FFF00C1UL)
#define VI_ATTR_ASRL_XOFF_CHAR (0x3FFF00C2UL)
#define VI_ATTR_ASRL_BREAK_STATE (0x3FFF01BCUL)
#define VI_ATTR_ASRL_BREAK_LEN (0x3FFF01BDUL)
#define VI_ATTR_ASRL_ALLOW_TRANSMIT (0x3FFF01BEUL)

#define VI_ASRL_PAR_NONE (0)
#define VI_ASRL_PAR_ODD (1)
#define VI_ASRL_PAR_EVEN (2)
#define VI_ASRL_PAR_MARK (3)
#define VI_ASRL_PAR_SPACE (4)
#define VI_ASRL_STOP_ONE (10)
#define VI_ASRL_STOP_ONE5 (15)
#define VI_ASRL_STOP_TWO (20)
#define VI_ASRL_FLOW_NONE (0)
#define VI_ASRL_FLOW_XON_XOFF (1)
#define VI_ASRL_FLOW_RTS_CTS (2)
#define VI_ASRL_FLOW_DTR_DSR (4)
#define VI_ASRL_END_NONE (0)
#define VI_ASRL_END_LAST_BIT (1)
#define VI_ASRL_END_TERMCHAR (2)
#define VI_ASRL_END_BREAK (3)
#define VI_STATE_ASSERTED (1)
#define VI_STATE_UNASSERTED (0)
#define VI_STATE_UNKNOWN (-1)
#define VI_ASRL_IN_BUF VI_IO_IN_BUF
#define VI_ASRL_OUT_BUF VI_IO_OUT_BUF
#define VI_ASRL_IN_BUF_DISCARD VI_IO_IN_BUF_DISCARD
#define VI_ASRL_OUT_BUF_DISCARD VI_IO_OUT_BUF_DISCARD

/* viGpibControlREN modes */
#define VI_GPIB_REN_DEASSERT (0)
#define VI_GPIB_REN_ASSERT (1)
#define VI_GPIB_REN_DEASSERT_GTL (2)
#define VI_GPIB_REN_ASSERT_ADDRESS (3)
#define VI_GPIB_REN_ASSERT_LLO (4)
#define VI_GPIB_REN_ASSERT_ADDRESS_LLO (5)
#define VI_GPIB_REN_ADDRESS_GTL (6)

/* Events and mechanisms */
#define VI_EVENT_SERVICE_REQ (0x3FFF200BUL)
#define VI_EVENT_IO_COMPLETION (0x3FFF2009UL)
#define VI_EVENT_EXCEPTION (0xBFFF200EUL)
#define VI_ALL_ENABLED_EVENTS (0x3FFF7FFFUL)
#define VI_QUEUE (1)
#define VI_HNDLR (2)
#define VI_SUSPEND_HNDLR (4)
#define VI_ALL_MECH (0xFFFF)
#define VI_ANY_HNDLR (0)

/* I/O protocols and trigger protocols */
#define VI_PROT_NORMAL (1)
#define VI_PROT_4882_STRS (4)
#define VI_TRIG_PROT_DEFAULT (0)
#define VI_TRIG_SW (-1)

/* VI_ATTR_RD_BUF_OPER_MODE and VI_ATTR_WR_BUF_OPER_MODE */
#define VI_FLUSH_ON_ACCESS (1)
#define VI_FLUSH_WHEN_FULL (2)
#define VI_FLUSH_DISABLE (3)

/* The VISA version this library implements: 5.8 */
#define VI_SPEC_VERSION (0x00500800UL)

#define VI_INTF_GPIB (1)
#define VI_INTF_ASRL (4)
#define VI_INTF_TCPIP (6)
#define VI_INTF_USB (7)
#define VI_NO_SEC_ADDR (0xFFFF)
#define VI_TMO_IMMEDIATE (0L)
#define VI_TMO_INFINITE (0xFFFFFFFFUL)
#define VI_NO_LOCK (0L)
#define VI_EXCLUSIVE_LOCK (1L)
#define VI_SHARED_LOCK (2L)
#define VI_LOAD_CONFIG (4L)

/* viFlush masks */
#define VI_READ_BUF (1)
#define VI_WRITE_BUF (2)
#define VI_READ_BUF_DISCARD (4)
#define VI_WRITE_BUF_DISCARD (8)
#define VI_IO_IN_BUF (16)
#define VI_IO_OUT_BUF (32)
#define VI_IO_IN_BUF_DISCARD (64)
#define VI_IO_OUT_BUF_DISCARD (128)

#define VI_FIND_BUFLEN (256)

VI_EXPORT ViStatus viOpenDefaultRM(ViPSession vi);
VI_EXPORT ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode,
                          ViUInt32 timeout, ViPSession vi);
VI_EXPORT ViStatus viClose(ViObject vi);
VI_EXPORT ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void *attrValue);
VI_EXPORT ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue);
VI_EXPORT ViStatus viStatusDesc(ViObject vi, ViStatus status, ViChar desc[]);

VI_EXPORT ViStatus viParseRsrc(ViSession rmSesn, ViConstRsrc rsrcName, ViUInt16 *intfType, ViUInt16 *intfNum);
VI_EXPORT ViStatus viParseRsrcEx(ViSession rmSesn, ViConstRsrc rsrcName, ViUInt16 *intfType, ViUInt16 *intfNum,
                                 ViChar rsrcClass[], ViChar expandedUnaliasedName[], ViChar aliasIfExists[]);
VI_EXPORT ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                              ViChar desc[]);
VI_EXPORT ViStatus viFindNext(ViFindList vi, ViChar desc[]);

VI_EXPORT ViStatus viReadSTB(ViSession vi, ViPUInt16 status);
VI_EXPORT ViStatus viAssertTrigger(ViSession vi, ViUInt16 protocol);

VI_EXPORT ViStatus viLock(ViSession vi, ViAccessMode lockType, ViUInt32 timeout, ViConstKeyId requestedKey,
                          ViChar accessKey[]);
VI_EXPORT ViStatus viUnlock(ViSession vi);

VI_EXPORT ViStatus viEnableEvent(ViSession vi, ViEventType eventType, ViUInt16 mechanism, ViEventFilter context);
VI_EXPORT ViStatus viDisableEvent(ViSession vi, ViEventType eventType, ViUInt16 mechanism);
VI_EXPORT ViStatus viDiscardEvents(ViSession vi, ViEventType eventType, ViUInt16 mechanism);
VI_EXPORT ViStatus viWaitOnEvent(ViSession vi, ViEventType inEventType, ViUInt32 timeout,
                                 ViPEventType outEventType, ViPEvent outContext);

VI_EXPORT ViStatus viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt);
VI_EXPORT ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt);
VI_EXPORT ViStatus viFlush(ViSession vi, ViUInt16 mask);
VI_EXPORT ViStatus viClear(ViSession vi);

VI_EXPORT ViStatus viPrintf(ViSession vi, ViConstString writeFmt, ...);
VI_EXPORT ViStatus viVPrintf(ViSession vi, ViConstString writeFmt, va_list params);
VI_EXPORT ViStatus viScanf(ViSession vi, ViConstString readFmt, ...);
VI_EXPORT ViStatus viVScanf(ViSession vi, ViConstString readFmt, va_list params);
VI_EXPORT ViStatus viQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt, ...);
VI_EXPORT ViStatus viVQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt,
                             va_list params);

/* Buffered and string formatted I/O, file transfers */
VI_EXPORT ViStatus viSetBuf(ViSession vi, ViUInt16 mask, ViUInt32 size);
VI_EXPORT ViStatus viBufWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt);
VI_EXPORT ViStatus viBufRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt);
/* viSPrintf writes into `buf` without a size: the caller's buffer must hold the whole text. */
VI_EXPORT ViStatus viSPrintf(ViSession vi, ViPBuf buf, ViConstString writeFmt, ...);
VI_EXPORT ViStatus viVSPrintf(ViSession vi, ViPBuf buf, ViConstString writeFmt, va_list parms);
VI_EXPORT ViStatus viSScanf(ViSession vi, ViConstBuf buf, ViConstString readFmt, ...);
VI_EXPORT ViStatus viVSScanf(ViSession vi, ViConstBuf buf, ViConstString readFmt, va_list parms);
VI_EXPORT ViStatus viReadToFile(ViSession vi, ViConstString filename, ViUInt32 cnt, ViPUInt32 retCnt);
VI_EXPORT ViStatus viWriteFromFile(ViSession vi, ViConstString filename, ViUInt32 cnt, ViPUInt32 retCnt);

/* Event handlers */
VI_EXPORT ViStatus viInstallHandler(ViSession vi, ViEventType eventType, ViHndlr handler, ViAddr userHandle);
VI_EXPORT ViStatus viUninstallHandler(ViSession vi, ViEventType eventType, ViHndlr handler, ViAddr userHandle);

/* Not supported on LAN resources: they answer VI_ERROR_NSUP_OPER for an open session. */
VI_EXPORT ViStatus viReadAsync(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPJobId jobId);
VI_EXPORT ViStatus viWriteAsync(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPJobId jobId);
VI_EXPORT ViStatus viTerminate(ViObject vi, ViUInt16 degree, ViJobId jobId);
VI_EXPORT ViStatus viGpibControlREN(ViSession vi, ViUInt16 mode);
VI_EXPORT ViStatus viGpibControlATN(ViSession vi, ViUInt16 mode);
VI_EXPORT ViStatus viGpibSendIFC(ViSession vi);
VI_EXPORT ViStatus viGpibCommand(ViSession vi, ViConstBuf cmd, ViUInt32 cnt, ViPUInt32 retCnt);
VI_EXPORT ViStatus viGpibPassControl(ViSession vi, ViUInt16 primAddr, ViUInt16 secAddr);
VI_EXPORT ViStatus viVxiCommandQuery(ViSession vi, ViUInt16 mode, ViUInt32 cmd, ViPUInt32 response);
VI_EXPORT ViStatus viAssertUtilSignal(ViSession vi, ViUInt16 line);
VI_EXPORT ViStatus viAssertIntrSignal(ViSession vi, ViInt16 mode, ViUInt32 statusID);
VI_EXPORT ViStatus viMapTrigger(ViSession vi, ViInt16 trigSrc, ViInt16 trigDest, ViUInt16 mode);
VI_EXPORT ViStatus viUnmapTrigger(ViSession vi, ViInt16 trigSrc, ViInt16 trigDest);
VI_EXPORT ViStatus viUsbControlOut(ViSession vi, ViInt16 bmRequestType, ViInt16 bRequest, ViUInt16 wValue,
                                   ViUInt16 wIndex, ViUInt16 wLength, ViConstBuf buf);
VI_EXPORT ViStatus viUsbControlIn(ViSession vi, ViInt16 bmRequestType, ViInt16 bRequest, ViUInt16 wValue,
                                  ViUInt16 wIndex, ViUInt16 wLength, ViPBuf buf, ViPUInt16 retCnt);
VI_EXPORT ViStatus viIn8(ViSession vi, ViUInt16 space, ViBusAddress offset, ViPUInt8 val8);
VI_EXPORT ViStatus viIn16(ViSession vi, ViUInt16 space, ViBusAddress offset, ViPUInt16 val16);
VI_EXPORT ViStatus viIn32(ViSession vi, ViUInt16 space, ViBusAddress offset, ViPUInt32 val32);
VI_EXPORT ViStatus viIn64(ViSession vi, ViUInt16 space, ViBusAddress offset, ViPUInt64 val64);
VI_EXPORT ViStatus viOut8(ViSession vi, ViUInt16 space, ViBusAddress offset, ViUInt8 val8);
VI_EXPORT ViStatus viOut16(ViSession vi, ViUInt16 space, ViBusAddress offset, ViUInt16 val16);
VI_EXPORT ViStatus viOut32(ViSession vi, ViUInt16 space, ViBusAddress offset, ViUInt32 val32);
VI_EXPORT ViStatus viOut64(ViSession vi, ViUInt16 space, ViBusAddress offset, ViUInt64 val64);
VI_EXPORT ViStatus viIn8Ex(ViSession vi, ViUInt16 space, ViBusAddress64 offset, ViPUInt8 val8);
VI_EXPORT ViStatus viIn16Ex(ViSession vi, ViUInt16 space, ViBusAddress64 offset, ViPUInt16 val16);
VI_EXPORT ViStatus viIn32Ex(ViSession vi, ViUInt16 space, ViBusAddress64 offset, ViPUInt32 val32);
VI_EXPORT ViStatus viIn64Ex(ViSession vi, ViUInt16 space, ViBusAddress64 offset, ViPUInt64 val64);
VI_EXPORT ViStatus viOut8Ex(ViSession vi, ViUInt16 space, ViBusAddress64 offset, ViUInt8 val8);
VI_EXPORT ViStatus viOut16Ex(ViSession vi, ViUInt16 space, ViBusAddress64 offset, ViUInt16 val16);
VI_EXPORT ViStatus viOut32Ex(ViSession vi, ViUInt16 space, ViBusAddress64 offset, ViUInt32 val32);
VI_EXPORT ViStatus viOut64Ex(ViSession vi, ViUInt16 space, ViBusAddress64 offset, ViUInt64 val64);
VI_EXPORT ViStatus viMoveIn8(ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length, ViAUInt8 buf8);
VI_EXPORT ViStatus viMoveIn16(ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length, ViAUInt16 buf16);
VI_EXPORT ViStatus viMoveIn32(ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length, ViAUInt32 buf32);
VI_EXPORT ViStatus viMoveIn64(ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length, ViAUInt64 buf64);
VI_EXPORT ViStatus viMoveOut8(ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length, ViAUInt8 buf8);
VI_EXPORT ViStatus viMoveOut16(ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length, ViAUInt16 buf16);
VI_EXPORT ViStatus viMoveOut32(ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length, ViAUInt32 buf32);
VI_EXPORT ViStatus viMoveOut64(ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length, ViAUInt64 buf64);
VI_EXPORT ViStatus viMove(ViSession vi, ViUInt16 srcSpace, ViBusAddress srcOffset, ViUInt16 srcWidth,
                          ViUInt16 destSpace, ViBusAddress destOffset, ViUInt16 destWidth, ViBusSize srcLength);
VI_EXPORT ViStatus viMoveAsync(ViSession vi, ViUInt16 srcSpace, ViBusAddress srcOffset, ViUInt16 srcWidth,
                               ViUInt16 destSpace, ViBusAddress destOffset, ViUInt16 destWidth, ViBusSize srcLength,
                               ViPJobId jobId);
VI_EXPORT ViStatus viMapAddress(ViSession vi, ViUInt16 mapSpace, ViBusAddress mapOffset, ViBusSize mapSize,
                                ViBoolean access, ViAddr suggested, ViPAddr address);
VI_EXPORT ViStatus viUnmapAddress(ViSession vi);
VI_EXPORT ViStatus viMemAlloc(ViSession vi, ViBusSize size, ViPBusAddress offset);
VI_EXPORT ViStatus viMemFree(ViSession vi, ViBusAddress offset);
VI_EXPORT void viPeek8(ViSession vi, ViAddr address, ViPUInt8 val8);
VI_EXPORT void viPeek16(ViSession vi, ViAddr address, ViPUInt16 val16);
VI_EXPORT void viPeek32(ViSession vi, ViAddr address, ViPUInt32 val32);
VI_EXPORT void viPeek64(ViSession vi, ViAddr address, ViPUInt64 val64);
VI_EXPORT void viPoke8(ViSession vi, ViAddr address, ViUInt8 val8);
VI_EXPORT void viPoke16(ViSession vi, ViAddr address, ViUInt16 val16);
VI_EXPORT void viPoke32(ViSession vi, ViAddr address, ViUInt32 val32);
VI_EXPORT void viPoke64(ViSession vi, ViAddr address, ViUInt64 val64);

#ifdef __cplusplus
}
#endif

#endif
