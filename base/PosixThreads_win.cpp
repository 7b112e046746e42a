// The POSIX thread calls that the C++ runtime makes, on Win32's own primitives.
//
// The posix-thread mingw-w64 toolchain builds its runtime (the unwinder, its
// thread-local storage, the exception allocator, function-local statics,
// std::thread, std::mutex and std::condition_variable) on the POSIX thread
// API, which the threads library winpthreads supplies: about 32 KB of every
// shipped binary. Each shipped binary links this file instead
// (tav_link_for_size); the linker then takes no part of winpthreads, and a
// call that is missing here shows as a clash with it at link time.
//
// The calls keep the library's binary conventions, since the runtime was
// compiled against its header: a mutex or condition variable is one pointer
// wide, starting either as zero or as a static initializer of -1 to -3.
// Win32's SRWLOCK and CONDITION_VARIABLE are one pointer wide too and start
// as zero; neither can ever hold -1 to -3 (the values would be a lock shared
// by more readers than a process has threads, or a wait list at the top of
// kernel space), so an initializer is swapped for zero, once and atomically,
// on first use.
// Recursive mutexes are plain ones here: the runtime never locks one twice.
#include <windows.h>
#include <pthread.h>
#include <process.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

// The system enters the thread routine and the TLS callback with the stack
// aligned to 4 bytes only on i686; this realigns it to what compiled code
// assumes.
#if defined(__i386__)
#define ENTERED_BY_THE_SYSTEM __attribute__((force_align_arg_pointer))
#else
#define ENTERED_BY_THE_SYSTEM
#endif

namespace {

template <typename Primitive>
Primitive* Initialized(std::intptr_t* slot) {
  const std::intptr_t value = *static_cast<volatile std::intptr_t*>(slot);
  if (value >= -3 && value <= -1) {
    InterlockedCompareExchangePointer(reinterpret_cast<PVOID volatile*>(slot), nullptr,
                                      reinterpret_cast<PVOID>(value));
  }
  return reinterpret_cast<Primitive*>(slot);
}

PSRWLOCK Lock(pthread_mutex_t* mutex) { return Initialized<SRWLOCK>(mutex); }
PCONDITION_VARIABLE Condition(pthread_cond_t* condition) { return Initialized<CONDITION_VARIABLE>(condition); }

// Thread-local keys with their destructors. As POSIX has it, a thread's
// values are destroyed when the thread ends: the system tells every module
// of each ending thread through its TLS callbacks (below). The runtime makes
// two keys at most.
constexpr unsigned kMaxKeys = 8;
struct Key {
  DWORD index = TLS_OUT_OF_INDEXES;
  void (*destructor)(void*) = nullptr;
};
SRWLOCK keysLock = SRWLOCK_INIT;
Key keys[kMaxKeys];
unsigned keyCount = 0;

void DestroyThisThreadsValues() {
  // Destructors may set values again; POSIX allows giving up after a few rounds.
  for (int round = 0; round < 4; ++round) {
    Key taken[kMaxKeys];
    AcquireSRWLockShared(&keysLock);
    const unsigned count = keyCount;
    for (unsigned i = 0; i < count; ++i) taken[i] = keys[i];
    ReleaseSRWLockShared(&keysLock);
    bool ranAny = false;
    for (unsigned i = 0; i < count; ++i) {
      if (taken[i].destructor == nullptr || taken[i].index == TLS_OUT_OF_INDEXES) continue;
      void* value = TlsGetValue(taken[i].index);
      if (value == nullptr) continue;
      TlsSetValue(taken[i].index, nullptr);
      taken[i].destructor(value);
      ranAny = true;
    }
    if (!ranAny) return;
  }
}

// A library unloaded by FreeLibrary gives its system slots back, so that
// loading it again and again cannot use them up. (At process exit nothing
// needs giving back.)
void FreeKeys() {
  AcquireSRWLockExclusive(&keysLock);
  for (unsigned i = 0; i < keyCount; ++i) {
    if (keys[i].index != TLS_OUT_OF_INDEXES) TlsFree(keys[i].index);
    keys[i] = {};
  }
  ReleaseSRWLockExclusive(&keysLock);
}

ENTERED_BY_THE_SYSTEM void NTAPI OnThreadOrModuleEnd(PVOID, DWORD reason, PVOID processEnding) {
  if (reason == DLL_THREAD_DETACH) {
    DestroyThisThreadsValues();
  } else if (reason == DLL_PROCESS_DETACH && processEnding == nullptr) {
    DestroyThisThreadsValues();
    FreeKeys();
  }
}

struct ThreadStart {
  void* (*routine)(void*);
  void* argument;
};

ENTERED_BY_THE_SYSTEM unsigned __stdcall RunThread(void* parameter) {
  const ThreadStart start = *static_cast<ThreadStart*>(parameter);
  std::free(parameter);
  start.routine(start.argument);
  return 0;
}

}  // namespace

