// Events and threads as kernel-object handles (CreateEvent, CreateThread,
// WaitForSingleObject, CloseHandle), for the sound code and its devices.
//
// Events: a named event is one object per process, so creating it again by
// the same name gives a new handle on the same event, state kept; it lives
// until its last handle is closed. Auto-reset events release one waiter per
// signal.
//
// Threads run on std::thread. No Linux thread can be stopped or frozen from
// outside, so there is no TerminateThread: a thread is ended by a flag of its
// own plus an event it waits on, and then waited for. Suspension is
// cooperative: SuspendThread on the calling thread blocks it at once; on
// another thread it takes effect when that thread next enters or leaves
// WaitForSingleObject. A thread created with CREATE_SUSPENDED starts its
// routine only after ResumeThread.
#pragma once
#include "platform/windef.h"

#include <cstddef>

#ifndef WINAPI
#define WINAPI
#endif

struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
typedef DWORD* LPDWORD;
typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID param);

enum : DWORD {
  WAIT_OBJECT_0 = 0x00000000,
  WAIT_TIMEOUT = 0x00000102,
  WAIT_FAILED = 0xFFFFFFFF,
  CREATE_SUSPENDED = 0x00000004,
};

// Security attributes are ignored. A NULL or empty name gives an event of its
// own.
HANDLE CreateEvent(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// An event: WAIT_OBJECT_0 when signalled in time (an auto-reset event is then
// reset), WAIT_TIMEOUT otherwise. A thread: WAIT_OBJECT_0 once its routine has
// returned. WAIT_FAILED for a handle that is no open event or thread.
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);

// The stack size is left to the system. NULL when no thread can be started.
HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, size_t stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID param, DWORD creationFlags, LPDWORD threadId);
// Both return the suspend count from before the call, (DWORD)-1 for a handle
// that is no thread.
DWORD SuspendThread(HANDLE thread);
DWORD ResumeThread(HANDLE thread);
// Closing a thread's last handle does not stop the thread.
BOOL CloseHandle(HANDLE object);
