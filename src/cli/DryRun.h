#pragma once

#include "cli/BatchOptions.h"

// Reads the head of every picture the batches would take and prints what
// would happen to each (its size now and after, the turn, the watermark, or
// why it would be skipped) and the totals. Changes nothing: no picture, no
// log, no folder is written. Returns the number of pictures it would skip
// and folders it cannot open.
int dryRun(const BatchOptions& options);
