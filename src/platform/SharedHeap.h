#pragma once

// Has every thread allocate from one heap that keeps what is freed, so
// that memory one thread frees serves the next picture on any thread. With
// a heap for each helper, the C library keeps what a helper frees in that
// helper's heap, and the batch's peak holds a picture's blocks once for
// each helper. To be called first thing in main: a thread started before
// keeps a heap of its own.
void shareOneHeap();
