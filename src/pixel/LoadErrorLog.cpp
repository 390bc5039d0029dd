#include "pixel/LoadErrorLog.h"

#include <wx/thread.h>

// The main thread's target is process-wide, every other thread's its own;
// a worker usually runs with logging off (wxLogNull), so it is turned on.
LoadErrorLog::LoadErrorLog() : mainThread_(wxThread::IsMain()), wasEnabled_(wxLog::EnableLogging(true))
{
    previous_ = mainThread_ ? wxLog::SetActiveTarget(this) : wxLog::SetThreadActiveTarget(this);
}

LoadErrorLog::~LoadErrorLog()
{
    if (mainThread_)
        wxLog::SetActiveTarget(previous_);
    else
        wxLog::SetThreadActiveTarget(previous_);
    wxLog::EnableLogging(wasEnabled_);
}

void LoadErrorLog::DoLogRecord(wxLogLevel level, const wxString&, const wxLogRecordInfo&)
{
    if (level <= wxLOG_Error)
        sawError_ = true;
}
