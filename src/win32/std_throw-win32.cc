// The standard library's throw helpers, for the shipped exe. The library's own throw the
// exception classes of <stdexcept>, whose copy-on-write message strings bring some 50 KB of
// string code along that nothing else uses. Every one of these errors is an allocation that
// cannot be made or a caller's mistake, and the program treats any of them alike: a registry
// write that meets one is skipped (RegistryWriter catches std::exception), anything else ends
// the program. So each throws std::bad_alloc, which needs no message.
#include <bits/functexcept.h>

#include <new>

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_alloc(); }
void __throw_length_error(const char*) { throw bad_alloc(); }
void __throw_logic_error(const char*) { throw bad_alloc(); }
void __throw_out_of_range(const char*) { throw bad_alloc(); }
void __throw_out_of_range_fmt(const char*, ...) { throw bad_alloc(); }
void __throw_invalid_argument(const char*) { throw bad_alloc(); }

}  // namespace std
