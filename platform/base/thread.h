// Threads as Windows handles. A thread handle is signalled when the thread's function returns, and
// GetExitCodeThread answers that function's result (STILL_ACTIVE before).
//
// Not provided: TerminateThread, SuspendThread of a running thread and ExitThread. POSIX cannot stop another
// thread safely (pthread_cancel unwinds through C++ code at arbitrary points and leaves locks held), so a thread
// that must be stopped is asked to stop (an event or flag it polls) and then waited for.
#pragma once

#include "platform/base/kernel_object.h"

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);

inline constexpr DWORD CREATE_SUSPENDED = 0x00000004;
inline constexpr DWORD STILL_ACTIVE = 259;

inline constexpr int THREAD_PRIORITY_IDLE = -15;
inline constexpr int THREAD_PRIORITY_LOWEST = -2;
inline constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
inline constexpr int THREAD_PRIORITY_NORMAL = 0;
inline constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
inline constexpr int THREAD_PRIORITY_HIGHEST = 2;
inline constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;
inline constexpr int THREAD_PRIORITY_ERROR_RETURN = 0x7FFFFFFF;

// Starts `start(parameter)` on a new thread (held at its start until ResumeThread with CREATE_SUSPENDED). The
// stack size is left to the system. `threadId`, when given, receives the id before the thread runs. nullptr
// with GetLastError when no thread could be made.
HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD creationFlags, LPDWORD threadId);
// Answers the suspend count before the call (0: the thread was running), or 0xFFFFFFFF for a bad handle.
DWORD ResumeThread(HANDLE thread);
// Priorities are recorded and answered, not applied: Linux gives ordinary users no way to raise a thread's
// priority, and the program's use of them (the worker below normal, the mailslot reader lowest) only eases load.
BOOL SetThreadPriority(HANDLE thread, int priority);
int GetThreadPriority(HANDLE thread);
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);

// A unique non-zero id per thread, also for threads this layer did not start.
DWORD GetCurrentThreadId();
// The pseudo handle meaning "the calling thread" (for Set/GetThreadPriority); CloseHandle on it does nothing.
HANDLE GetCurrentThread();
// The id of the thread behind a handle, or 0.
DWORD GetThreadId(HANDLE thread);
