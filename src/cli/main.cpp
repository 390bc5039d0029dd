// tessaly-batch: Tessaly's batch from a terminal and from scripts, on the
// same engine as the window.
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include "Version.h"
#include "batch/ProcessingJob.h"
#include "batch/TextMark.h"
#include "cli/CommandLine.h"
#include "cli/FileList.h"
#include "platform/InterruptWatcher.h"
#include "cli/TerminalOwner.h"
#include "platform/TerminalStreams.h"
#include "platform/FileAccess.h"
#include "platform/FolderAccess.h"
#include "platform/PathNames.h"
#include "platform/RegularFile.h"

namespace {

constexpr int exitFailures = 1;
constexpr int exitUsage = 2;
// As shells report a program killed by SIGPIPE: 128 + 13.
constexpr int exitOutputGone = 141;

int usageError(const std::string& error)
{
    if (!error.empty())
        std::fprintf(stderr, "tessaly-batch: %s\n", error.c_str());
    std::fputs("Try 'tessaly-batch --help' for more information.\n", stderr);
    return exitUsage;
}

// Where each folder's results go: the output folder itself for one folder,
// below it by the folder's own name for several, so that a/IMG_0001.jpg and
// b/IMG_0001.jpg cannot meet. Two folders of one name are refused.
bool outputFoldersFor(const BatchOptions& options, std::vector<std::string>& outputs, std::string& error)
{
    const std::string output = options.settings.saveToFolder ? options.settings.resultsFolder : std::string();
    std::set<std::string> names;
    for (const std::string& folder : options.folders) {
        if (output.empty() || options.folders.size() == 1) {
            outputs.push_back(output);
            continue;
        }
        const std::string name = folderName(folder);
        if (!names.insert(name).second) {
            error = "two folders named " + name + " cannot share --output " + shownPath(output);
            return false;
        }
        outputs.push_back(output + (output.back() == '/' ? "" : "/") + name);
    }
    return true;
}

// The window's way: any format the toolkit reads, a mask made alpha.
// When it cannot be loaded, problem says why.
bool loadWatermark(const std::string& path, wxImage& mark, std::string& problem)
{
    if (!canRead(path, problem))
        return false;
    wxLogNull noToolkitMessages;
    if (!mark.LoadFile(wxString::FromUTF8(path), wxBITMAP_TYPE_ANY, 0)) {
        problem = "not a picture that can be read";
        return false;
    }
    if (mark.HasMask())
        mark.InitAlpha();
    return true;
}

// The pictures --files-from names, those left out said on the way.
bool readListed(const BatchOptions& options, std::optional<std::vector<std::string>>& pictures, std::string& error)
{
    const bool standardInput = options.filesFrom == "-";
    std::FILE* list = standardInput ? stdin : openRegularFile(options.filesFrom);
    if (!list) {
        error = "cannot read the list " + shownPath(options.filesFrom);
        return false;
    }
    const std::vector<std::string> names = readFileList(list, options.nulSeparated);
    if (!standardInput)
        std::fclose(list);
    std::vector<std::string> leftOut;
    pictures.emplace();
    if (!listedPictures(names, options.folders[0], *pictures, leftOut, error))
        return false;
    for (const std::string& line : leftOut)
        std::fprintf(stderr, "tessaly-batch: %s\n", line.c_str());
    return true;
}

ProcessingJob jobFor(const BatchOptions& options, const std::string& folder, const std::string& output,
                     const std::optional<std::vector<std::string>>& pictures, const wxImage* mark,
                     const wxImage* bright, const TextMark* textMark)
{
    ProcessingJob job;
    job.settings = options.settings;
    job.directory = wxString::FromUTF8(folder);
    job.watermarkImage = mark;
    job.brightWatermarkImage = bright;
    job.textMark = textMark;
    job.caption = wxS("tessaly-batch");
    job.threads = options.jobs;
    job.outputFolder = wxString::FromUTF8(output);
    job.overwrite = options.overwrite;
    job.skipExisting = options.skipExisting;
    job.traceLog = false;
    job.dryRun = options.dryRun;
    job.pictures = pictures;
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
    useUtf8Console();
    wxLog::SetActiveTarget(new wxLogStderr);
    wxLog::DisableTimestamp();

    BatchOptions options;
    std::string error, help;
    std::vector<std::string> warnings;
    const CommandLineResult parsed = parseCommandLine(argc, argv, options, error, help, warnings);
    for (const std::string& warning : warnings)
        std::fprintf(stderr, "tessaly-batch: %s\n", warning.c_str());
    switch (parsed) {
    case CommandLineResult::help:
        std::fputs(help.c_str(), stdout);
        return 0;
    case CommandLineResult::version:
        std::puts("tessaly-batch " TESSALY_VERSION);
        return 0;
    case CommandLineResult::usageError:
        return usageError(error);
    case CommandLineResult::run:
        break;
    }
    // A list's pictures are one batch below one folder.
    std::optional<std::vector<std::string>> listed;
    if (!options.filesFrom.empty()) {
        if (options.folders.empty())
            options.folders.push_back(".");
        if (noFolderAt(options.folders[0]))
            return usageError(shownPath(options.folders[0]) + ": no such folder");
        if (!readListed(options, listed, error))
            return usageError(error);
    }
    // Before any picture is touched: every FOLDER is there, and each has an
    // output folder of its own.
    // One that cannot be read is the batch's to report, as the window does.
    for (const std::string& folder : options.folders)
        if (noFolderAt(folder))
            return usageError(shownPath(folder) + ": no such folder");
    std::vector<std::string> outputs;
    if (!outputFoldersFor(options, outputs, error))
        return usageError(error);
    // As the window refuses such a results folder: it would be the originals.
    for (std::size_t i = 0; i < outputs.size(); ++i)
        if (!outputs[i].empty() && sameFolder(outputs[i], options.folders[i]))
            return usageError("--output " + shownPath(outputs[i]) + " is the folder processed, " +
                              shownPath(options.folders[i]) +
                              ": the results would replace the originals");

    wxInitAllImageHandlers();
    const BatchSettings& settings = options.settings;
    wxImage mark;
    std::string problem;
    const bool textMark = settings.useWatermark && settings.textWatermark;
    const bool pictureMark = settings.useWatermark && !textMark;
    std::unique_ptr<TextMark> text;
    if (textMark && !(text = TextMark::load(settings, shippedFont(), problem)))
        return usageError(problem);
    if (pictureMark && !loadWatermark(settings.waterImgFile, mark, problem))
        return usageError("cannot load the watermark " + shownPath(settings.waterImgFile) + ": " + problem);
    wxImage bright;
    const bool twoTones = pictureMark && !settings.brightWatermark.empty();
    if (twoTones && !loadWatermark(settings.brightWatermark, bright, problem))
        return usageError("cannot load the watermark for bright ground " + shownPath(settings.brightWatermark) + ": " +
                          problem);
    if (pictureMark && options.opacityGiven && mark.HasAlpha())
        std::fprintf(stderr, "tessaly-batch: --opacity has no effect: %s has a transparency of its own, which is "
                             "used instead\n",
                     shownPath(settings.waterImgFile).c_str());
    // Without a terminal nobody can answer: refuse rather than wait. A dry
    // run asks nothing.
    if (!options.dryRun && !options.yes && !inputIsTerminal())
        return usageError("standard input is no terminal, so nobody can confirm; add --yes to go ahead");

    // Ctrl-C and SIGTERM: at the question, an end at once with nothing
    // touched; during a batch, a stop after the current picture, like STOP.
    TerminalOwner owner({options.quiet, !options.yes && !options.dryRun, options.json, options.dryRun});
    int interruptedBy = 0;
    {
        InterruptWatcher watcher([&owner] { return owner.asking(); }, [&owner] { owner.stop(); });
        for (std::size_t i = 0; i < options.folders.size() && watcher.signal() == 0 && !owner.outputGone(); ++i)
            owner.run(jobFor(options, options.folders[i], outputs[i], listed, pictureMark ? &mark : nullptr,
                             twoTones ? &bright : nullptr, text.get()));
        interruptedBy = watcher.signal();
    }
    // Every question answered no: as other tools end a declined run.
    if (owner.nothingDone()) {
        std::fputs("Nothing done.\n", stderr);
        return exitFailures;
    }
    owner.printTotals(interruptedBy != 0);
    if (interruptedBy != 0)
        return 128 + interruptedBy;
    if (owner.outputGone())
        return exitOutputGone;
    return owner.failures() == 0 ? 0 : exitFailures;
}
