#pragma once

// Has every thread allocate from one heap that keeps what is freed, so
// that memory one thread frees serves the next picture on any thread. With
// a heap for each helper, the C library keeps the freed coefficients of a
// large picture in the heap of the helper that prepared it, and the batch's
// peak holds them once for each helper. To be called first thing in main: a
// thread started before keeps a heap of its own.
void shareOneHeap();
