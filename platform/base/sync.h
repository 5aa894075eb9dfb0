// Events, waits with time-outs and critical sections, as Windows has them.
//
// Time-outs are measured on the clock in force (clock.h). Under the system clock a wait blocks for real time;
// under a virtual clock it blocks until the clock is advanced past its deadline, so a test times a wait out
// deterministically. A change of clock during a wait carries the time already waited over to the new clock.
#pragma once

#include "platform/base/kernel_object.h"

#include <pthread.h>

inline constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

// An event, manual-reset (stays signalled until ResetEvent) or auto-reset (a satisfied wait resets it, so one
// waiter goes through per SetEvent). A name makes it shared within the process: creating a name that exists
// answers a new handle to the same event, with ERROR_ALREADY_EXISTS. There is no sharing across processes.
HANDLE CreateEvent(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// WAIT_OBJECT_0 when the object is (or becomes) signalled, WAIT_TIMEOUT when `milliseconds` pass first
// (INFINITE: never), WAIT_FAILED with GetLastError for a bad handle.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
// Wait for any (WAIT_OBJECT_0 + the lowest index signalled) or for all at once (WAIT_OBJECT_0; objects are taken
// together, so no auto-reset event is consumed unless all are signalled). 1 to MAXIMUM_WAIT_OBJECTS handles; in a
// wait for all, the same object twice is ERROR_INVALID_PARAMETER.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);

// A recursive lock: the owning thread may enter again, and leaves as often as it entered.
struct CRITICAL_SECTION {
  pthread_mutex_t mutex;
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

void InitializeCriticalSection(LPCRITICAL_SECTION section);
BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION section, DWORD spinCount);
void EnterCriticalSection(LPCRITICAL_SECTION section);
// TRUE when entered (free, or already owned by this thread).
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);
