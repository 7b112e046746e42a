// Calls into code we do not own (the unzip library) so that a system
// exception escaping it (an access violation, RaiseException) ends the call
// instead of the program. C++ exceptions are not its business: callers
// catch those themselves.
#pragma once

// Runs call(context) on this thread. False when a system exception that no
// handler took escaped it on this thread; the call's remaining frames are
// then abandoned, and whatever threads the call started may still be
// running in its code. A system exception on any other thread is none of
// the guard's business: it goes to the filter that was in force before,
// as it would without the guard. Guarded calls may nest (a callback of the
// library may start another); they are made from one thread at a time.
bool CallGuardingSystemExceptions(void (*call)(void* context), void* context);
