// The C++ runtime's error paths for a shipped program built without
// exceptions (tav_link_for_size NO_EXCEPTIONS): each ends the process, as the
// exception it replaces would have, since such a program catches nothing.
// Without a single throw left in it, the program links none of the runtime's
// exception machinery: the unwinder, the threads library it locks with, and
// the exception classes, about 70 KB.
#include <bits/functexcept.h>

#include <cstdlib>
#include <new>

namespace std {

void __throw_bad_alloc() { abort(); }
void __throw_bad_array_new_length() { abort(); }
void __throw_length_error(const char*) { abort(); }
void __throw_logic_error(const char*) { abort(); }
void __throw_out_of_range_fmt(const char*, ...) { abort(); }

}  // namespace std

// The runtime's operator new throws std::bad_alloc itself, without a call
// above; this one ends the process at once instead. No program of ours sets
// a new-handler, so that is all the runtime's would have done.
void* operator new(std::size_t size) {
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  std::abort();
}

void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
