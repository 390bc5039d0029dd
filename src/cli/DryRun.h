#pragma once

#include <string>

#include "batch/PictureReport.h"

// What a dry run says of one picture, from the plan it got before any pixel
// was decoded: its size now and once written (turned), the turn, the
// watermark, or why it would fail or be skipped. With watermarking, the
// batch blends a watermark into what it writes; writing, when not empty,
// says how results are written (", as WebP at quality 82").
std::string dryRunLine(const PictureReport& report, bool watermarking, const std::string& writing = {});
