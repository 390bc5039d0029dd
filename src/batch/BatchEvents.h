#pragma once

#include <wx/event.h>

// The worker's two notifications, plain command events that carry only
// their type and id.
extern const wxEventType EVT_BATCH_FINISHED;  // id 0
extern const wxEventType EVT_BATCH_STARTED;   // id 101

constexpr int batchFinishedId = 0;
constexpr int batchStartedId = 101;
