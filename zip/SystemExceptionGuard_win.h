// Calls into code we do not own (the unzip library) so that a system
// exception escaping it (an access violation, RaiseException) ends the call
// instead of the program. C++ exceptions are not its business: callers
// catch those themselves.
#pragma once

// Runs call(context) on this thread. False when a system exception that no
// handler took escaped it; the call's remaining frames are then abandoned.
// Guarded calls may nest (a callback of the library may start another).
bool CallGuardingSystemExceptions(void (*call)(void* context), void* context);
