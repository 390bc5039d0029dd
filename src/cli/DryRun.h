#pragma once

#include <string>
#include <vector>

#include "batch/ProcessingJob.h"

// Reads the head of every picture the batches would take and prints what
// would happen to each, as the real run of the same jobs has it: the plan
// each picture gets before any pixel is decoded (see planPicture), so its
// size now and once written (turned), the turn, the watermark, why it
// would fail or be skipped, and the totals; with json, the real run's
// objects marked as a dry run. Changes nothing: no picture, no log, no
// folder is written. The jobs carry the record the run would write, for
// --skip-processed. Returns the number of pictures that would fail or be
// skipped as unreadable and of folders it cannot open or write, which the
// real run counts as failures too.
int dryRun(const std::vector<ProcessingJob>& jobs, bool json);
