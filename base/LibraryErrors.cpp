// Size-minded replacements for parts of the C++ runtime in the shipped binaries.
//
// The standard library's error paths (a string grown past its maximum, an
// empty std::function called, a lock or thread the system refused, ...) are
// raised as the program's own exceptions. These replace the runtime's
// versions, which throw std::length_error, std::system_error and their kin:
// those classes carry a second, copy-on-write string implementation that
// would add about 50 KB to every binary. The messages stay the library's.
// Code that must tell such failures apart catches std::exception (Exception
// derives from it) or std::bad_alloc, never the runtime's own classes.
#include <bits/functexcept.h>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

#include "base/Exception.h"

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_alloc(); }
void __throw_bad_function_call() { throw Exception("Call of an empty function"); }
void __throw_length_error(const char* what) { throw Exception(what); }
void __throw_logic_error(const char* what) { throw Exception(what); }
void __throw_out_of_range_fmt(const char* what, ...) { throw Exception(what); }
void __throw_system_error(int error) { throw Exception(std::strerror(error)); }

}  // namespace std

namespace __gnu_cxx {

// The handler for an exception that escapes everything prints its demangled
// type; a window program has nowhere to print it, and the demangler (with the
// printf engine it needs) would be 70 KB of each binary. The programs and
// libraries catch at every boundary, so this only ends a broken process.
void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
