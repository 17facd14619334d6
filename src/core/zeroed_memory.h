#pragma once

#include <cstddef>

// Memory for the data arrays, zeroed by the system: a fresh array costs no pass over it before its first
// use, and large ones ask for transparent huge pages, whose first touch costs half as much per byte.
namespace trazel {

// At least `bytes` of zeroed memory, aligned for any element type; throws std::bad_alloc when there is none.
void* allocateZeroed(std::size_t bytes);
// Gives back what allocateZeroed gave for the same `bytes`.
void freeZeroed(void* memory, std::size_t bytes) noexcept;

} // namespace trazel
