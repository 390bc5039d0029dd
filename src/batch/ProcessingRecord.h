#pragma once

#include <string>

#include "batch/ProcessingJob.h"

// The record every picture the batch writes carries in a comment segment:
// the program and a digest of the settings that change pixels (box, turn,
// watermark image, opacity, placement, size, margin, colour conversion and
// quality), so that a picture already done with these settings can be told
// from one that is not. About 50 bytes, for example
// "Tessaly processed 1.1 settings 0123456789abcdef".
std::string processingRecord(const ProcessingJob& job, long quality);
