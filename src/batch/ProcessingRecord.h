#pragma once

#include <string>

#include "batch/ProcessingJob.h"

// The record every picture the batch writes carries in a comment segment:
// the program and a digest of the settings that change pixels (box, turn,
// watermark image, opacity, placement, size, margin, colour conversion and
// quality), so that a picture already done with these settings can be told
// from one that is not. About 50 bytes, for example
// "Tessaly processed 1.1 settings 0123456789abcdef".
std::string processingRecord(const ProcessingJob& job);

// The record for a result written below an output folder: the batch's
// record and whose result it is, as a digest of the original's full path
// (" from 0123456789abcdef"), so that a later batch can tell an earlier
// result of the same picture from a file of another that has its name.
std::string resultRecord(const std::string& record, const std::string& original);

// Whether a picture's record says it was written with the batch's record,
// in place or as a result.
bool carriesRecord(const std::string& found, const std::string& record);

// The record a file this program wrote carries, JPEG or WebP; empty for
// any other file.
std::string resultFileRecord(const std::string& path);

// Whether the file at resultPath is a result of the picture at original.
bool isResultOf(const std::string& resultPath, const std::string& original);

// What to tell of a result already at resultPath that the batch does not
// replace: whose it is, and the options for it.
std::string existingResultNote(const std::string& resultPath, const std::string& original);
