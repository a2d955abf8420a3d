// The few pieces of the C++ runtime the plug-in uses, without C++ exceptions: memory that runs out,
// and a container asked for more than it can hold, end the process at once.
// Nothing in the plug-in catches an exception, and none may cross into the messenger, which is not
// written in C++; a throw would end the process all the same, through the terminate handler, but
// would pull the unwinder, the demangler, the thread library and the library's exception classes
// into the DLL, three quarters of its size.
#include <cstdlib>
#include <new>
#include <string>

void* operator new(std::size_t size) {
    if (void* block = std::malloc(size ? size : 1))
        return block;
    std::abort();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

// The library's containers report impossible requests through these.
namespace std {
void __throw_bad_alloc() { abort(); }
void __throw_bad_array_new_length() { abort(); }
void __throw_length_error(const char*) { abort(); }
void __throw_logic_error(const char*) { abort(); }
void __throw_out_of_range_fmt(const char*, ...) { abort(); }
} // namespace std

// The library keeps the string's members out of line; instantiated here without exceptions, they
// stand in for the library's copy, which would bring its exception machinery with it.
template class std::basic_string<char>;
