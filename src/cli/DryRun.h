#pragma once

#include <string>
#include <vector>

#include "cli/BatchOptions.h"

// Reads the head of every picture the batches would take and prints what
// would happen to each, as the real run with the same options would have
// it: its size now and once written (turned), the turn, the watermark, why
// it would fail (an empty box, a result already there or a link in the
// way) or be skipped, and the totals. Changes nothing: no picture, no log,
// no folder is written. outputs: each folder's output folder, empty for
// none; record: the processing record the run would write, for
// --skip-processed. Returns the number of pictures that would fail or be
// skipped as unreadable and of folders it cannot open, which the real run
// counts as failures too.
int dryRun(const BatchOptions& options, const std::vector<std::string>& outputs, const std::string& record);
