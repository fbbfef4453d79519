#pragma once
// The program's own interception layer: inline hooks on functions of the running process, with the
// calls and results of the well-known transaction interface. A transaction collects the threads to
// hold still and the functions to intercept; its commit writes a jump over the start of each function
// and hands the caller a trampoline (the moved start of the original followed by a jump back) through
// which the original is still reached. The start of a function is decoded instruction by instruction;
// what the decoder does not know is refused, never patched. Interceptions are never removed.
//
// One transaction at a time, owned by the thread that began it. Results: NO_ERROR, or
//   ERROR_INVALID_OPERATION  no transaction of this thread (or one is already open)
//   ERROR_INVALID_HANDLE     a null pointer, target or replacement
//   ERROR_INVALID_BLOCK      the function's start cannot be moved (unknown, too short, out of reach)
//   ERROR_INVALID_DATA       the function's start changed between the attach and the commit
//   ERROR_NOT_ENOUGH_MEMORY  no memory for the trampoline or the transaction's lists
// or the error of SuspendThread / VirtualProtect. A failed call leaves its error pending: later calls
// of the transaction return it, and the commit returns it and undoes the whole transaction.

#include <windows.h>

LONG WINAPI DetourTransactionBegin() noexcept;
// Suspends `thread` until the commit, which moves its instruction pointer out of any patched bytes
// into the trampoline. The current thread is accepted and not suspended. The handle stays the caller's.
LONG WINAPI DetourUpdateThread(HANDLE thread) noexcept;
// `pointer` holds the function to intercept; at the commit it receives the trampoline.
LONG WINAPI DetourAttach(PVOID* pointer, PVOID detour) noexcept;
LONG WINAPI DetourTransactionCommit() noexcept;
