#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

// Counts every allocation through operator new in the test executable that includes this
// header (in one source file only).
inline std::atomic<long> g_allocations{0};

void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
