// A system exception that nobody handles reaches the unhandled-exception
// filter before the process would end; while a guarded call runs, that
// filter jumps back to the innermost guard, but only on the thread that set
// it: that guard's frames live on that thread's stack alone. The compiler's
// own setjmp builtins do the jump, so that no C library unwinding runs
// through the foreign frames.
#include "zip/SystemExceptionGuard_win.h"

#include <windows.h>

#include <atomic>

namespace {

struct Guard {
  void* resume[5] = {};
  Guard* outer = nullptr;
#if !defined(_WIN64)
  // The 32-bit system keeps a chain of handler records on the stack; the
  // abandoned frames' records must leave it with them.
  void* exceptionList = nullptr;
#endif
};

// Written only by the guarding thread; the filter reads innermost only on
// that thread.
Guard* innermost = nullptr;
std::atomic<DWORD> guardingThread{0};
// The filter in force before the outermost guard, for everyone else's faults.
LPTOP_LEVEL_EXCEPTION_FILTER outsideFilter = nullptr;

LONG WINAPI ReturnToGuard(EXCEPTION_POINTERS* exception) {
  if (GetCurrentThreadId() == guardingThread.load() && innermost != nullptr)
    __builtin_longjmp(innermost->resume, 1);
  return outsideFilter != nullptr ? outsideFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

#if !defined(_WIN64)
// The head of the chain, at offset 0 of the thread information block.
void* ExceptionList() {
  void* list = nullptr;
  __asm__ __volatile__("movl %%fs:0, %0" : "=r"(list));
  return list;
}
void SetExceptionList(void* list) { __asm__ __volatile__("movl %0, %%fs:0" : : "r"(list) : "memory"); }
#endif

// Kept out of line: the builtin setjmp needs a frame of its own, entered
// after the guard is in place and left before it goes.
__attribute__((noinline)) bool RunGuarded(Guard& guard, void (*call)(void*), void* context) {
#if !defined(_WIN64)
  guard.exceptionList = ExceptionList();
#endif
  if (__builtin_setjmp(guard.resume) != 0) {
#if !defined(_WIN64)
    SetExceptionList(guard.exceptionList);
#endif
    return false;
  }
  call(context);
  return true;
}

}  // namespace

bool CallGuardingSystemExceptions(void (*call)(void* context), void* context) {
  Guard guard;
  guard.outer = innermost;
  const LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(ReturnToGuard);
  if (guard.outer == nullptr) {
    outsideFilter = previous;
    guardingThread = GetCurrentThreadId();
  }
  innermost = &guard;
  const bool completed = RunGuarded(guard, call, context);
  innermost = guard.outer;
  if (guard.outer == nullptr) guardingThread = 0;
  SetUnhandledExceptionFilter(previous);
  return completed;
}