extern "C" {

// Registered in the module's TLS directory, which mingw-w64's start-up code
// provides; the linker keeps every .CRT$XL* entry.
extern const PIMAGE_TLS_CALLBACK tav_posix_threads_tls_callback;
__attribute__((section(".CRT$XLF"), used)) const PIMAGE_TLS_CALLBACK tav_posix_threads_tls_callback =
    OnThreadOrModuleEnd;

int pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t*) {
  *mutex = 0;
  return 0;
}

int pthread_mutex_destroy(pthread_mutex_t*) { return 0; }

int pthread_mutex_lock(pthread_mutex_t* mutex) {
  AcquireSRWLockExclusive(Lock(mutex));
  return 0;
}

int pthread_mutex_unlock(pthread_mutex_t* mutex) {
  ReleaseSRWLockExclusive(Lock(mutex));
  return 0;
}

int pthread_cond_destroy(pthread_cond_t*) { return 0; }

int pthread_cond_signal(pthread_cond_t* condition) {
  WakeConditionVariable(Condition(condition));
  return 0;
}

int pthread_cond_broadcast(pthread_cond_t* condition) {
  WakeAllConditionVariable(Condition(condition));
  return 0;
}

int pthread_cond_wait(pthread_cond_t* condition, pthread_mutex_t* mutex) {
  return SleepConditionVariableSRW(Condition(condition), Lock(mutex), INFINITE, 0) ? 0 : EINVAL;
}

int pthread_once(pthread_once_t* once, void (*routine)(void)) {
  constexpr LONG kNotRun = 0, kRunning = 1, kDone = 2;
  if (InterlockedCompareExchange(once, kRunning, kNotRun) == kNotRun) {
    routine();
    InterlockedExchange(once, kDone);
  } else {
    while (InterlockedCompareExchange(once, kDone, kDone) != kDone) SwitchToThread();
  }
  return 0;
}

int pthread_key_create(pthread_key_t* key, void (*destructor)(void*)) {
  const DWORD index = TlsAlloc();
  if (index == TLS_OUT_OF_INDEXES) return EAGAIN;
  AcquireSRWLockExclusive(&keysLock);
  const bool room = keyCount < kMaxKeys;
  if (room) {
    keys[keyCount] = {index, destructor};
    *key = keyCount++;
  }
  ReleaseSRWLockExclusive(&keysLock);
  if (!room) TlsFree(index);
  return room ? 0 : EAGAIN;
}

int pthread_key_delete(pthread_key_t key) {
  AcquireSRWLockExclusive(&keysLock);
  const DWORD index = key < keyCount ? keys[key].index : TLS_OUT_OF_INDEXES;
  if (index != TLS_OUT_OF_INDEXES) keys[key] = {};
  ReleaseSRWLockExclusive(&keysLock);
  return index != TLS_OUT_OF_INDEXES && TlsFree(index) ? 0 : EINVAL;
}

// A key is read without the lock: its slot was written before the key was
// handed out, and is not written again while the key is in use.
void* pthread_getspecific(pthread_key_t key) { return TlsGetValue(keys[key].index); }

int pthread_setspecific(pthread_key_t key, const void* value) {
  return TlsSetValue(keys[key].index, const_cast<void*>(value)) ? 0 : EINVAL;
}

int pthread_create(pthread_t* thread, const pthread_attr_t*, void* (*routine)(void*), void* argument) {
  auto* start = static_cast<ThreadStart*>(std::malloc(sizeof(ThreadStart)));
  if (start == nullptr) return EAGAIN;
  *start = {routine, argument};
  // Through the C runtime, so that the thread's own C runtime data is set up.
  const std::uintptr_t handle = _beginthreadex(nullptr, 0, RunThread, start, 0, nullptr);
  if (handle == 0) {
    std::free(start);
    return EAGAIN;
  }
  *thread = handle;
  return 0;
}

int pthread_join(pthread_t thread, void** result) {
  const auto handle = reinterpret_cast<HANDLE>(thread);
  if (WaitForSingleObject(handle, INFINITE) != WAIT_OBJECT_0) return EINVAL;
  CloseHandle(handle);
  if (result != nullptr) *result = nullptr;
  return 0;
}

int pthread_detach(pthread_t thread) { return CloseHandle(reinterpret_cast<HANDLE>(thread)) ? 0 : EINVAL; }

// std::thread::hardware_concurrency: the processors this process may run on.
int pthread_num_processors_np(void) {
  DWORD_PTR processMask = 0;
  DWORD_PTR systemMask = 0;
  int count = 0;
  if (GetProcessAffinityMask(GetCurrentProcess(), &processMask, &systemMask)) {
    for (; processMask != 0; processMask &= processMask - 1) ++count;
  }
  return count > 0 ? count : 1;
}

// std::this_thread::sleep_for, to the millisecond, rounded up.
int nanosleep(const struct timespec* request, struct timespec* remain) {
  const long long milliseconds = request->tv_sec * 1000LL + (request->tv_nsec + 999999) / 1000000;
  Sleep(static_cast<DWORD>(milliseconds > 0xFFFFFFFELL ? 0xFFFFFFFELL : milliseconds));
  if (remain != nullptr) *remain = {};
  return 0;
}

}  // extern "C"
