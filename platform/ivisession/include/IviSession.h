/* SPDX-License-Identifier: MIT */
/*
 * IviSession.h - IVI shared session services: session handles, the per-session
 * data pointer, the re-entrant session lock and the recorded error.
 *
 * Handles are non-zero and never reused within a process. Handle 0 in the
 * error functions names the calling thread's last error.
 */
#ifndef IVISESSION_HEADER
#define IVISESSION_HEADER

#include "visatype.h"

#if defined(__GNUC__)
#define IVISESSION_EXPORT __attribute__((visibility("default")))
#else
#define IVISESSION_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define IVI_ERROR_OUT_OF_MEMORY ((ViStatus)0xBFFA0056L)
#define IVI_ERROR_NULL_POINTER ((ViStatus)0xBFFA0058L)
#define IVI_ERROR_INVALID_SESSION_HANDLE ((ViStatus)0xBFFA1190L)
/* Unlock by a thread that does not hold the lock. */
#define IVI_ERROR_SESSION_NOT_LOCKED ((ViStatus)0xBFFA1191L)
#define IVI_MAX_ERROR_DESCRIPTION 1024

/* Writes a fresh non-zero handle. */
IVISESSION_EXPORT ViStatus IviSession_New(ViSession *vi);
/* The handle stops resolving. Threads waiting for its lock are released with
 * IVI_ERROR_INVALID_SESSION_HANDLE. */
IVISESSION_EXPORT ViStatus IviSession_Dispose(ViSession vi);

IVISESSION_EXPORT ViStatus IviSession_SetDataPtr(ViSession vi, ViAddr dataPtr);
/* Fails for 0, for a handle never issued and for a disposed handle. */
IVISESSION_EXPORT ViStatus IviSession_GetDataPtr(ViSession vi, ViAddr *dataPtr);

/* Re-entrant for one thread, blocking for others. With a non-null
 * callerHasLock: Lock does nothing when *callerHasLock is already VI_TRUE and
 * sets it when it takes the lock; Unlock does nothing when it is VI_FALSE and
 * clears it when it releases. With null every Lock is balanced by one Unlock. */
IVISESSION_EXPORT ViStatus IviSession_Lock(ViSession vi, ViBoolean *callerHasLock);
IVISESSION_EXPORT ViStatus IviSession_Unlock(ViSession vi, ViBoolean *callerHasLock);

/* Replaces the session's recorded error (description up to 1023 characters)
 * and records it as the calling thread's last error as well. vi 0 sets only the
 * thread's record. */
IVISESSION_EXPORT ViStatus IviSession_SetError(ViSession vi, ViStatus code, ViConstString description);

/* Copies the recorded code and description, then clears them.
 * bufferSize 0: returns the size needed (NUL included) and clears nothing.
 * bufferSize smaller than needed: a truncated, terminated text, and the size
 * needed as a positive result. Negative bufferSize: copies the whole text.
 * vi 0 reads the calling thread's last error. */
IVISESSION_EXPORT ViStatus IviSession_GetError(ViSession vi, ViInt32 bufferSize, ViStatus *code,
                                               ViChar description[]);
IVISESSION_EXPORT ViStatus IviSession_ClearError(ViSession vi);

#ifdef __cplusplus
}
#endif

#endif
