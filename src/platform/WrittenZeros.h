#pragma once

#include <cstddef>

// A block from the heap, zeroed by writing rather than by calloc. calloc
// leaves fresh pages untouched: the first read of one maps the system's
// shared zero page, and the first write then replaces that page, which
// with helpers running costs every other core a flush of its address cache
// (on Linux and under Wine alike). Null when the heap has no room.
void* writtenZeros(std::size_t bytes);
