#pragma once

#include <wx/log.h>

// Catches the errors the toolkit's image loaders log on the calling thread
// while it lives, and keeps them from any other log target. The TIFF loader
// reports a damaged strip this way and still returns the picture with the
// strip missing.
class LoadErrorLog : public wxLog {
public:
    LoadErrorLog();
    ~LoadErrorLog() override;
    LoadErrorLog(const LoadErrorLog&) = delete;
    LoadErrorLog& operator=(const LoadErrorLog&) = delete;

    bool sawError() const { return sawError_; }

protected:
    void DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo& info) override;

private:
    bool sawError_ = false;
    bool mainThread_;
    bool wasEnabled_;
    wxLog* previous_;
};
