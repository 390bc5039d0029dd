#pragma once

// Whether the processor runs AVX2 instructions, for the code paths that
// have a version for them; asked of the processor once.
bool processorHasAvx2();
