#pragma once

// Has blocks of a megabyte and more taken from the system and given back
// to it when freed. Otherwise the C library keeps the freed coefficients
// of a large picture in the heap of the thread that prepared it, and with
// a heap for each helper the batch's peak holds them twice over.
void returnLargeBlocksToTheSystem();
