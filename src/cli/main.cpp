// tessaly-batch: Tessaly's batch from a terminal and from scripts, on the
// same engine as the window.
#include <cstdio>
#include <filesystem>
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
#include "cli/TerminalOwner.h"
#include "platform/FileAccess.h"
#include "platform/FolderAccess.h"
#include "platform/InterruptWatcher.h"
#include "platform/PathNames.h"
#include "platform/RegularFile.h"
#include "platform/SettingsFolder.h"
#include "platform/SharedHeap.h"
#include "platform/TerminalStreams.h"
#include "settings/PreferencesFile.h"
#include "settings/PresetFile.h"
#include "text/Translated.h"
#include "text/UserLanguage.h"

namespace {

constexpr int exitFailures = 1;
constexpr int exitUsage = 2;
// As shells report a program killed by SIGPIPE: 128 + 13.
constexpr int exitOutputGone = 141;

int usageError(const std::string& error)
{
    if (!error.empty())
        writeText(stderr, "tessaly-batch: " + error + "\n");
    writeText(stderr, said(_("Try 'tessaly-batch --help' for more information.")) + "\n");
    return exitUsage;
}

// Where each folder's results go: the output folder itself for one folder,
// below it by the folder's own name for several, so that a/IMG_0001.jpg and
// b/IMG_0001.jpg cannot meet. Two folders of one name are refused.
bool outputFoldersFor(const BatchOptions& options, const BatchSettings& settings, std::vector<std::string>& outputs,
                      std::string& error)
{
    const std::string output = settings.saveToFolder ? settings.resultsFolder : std::string();
    std::set<std::string> names;
    for (const std::string& folder : options.folders) {
        if (output.empty() || options.folders.size() == 1) {
            outputs.push_back(output);
            continue;
        }
        const std::string name = folderName(folder);
        if (!names.insert(name).second) {
            error = said(_("two folders named %s cannot share --output %s"), name, shownPath(output));
            return false;
        }
        outputs.push_back(joinPath(output, name));
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
        problem = said(_("not a picture that can be read"));
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
        error = said(_("cannot read the list %s"), shownPath(options.filesFrom));
        return false;
    }
    std::vector<std::string> names;
    std::string why;
    const bool read = readFileList(list, options.nulSeparated, standardInput, names, why);
    if (!standardInput)
        std::fclose(list);
    if (!read) {
        error = said(_("cannot read the list %s: %s"), shownPath(options.filesFrom), why);
        return false;
    }
    std::vector<std::string> leftOut;
    pictures.emplace();
    if (!listedPictures(names, options.folders[0], *pictures, leftOut, error))
        return false;
    for (const std::string& line : leftOut)
        writeText(stderr, "tessaly-batch: " + line + "\n");
    return true;
}

// A preset's watermarks, loaded once for the run.
struct Marks {
    wxImage picture, bright;
    std::unique_ptr<TextMark> text;
    bool pictureMark = false, twoTones = false;
};

// Loads the watermarks the settings ask for; false, with why, when one
// cannot be loaded.
bool loadMarks(const BatchOptions& options, const BatchSettings& settings, Marks& marks, std::string& error)
{
    std::string problem;
    const bool textMark = settings.useWatermark && settings.textWatermark;
    marks.pictureMark = settings.useWatermark && !textMark;
    if (textMark && !(marks.text = TextMark::load(settings, shippedFont(), problem))) {
        error = problem;
        return false;
    }
    if (marks.pictureMark && !loadWatermark(settings.waterImgFile, marks.picture, problem)) {
        error = said(_("cannot load the watermark %s: %s"), shownPath(settings.waterImgFile), problem);
        return false;
    }
    marks.twoTones = marks.pictureMark && !settings.brightWatermark.empty();
    if (marks.twoTones && !loadWatermark(settings.brightWatermark, marks.bright, problem)) {
        error = said(_("cannot load the watermark for bright ground %s: %s"), shownPath(settings.brightWatermark), problem);
        return false;
    }
    if (marks.pictureMark && options.opacityGiven && marks.picture.HasAlpha())
        writeText(stderr, "tessaly-batch: " +
                              said(_("--opacity has no effect: %s has a transparency of its own, which is used instead"),
                                   shownPath(settings.waterImgFile)) +
                              "\n");
    return true;
}

// Each preset's results folder: below --output by the preset's name when
// several share it. Several presets cannot write in place, nor into one folder.
bool presetOutputs(BatchOptions& options, std::string& error)
{
    if (options.presets.empty())
        return true;
    std::vector<BatchSettings*> all{&options.settings};
    for (BatchSettings& preset : options.presets)
        all.push_back(&preset);
    for (std::size_t i = 0; i < all.size(); ++i) {
        BatchSettings& settings = *all[i];
        if (!settings.saveToFolder) {
            error = said(_("the preset %s writes in place; with several presets each needs a results folder (or "
                           "--output)"),
                         options.presetNames[i]);
            return false;
        }
        if (options.outputGiven) {
            // "." or ".." below --output would be --output or above it.
            if (!presetNameFits(options.presetNames[i])) {
                error = said(_("the preset %s cannot name a folder below --output"), options.presetNames[i]);
                return false;
            }
            settings.resultsFolder = joinPath(settings.resultsFolder, options.presetNames[i]);
        }
    }
    // One folder, or one inside the other, would give two results one file.
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::size_t k = 0; k < all.size(); ++k) {
            const std::string& one = all[i]->resultsFolder;
            const std::string& other = all[k]->resultsFolder;
            if (i < k && samePlace(one, other)) {
                error = said(_("two presets write into %s"), shownPath(one));
                return false;
            }
            if (i != k && liesWithin(one, other) && !samePlace(one, other)) {
                error = said(_("the results folder %s lies inside %s, another preset's"), shownPath(one),
                             shownPath(other));
                return false;
            }
        }
    return true;
}

