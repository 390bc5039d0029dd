// tessaly-batch: Tessaly's batch from a terminal and from scripts, on the
// same engine as the window.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <thread>

#include <pthread.h>
#include <unistd.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include "batch/ProcessingJob.h"
#include "cli/CommandLine.h"
#include "cli/DryRun.h"
#include "cli/TerminalOwner.h"

namespace {

constexpr int exitFailures = 1;
constexpr int exitUsage = 2;
constexpr int exitInterrupted = 130;  // as shells report a program ended by Ctrl-C

int usageError(const std::string& error)
{
    if (!error.empty())
        std::fprintf(stderr, "tessaly-batch: %s\n", error.c_str());
    std::fputs("Try 'tessaly-batch --help' for more information.\n", stderr);
    return exitUsage;
}

// The window's way: any format the toolkit reads, a mask made alpha.
bool loadWatermark(const std::string& path, wxImage& mark)
{
    wxLogNull noToolkitMessages;
    if (!mark.LoadFile(wxString::FromUTF8(path), wxBITMAP_TYPE_ANY, 0))
        return false;
    if (mark.HasMask())
        mark.InitAlpha();
    return true;
}

ProcessingJob jobFor(const BatchOptions& options, const std::string& folder, const wxImage* mark)
{
    ProcessingJob job;
    job.directory = wxString::FromUTF8(folder);
    job.includeSubfolders = options.recursive;
    job.resize = options.resize;
    job.maxSize = options.size;
    job.autoRotate = options.rotate;
    job.watermark = options.watermark;
    job.watermarkImage = mark;
    job.alpha = options.opacity;
    job.placement = options.position;
    job.qualityText = wxString::Format(wxS("%i"), options.quality);
    job.caption = wxS("tessaly-batch");
    job.threads = options.jobs;
    job.stopAtUnreadable = false;
    job.outputFolder = wxString::FromUTF8(options.output);
    job.overwrite = options.overwrite;
    job.traceLog = false;
    return job;
}

}  // namespace

int main(int argc, char** argv)
{
    wxInitializer toolkit;
    if (!toolkit.IsOk()) {
        std::fputs("tessaly-batch: cannot initialise the toolkit\n", stderr);
        return exitFailures;
    }
    wxLog::SetActiveTarget(new wxLogStderr);
    wxLog::DisableTimestamp();

    BatchOptions options;
    std::string error, help;
    switch (parseCommandLine(argc, argv, options, error, help)) {
    case CommandLineResult::help:
        std::fputs(help.c_str(), stdout);
        return 0;
    case CommandLineResult::version:
        std::puts("tessaly-batch 1.1");
        return 0;
    case CommandLineResult::usageError:
        return usageError(error);
    case CommandLineResult::run:
        break;
    }
    if (options.dryRun)
        return dryRun(options) == 0 ? 0 : exitFailures;
    // Without a terminal nobody can answer: refuse rather than wait.
    if (!options.yes && !isatty(STDIN_FILENO))
        return usageError("standard input is no terminal, so nobody can confirm; add --yes to go ahead");

    wxInitAllImageHandlers();
    wxImage mark;
    if (options.watermark && !loadWatermark(options.watermarkFile, mark))
        return usageError("cannot load the watermark " + options.watermarkFile);

    // Ctrl-C (and a polite kill) stop after the current picture, like STOP:
    // a thread of its own waits for them, as no other thread may see them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    TerminalOwner owner(options.quiet, !options.yes);
    std::atomic<bool> interrupted{false};
    std::thread watcher([&] {
        int signal = 0;
        while (sigwait(&signals, &signal) == 0 && signal != SIGUSR1) {
            interrupted = true;
            owner.stop();
        }
    });

    for (const std::string& folder : options.folders) {
        if (interrupted)
            break;
        owner.run(jobFor(options, folder, options.watermark ? &mark : nullptr));
    }
    pthread_kill(watcher.native_handle(), SIGUSR1);
    watcher.join();
    owner.printTotals();
    if (interrupted)
        return exitInterrupted;
    return owner.failures() == 0 ? 0 : exitFailures;
}
