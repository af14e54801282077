// The program catches no exception: a failure the standard library would throw (memory exhausted, a
// string longer than it can ever hold) can only end it, as an uncaught exception would. Defining the
// library's throw helpers and the throwing allocation functions here, in the program's own object,
// ends it directly and keeps the unwinder, the exception classes with their string instances and the
// thread library they lock with out of the image. Only the program links this file; the test
// programs keep the library's versions.
#include <cstdlib>
#include <new>

namespace {
[[noreturn]] void endProgram() {
    std::abort();
}

void* allocateOrNull(std::size_t size) noexcept {
    return std::malloc(size != 0 ? size : 1);
}

void* allocate(std::size_t size) {
    if (void* block = allocateOrNull(size))
        return block;
    endProgram();
}
}  // namespace

// The library's operator delete releases with free(), which matches malloc() here.
void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocateOrNull(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocateOrNull(size);
}

namespace std {
void __throw_bad_alloc() {
    endProgram();
}
void __throw_bad_array_new_length() {
    endProgram();
}
void __throw_length_error(const char*) {
    endProgram();
}
void __throw_logic_error(const char*) {
    endProgram();
}
void __throw_out_of_range(const char*) {
    endProgram();
}
void __throw_out_of_range_fmt(const char*, ...) {
    endProgram();
}
void __throw_invalid_argument(const char*) {
    endProgram();
}
}  // namespace std

// The library's default handler prints the demangled type of an uncaught exception to a console this
// program does not have, and pulls the whole demangler into the image.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    endProgram();
}
}  // namespace __gnu_cxx
