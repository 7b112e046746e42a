// The setup program runs its code on one thread only: the C++ runtime's few
// calls for locks, one-time set-up and thread-local data (the exception
// machinery's), answered here without the threads library, which would add
// about 30 KB to the shipped exe.
//
// Only the exe links this. Nothing of the program's own runs on another
// thread: windows, dialog callbacks and the unzip library's callback all run
// on the thread that made them, and the unzip library's worker threads run
// its own code with its own runtime. Tests, which do use threads, keep the
// real library. The types are the threads library's own: pthread_once_t a
// long that starts 0, pthread_mutex_t a pointer-sized value, pthread_key_t
// an unsigned index.
#include <cerrno>
#include <cstdint>

extern "C" {
int pthread_once(long* once, void (*initialize)());
int pthread_mutex_init(std::intptr_t* mutex, const void* attributes);
int pthread_mutex_destroy(std::intptr_t* mutex);
int pthread_mutex_lock(std::intptr_t* mutex);
int pthread_mutex_unlock(std::intptr_t* mutex);
int pthread_key_create(unsigned* key, void (*destroy)(void*));
void* pthread_getspecific(unsigned key);
int pthread_setspecific(unsigned key, const void* value);
}

namespace {

constexpr unsigned kKeys = 64;
void* gKeyValues[kKeys];
unsigned gKeysMade = 0;

}  // namespace

extern "C" {

int pthread_once(long* once, void (*initialize)()) {
  if (*once == 0) {
    *once = 1;
    initialize();
  }
  return 0;
}

int pthread_mutex_init(std::intptr_t*, const void*) { return 0; }
int pthread_mutex_destroy(std::intptr_t*) { return 0; }
int pthread_mutex_lock(std::intptr_t*) { return 0; }
int pthread_mutex_unlock(std::intptr_t*) { return 0; }

// Destructors of thread-local data would run when a thread ends; the one
// thread ends with the process, which frees everything.
int pthread_key_create(unsigned* key, void (*)(void*)) {
  if (gKeysMade == kKeys) return EAGAIN;
  *key = gKeysMade++;
  return 0;
}

void* pthread_getspecific(unsigned key) { return key < kKeys ? gKeyValues[key] : nullptr; }

int pthread_setspecific(unsigned key, const void* value) {
  if (key >= kKeys) return EINVAL;
  gKeyValues[key] = const_cast<void*>(value);
  return 0;
}

}  // extern "C"