ProcessingJob jobFor(const BatchOptions& options, const BatchSettings& settings, const std::string& folder,
                     const std::string& output, const std::optional<std::vector<std::string>>& pictures,
                     const Marks& marks)
{
    ProcessingJob job;
    job.settings = settings;
    job.directory = wxString::FromUTF8(folder);
    job.watermarkImage = marks.pictureMark ? &marks.picture : nullptr;
    job.brightWatermarkImage = marks.twoTones ? &marks.bright : nullptr;
    job.textMark = marks.text.get();
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
    shareOneHeap();
    wxInitializer toolkit;
    if (!toolkit.IsOk()) {
        writeText(stderr, "tessaly-batch: cannot initialise the toolkit\n");
        return exitFailures;
    }
    setUpStandardStreams();
    // The toolkit's own texts stay English: the parser's complaints are
    // reworded from them.
    useLanguage(askedLanguage(argc, argv), programDirectory().utf8_string(), false);
    wxLog::SetActiveTarget(new wxLogStderr);
    wxLog::DisableTimestamp();

    BatchOptions options;
    std::string error, help;
    std::vector<std::string> warnings;
    const CommandLineResult parsed = parseCommandLine(argc, argv, options, error, help, warnings);
    for (const std::string& warning : warnings)
        writeText(stderr, "tessaly-batch: " + warning + "\n");
    switch (parsed) {
    case CommandLineResult::help:
        writeText(stdout, help);
        return 0;
    case CommandLineResult::version:
        writeText(stdout, "tessaly-batch " TESSALY_VERSION "\n");
        return 0;
    case CommandLineResult::usageError:
        return usageError(error);
    case CommandLineResult::listPresets:
        for (const std::string& name : presetNames(presetsFolderIn(userSettingsFolder())))
            writeText(stdout, name + "\n");
        return 0;
    case CommandLineResult::run:
        break;
    }
    if (!options.savePreset.empty()) {
        const std::string folder = presetsFolderIn(userSettingsFolder());
        // A preset is used from anywhere: its results folder in full.
        std::string& results = options.settings.resultsFolder;
        if (!results.empty()) {
            const auto full = std::filesystem::absolute(std::filesystem::u8path(results)).u8string();
            results.assign(full.begin(), full.end());
        }
        if (!writePreset(folder, options.savePreset, options.settings, error)) {
            writeText(stderr, "tessaly-batch: " + shownPath(error) + "\n");
            return exitFailures;
        }
        writeText(stderr, "tessaly-batch: " +
                              said(_("saved the preset %s as %s"), options.savePreset,
                                   shownPath(presetPath(folder, options.savePreset))) +
                              "\n");
        if (options.folders.empty() && options.filesFrom.empty())
            return 0;
    }
    // A list's pictures are one batch below one folder.
    std::optional<std::vector<std::string>> listed;
    if (!options.filesFrom.empty()) {
        if (options.folders.empty())
            options.folders.push_back(".");
        if (noFolderAt(options.folders[0]))
            return usageError(said(_("%s: no such folder"), shownPath(options.folders[0])));
        if (!readListed(options, listed, error))
            return usageError(error);
    }
    // Before any picture is touched: every FOLDER is there, and each has an
    // output folder of its own.
    // One that cannot be read is the batch's to report, as the window does.
    for (const std::string& folder : options.folders)
        if (noFolderAt(folder))
            return usageError(said(_("%s: no such folder"), shownPath(folder)));
    if (!presetOutputs(options, error))
        return usageError(error);
    // For each preset, each folder's output folder.
    std::vector<const BatchSettings*> presets{&options.settings};
    for (const BatchSettings& preset : options.presets)
        presets.push_back(&preset);
    std::vector<std::vector<std::string>> outputs(presets.size());
    for (std::size_t p = 0; p < presets.size(); ++p) {
        if (!outputFoldersFor(options, *presets[p], outputs[p], error))
            return usageError(error);
        // As the window refuses such a results folder: it would be the originals.
        for (std::size_t i = 0; i < outputs[p].size(); ++i)
            if (!outputs[p][i].empty() && samePlace(outputs[p][i], options.folders[i]))
                return usageError(said(_("--output %s is the folder processed, %s: the results would replace the "
                                         "originals"),
                                       shownPath(outputs[p][i]), shownPath(options.folders[i])));
    }

    wxInitAllImageHandlers();
    std::vector<Marks> marks(presets.size());
    for (std::size_t p = 0; p < presets.size(); ++p)
        if (!loadMarks(options, *presets[p], marks[p], error))
            return usageError(error);
    // Without a terminal nobody can answer: refuse rather than wait. A dry
    // run asks nothing.
    if (!options.dryRun && !options.yes && !inputIsTerminal())
        return usageError(said(_("standard input is no terminal, so nobody can confirm; add --yes to go ahead")));

    // Ctrl-C and SIGTERM: at the question, an end at once with nothing
    // touched; during a batch, a stop after the current picture, like STOP.
    TerminalOwner owner({options.quiet, !options.yes && !options.dryRun, options.json, options.dryRun});
    int interruptedBy = 0;
    {
        InterruptWatcher watcher([&owner] { return owner.asking(); }, [&owner] { owner.stop(); });
        for (std::size_t i = 0; i < options.folders.size() && watcher.signal() == 0 && !owner.outputGone(); ++i)
        {
            ProcessingJob job = jobFor(options, options.settings, options.folders[i], outputs[0][i], listed, marks[0]);
            for (std::size_t p = 1; p < presets.size(); ++p)
                // The list is the job's own: its outputs need no copy.
                job.more.push_back(
                    jobFor(options, *presets[p], options.folders[i], outputs[p][i], std::nullopt, marks[p]));
            owner.run(job);
        }
        interruptedBy = watcher.signal();
    }
    // Every question answered no: as other tools end a declined run.
    if (owner.nothingDone()) {
        writeText(stderr, said(_("Nothing done.")) + "\n");
        return exitFailures;
    }
    owner.printTotals(interruptedBy != 0);
    if (interruptedBy != 0)
        return 128 + interruptedBy;
    if (owner.outputGone())
        return exitOutputGone;
    return owner.failures() == 0 ? 0 : exitFailures;
}
