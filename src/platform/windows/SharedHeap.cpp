#include "platform/SharedHeap.h"

void shareOneHeap()
{
    // The C runtime's heap is already one for the whole process.
}
