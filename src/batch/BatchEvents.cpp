#include "batch/BatchEvents.h"

// Allocated once, at start-up, in this order.
const wxEventType EVT_BATCH_FINISHED = wxNewEventType();
const wxEventType EVT_BATCH_STARTED = wxNewEventType();
