#pragma once

#include <cstddef>

// Zeroed memory for a picture's large arrays (its coefficients), given
// back when the picture is done. On Linux they are mapped apart, so that
// the heap keeps no holes they leave. Where the system's heap hands large
// blocks back to the system at once (Windows), the next picture would fault
// every page in again: there the last few are kept and zeroed for reuse.
void* takeZeroedBlock(std::size_t bytes);
void giveBackBlock(void* block);
