#pragma once

// Names the calling thread, so that a debugger, top or a test can tell the
// program's threads apart. Linux takes at most 15 bytes of it.
void nameThisThread(const char* name);
