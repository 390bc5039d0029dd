#include "cli/CommandLine.h"

#include <cctype>
#include <cstring>

#include <wx/cmdline.h>
#include <wx/msgout.h>

#include "batch/SettingLines.h"
#include "batch/SettingTable.h"
#include "pixel/MarkPlacement.h"
#include "pixel/ResultSize.h"
#include "platform/CommandLineArguments.h"
#include "platform/PathNames.h"
#include "platform/RegularFile.h"
#include "platform/SettingsFolder.h"
#include "settings/ConfigFile.h"
#include "settings/PresetFile.h"
#include "text/Translated.h"
#include "text/UserLanguage.h"

namespace {

// Never over the originals when the file's owner was told to keep them:
// false, with why, for a results folder that is asked for but not named.
bool namesItsFolder(const BatchSettings& settings, const std::string& file, std::string& error)
{
    if (settings.saveToFolder && settings.resultsFolder.empty()) {
        error = said(_("%s saves results to a folder but names none"), file);
        return false;
    }
    return true;
}

bool endsInCfg(const std::string& name)
{
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".cfg") == 0;
}

// The window's prefs.cfg, each of its values read by its row: one its row
// does not allow refuses the file.
bool readPrefs(const std::string& path, BatchSettings& settings, std::string& error)
{
    settings = BatchSettings{};
    try {
        const std::vector<std::string> faults = takeSettingLines(
            ConfigFile(path, "=", "#", "EndConfigFile"), shownPath(path), SettingsForm::preferences, settings);
        if (!faults.empty()) {
            error = faults.front();
            return false;
        }
    } catch (const ConfigFile::file_not_found& failed) {
        error = failed.why.empty() ? said(_("cannot read the preferences file %s"), shownPath(path))
                                   : said(_("cannot read the preferences file %s: %s"), shownPath(path), failed.why);
        return false;
    }
    return namesItsFolder(settings, said(_("the preferences file %s"), shownPath(path)), error);
}

std::string text(const wxString& value)
{
    return std::string(value.utf8_str());
}

// The option lines' descriptions in one column, past the longest name:
// the toolkit pads the names to its own width, which the value names
// outgrow. The tab between a name and its description goes.
std::string aligned(const std::string& help)
{
    std::vector<std::string> lines;
    std::size_t column = 0;
    for (std::size_t start = 0; start <= help.size();) {
        const std::size_t end = std::min(help.find('\n', start), help.size());
        lines.push_back(help.substr(start, end - start));
        const std::size_t tab = lines.back().find('\t');
        if (tab != std::string::npos)
            column = std::max(column, lines.back().find_last_not_of(' ', tab - 1) + 3);
        start = end + 1;
    }
    std::string out;
    for (std::string& line : lines) {
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos) {
            std::string name = line.substr(0, line.find_last_not_of(' ', tab - 1) + 1);
            name.append(column - name.size(), ' ');
            line = name + '\t' + line.substr(tab + 1);
        }
        out += line + (&line == &lines.back() ? "" : "\n");
    }
    return out;
}

// The help's lines broken between words to fit an 80-column console or
// terminal: an option's description goes on under itself, the usage line
// under its first option.
std::string wrapped(const std::string& help)
{
    constexpr std::size_t width = 79;
    const std::string usage = said(_("Usage: "));
    std::string out;
    std::size_t start = 0;
    while (start < help.size()) {
        std::size_t end = help.find('\n', start);
        if (end == std::string::npos)
            end = help.size();
        std::string line = help.substr(start, end - start);
        std::size_t indent = line.find_first_not_of(' ');
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos) {
            indent = tab;
            line.erase(tab, 1);
        } else if (line.rfind(usage, 0) == 0) {
            indent = line.find(' ', usage.size()) + 1;
        }
        if (indent == std::string::npos || indent > width / 2)
            indent = 0;
        while (line.size() > width) {
            const std::size_t space = line.rfind(' ', width);
            if (space == std::string::npos || space <= indent)
                break;
            out += line.substr(0, space) + "\n";
            line = std::string(indent, ' ') + line.substr(space + 1);
        }
        out += line + (end < help.size() ? "\n" : "");
        start = end + 1;
    }
    return out;
}

// The toolkit's help says "--size=<num>"; people read "--size N" better.
// A setting's value is named by its row.
std::string namedValues(std::string help)
{
    struct Named {
        std::string option, name, value;
    };
    std::vector<Named> values = {{"s", "size", "N"},          {"w", "watermark", "FILE"},  {"p", "position", "POS"},
                                 {"o", "output", "DIR"},      {"c", "prefs", "FILE"},      {"j", "jobs", "N"},
                                 {"", "text", "TEXT"},        {"", "chroma", "420|444"},   {"", "fit", "RULE"},
                                 {"", "files-from", "FILE"},  {"", "preset", "NAME|FILE"}, {"", "save-preset", "NAME"},
                                 {"", "language", "CODE"}};
    for (const SettingRow& row : settingRows())
        if (row.option && row.valueName)
            values.push_back({row.shortOption ? row.shortOption : "", row.option, row.valueName});
    const auto replace = [&help](const std::string& from, const std::string& to) {
        const std::size_t at = help.find(from);
        if (at != std::string::npos)
            help.replace(at, from.size(), to);
    };
    for (const Named& named : values) {
        for (const char* type : {"<num>", "<str>"}) {
            // The usage line names an option by its short form, or its long one without a short.
            const std::string inUsage = named.option.empty() ? "--" + named.name : "-" + named.option;
            replace(inUsage + " " + type, inUsage + " " + named.value);
            replace("--" + named.name + "=" + type, "--" + named.name + " " + named.value);
        }
    }
    return help;
}

// A whole number of digits only; false for anything else.
bool wholeNumber(const wxString& value, long& number)
{
    return !value.empty() && value.find_first_not_of(wxS("0123456789")) == wxString::npos && value.length() <= 9 &&
           value.ToLong(&number);
}

// What the toolkit's parser would print, kept to be said in this
// program's own words.
class ParserComplaints : public wxMessageOutput {
public:
    std::string text;

protected:
    void Output(const wxString& message) override { text += std::string(message.utf8_str()); }
};

// The parser's first complaint as this program words its usage errors.
std::string reworded(const std::string& complaint)
{
    const std::string line = complaint.substr(0, complaint.find('\n'));
    const auto quoted = [&line](std::size_t from) {
        const std::size_t open = line.find('\'', from);
        const std::size_t close = open == std::string::npos ? open : line.find('\'', open + 1);
        return close == std::string::npos ? std::string() : line.substr(open + 1, close - open - 1);
    };
    if (line.rfind("Unknown long option", 0) == 0)
        return said(_("there is no option --%s"), quoted(0));
    if (line.rfind("Unknown option", 0) == 0)
        return said(_("there is no option -%s"), quoted(0));
    if (line.find("requires a value") != std::string::npos) {
        const std::string name = quoted(0);
        return said(_("%s wants a value"), (name.size() == 1 ? "-" : "--") + name);
    }
    if (line.find("required parameter") != std::string::npos)
        return said(_("which FOLDER? Name at least one"));
    if (line.rfind("Unexpected parameter", 0) == 0)
        return said(_("unexpected %s"), quoted(0));
    if (line.empty())
        return said(_("the command line is not understood"));
    std::string said = line;
    said[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(said[0])));
    if (said.back() == '.')
        said.pop_back();
    return said;
}

// The field of the row set from the text as the row reads it; false, with
// error in the command line's words, for a text the row does not allow.
bool takeOption(BatchSettings& settings, const SettingRow& row, const std::string& text, std::string& error)
{
    std::string why;
    bool taken = true;
    forEachSetting(settings, [&](const SettingRow& each, auto& field) {
        if (std::string(each.key) == row.key)
            taken = settingFromText(each, text, field, why);
    });
    if (!taken)
        error = why == allowedText(row) ? said(_("--%s wants %s"), row.option, why)
                                        : said(_("--%s: %s"), row.option, why);
    return taken;
}

// Every option that sets one field alone, by the field's row: a switch
// sets its yes/no (a "no-..." switch to no), a value is read by the row.
bool readRowOptions(const wxCmdLineParser& parser, BatchSettings& settings, std::string& error)
{
    for (const SettingRow& row : settingRows()) {
        // A switch has no value to ask for.
        const bool isSwitch = row.kind == SettingKind::yesNo;
        wxString value;
        if (!row.option || !(isSwitch ? parser.Found(row.option) : parser.Found(row.option, &value)))
            continue;
        std::string given = text(row.kind == SettingKind::choice ? value.Lower() : value);
        if (isSwitch)
            given = std::string(row.option).rfind("no-", 0) == 0 ? "0" : "1";
        if (!takeOption(settings, row, given, error))
            return false;
    }
    return true;
}

// --fit RULE, which --size excludes.
bool readFit(const std::string& value, bool sized, BatchSettings& settings, std::string& error)
{
    SizeRule rule;
    if (sized) {
        error = said(_("--size and --fit exclude each other"));
        return false;
    }
    if (!sizeRuleFromText(value, rule) || rule.width > rowOfKey("Width")->most ||
        rule.height > rowOfKey("Height")->most) {
        error = said(_("--fit wants long:N, short:N, width:N, height:N, WxH, mp:M, cover:WxH or contain:WxH, such as "
                       "long:1600, 1920x1080, mp:2 or cover:1080x1350"));
        return false;
    }
    settings.resize = true;
    settings.fitMode = fitModeName(rule.mode);
    if (rule.mode == FitMode::megapixels) {
        settings.fitMegapixels = rule.megapixels;
    } else {
        settings.width = static_cast<int>(rule.width);
        if (rule.mode == FitMode::frame || rule.mode == FitMode::cover || rule.mode == FitMode::contain)
            settings.height = static_cast<int>(rule.height);
    }
    return true;
}

// A preset named in the presets folder, or given as a file (a path, or a
// name ending in .cfg), taken as the changes it makes to settings.
bool readNamedPreset(const std::string& named, BatchSettings& settings, std::string& path, std::string& error,
                     std::vector<std::string>& warnings)
{
    const bool file = baseName(named) != named || endsInCfg(named);
    path = file ? named : presetPath(presetsFolderIn(userSettingsFolder()), named);
    if (!file && !presetNameFits(named)) {
        error = said(_("there is no preset %s"), named);
        return false;
    }
    if (!takePreset(path, settings, warnings, error)) {
        // A preset that is there but cannot be taken says why.
        if (!file && !isRegularFile(path))
            error = said(_("there is no preset %s (%s); --list-presets lists them"), named, shownPath(path));
        return false;
    }
    return namesItsFolder(settings, said(_("the preset %s"), shownPath(path)), error);
}

// A preset's name for its results' folder: a file's name without .cfg.
std::string presetNameOf(const std::string& named)
{
    const std::string name = baseName(named);
    return endsInCfg(name) ? name.substr(0, name.size() - 4) : name;
}

// The options that set several fields at once, or a field by a rule of
// their own: --size, --fit, --watermark, --text, --position, --chroma and
// --output.
bool readCompoundOptions(const wxCmdLineParser& parser, BatchSettings& settings, BatchOptions& options,
                         std::string& error)
{
    wxString value;
    long number = 0;
    if (parser.Found("s", &value)) {
        if (!wholeNumber(value, number) || number < 1 || number > rowOfKey("Width")->most) {
            error = said(_("--size wants a number of pixels, 1 or more"));
            return false;
        }
        settings.resize = true;
        settings.fitMode = "box";
        settings.width = static_cast<int>(number);
    }
    if (parser.Found("fit", &value) && !readFit(text(value), parser.Found("s"), settings, error))
        return false;
    if (parser.Found("w") && parser.Found("text")) {
        error = said(_("--text and --watermark exclude each other"));
        return false;
    }
    if (parser.Found("w", &value)) {
        settings.useWatermark = true;
        settings.textWatermark = false;
        if (!takeOption(settings, *rowOfKey("WaterImgFile"), text(value), error))
            return false;
    }
    if (parser.Found("text", &value)) {
        settings.useWatermark = true;
        settings.textWatermark = true;
        if (!takeOption(settings, *rowOfKey("WatermarkText"), text(value), error))
            return false;
    }
    if (parser.Found("p", &value)) {
        settings.autoPlacement = value == wxS("auto");
        if (!settings.autoPlacement)
            settings.wmPlacement = placeFromText(text(value));
        if (settings.wmPlacement == 0) {
            error = said(_("--position wants 1..9, a name such as bottom-right, or auto"));
            return false;
        }
    }
    if (parser.Found("chroma", &value)) {
        if (value != wxS("420") && value != wxS("444")) {
            error = said(_("--chroma wants 420 or 444"));
            return false;
        }
        settings.fullChroma = value == wxS("444");
    }
    options.opacityGiven = parser.Found("a");
    // --output wins over the results folder of --prefs or a preset.
    if (parser.Found("o", &value)) {
        options.outputGiven = true;
        settings.saveToFolder = true;
        if (!takeOption(settings, *rowOfKey("ResultsFolder"), text(value), error))
            return false;
    }
    return true;
}

// Options that mean something only beside another: false, with error, for
// one given without it.
bool optionsGoTogether(const wxCmdLineParser& parser, const BatchSettings& settings, std::string& error)
{
    for (const char* option : {"font", "text-colour", "text-size", "no-shadow", "text-opacity"})
        if (parser.Found(option) && !(settings.useWatermark && settings.textWatermark)) {
            error = said(_("--%s goes with --text"), option);
            return false;
        }
    if (parser.Found("auto-places") && !settings.autoPlacement) {
        error = said(_("--auto-places goes with --position auto"));
        return false;
    }
    if (parser.Found("watermark-bright") && (!settings.useWatermark || settings.textWatermark)) {
        error = said(_("--watermark-bright goes with --watermark"));
        return false;
    }
    if (parser.Found("focus") && settings.fitMode != "cover") {
        error = said(_("--focus goes with --fit cover:WxH"));
        return false;
    }
    if (parser.Found("background") && settings.fitMode != "contain") {
        error = said(_("--background goes with --fit contain:WxH"));
        return false;
    }
    if (parser.Found("name") && !settings.saveToFolder) {
        error = said(_("--name goes with --output: in place, pictures keep their names"));
        return false;
    }
    if (settings.outputFormat == "webp" && (parser.Found("progressive") || parser.Found("chroma"))) {
        error = said(_("%s is for JPEG results, not --format webp"),
                     parser.Found("progressive") ? "--progressive" : "--chroma");
        return false;
    }
    if (parser.Found("keep-gps") && !settings.keepExif) {
        error = said(_("--keep-gps goes with --keep-exif"));
        return false;
    }
    return true;
}

// The options that make the settings, over those of a base file (--prefs
// or a --preset) or the terminal's own defaults; false for a usage error.
bool readSettingOptions(const wxCmdLineParser& parser, const std::string& base, BatchSettings& settings,
                        BatchOptions& options, std::string& error, std::vector<std::string>& warnings)
{
    wxString value;
    // Unlike the window, a batch from a terminal goes on past a picture it cannot read.
    settings.skipUnreadable = true;
    if (!readCompoundOptions(parser, settings, options, error) || !readRowOptions(parser, settings, error) ||
        !optionsGoTogether(parser, settings, error))
        return false;
    long number = 0;
    if (parser.Found("j", &value)) {
        if (!wholeNumber(value, number) || number < 1 || number > 256) {
            error = said(_("--jobs wants a number from 1 to 256"));
            return false;
        }
        options.jobs = static_cast<int>(number);
    }
    options.overwrite = parser.Found("f");
    options.skipExisting = parser.Found("skip-existing");
    options.json = parser.Found("json");
    options.dryRun = parser.Found("n");
    options.yes = parser.Found("y");
    options.quiet = parser.Found("q");
    // In place, a JPEG result is its picture; WebP results go beside them
    // and may be there from an earlier run.
    if ((options.overwrite || options.skipExisting) && !settings.saveToFolder && settings.outputFormat != "webp") {
        error = options.overwrite ? said(_("--overwrite goes with --output or --format webp"))
                                  : said(_("--skip-existing goes with --output or --format webp"));
        return false;
    }
    if (settings.keepGps && !settings.keepExif) {
        // The window can save it so: its GPS box keeps its tick while greyed.
        warnings.push_back(said(_("KeepGps = 1 in %s goes with KeepExif = 1, which is not set there: the GPS position "
                                  "is not kept"),
                                shownPath(base)));
        settings.keepGps = false;
    }
    if (options.overwrite && options.skipExisting) {
        error = said(_("--overwrite and --skip-existing exclude each other"));
        return false;
    }
    return true;
}

}  // namespace

namespace {

// A setting's option as its row gives it.
wxCmdLineEntryDesc fromRow(const char* option)
{
    const SettingRow& row = *rowOfOption(option);
    const bool given = row.valueName != nullptr;
    return {given ? wxCMD_LINE_OPTION : wxCMD_LINE_SWITCH, row.shortOption, row.option, row.help,
            given ? wxCMD_LINE_VAL_STRING : wxCMD_LINE_VAL_NONE, 0};
}

}  // namespace

CommandLineResult parseCommandLine(int argc, char** argv, BatchOptions& options, std::string& error,
                                   std::string& helpText, std::vector<std::string>& warnings)
{
    constexpr auto none = wxCMD_LINE_VAL_NONE;
    constexpr auto string = wxCMD_LINE_VAL_STRING;
    // The options that set a field alone come from the settings' table.
    const wxCmdLineEntryDesc entries[] = {
        {wxCMD_LINE_SWITCH, "h", "help", wxTRANSLATE("show this help and exit"), none, wxCMD_LINE_OPTION_HELP},
        {wxCMD_LINE_SWITCH, "V", "version", wxTRANSLATE("show the version and exit"), none, 0},
        {wxCMD_LINE_OPTION, "s", "size",
         wxTRANSLATE("shrink every picture into an N x N box (no resizing without it)"), string, 0},
        {wxCMD_LINE_OPTION, nullptr, "fit",
         wxTRANSLATE("shrink by RULE instead: long:1600 (the long side), short:1080, width:1200, height:900, 1920x1080 (into "
         "a frame), mp:2 (megapixels), cover:1080x1350 (filling the frame, cropped) or contain:1080x1080 (in the "
         "frame, with a border); never enlarged"),
         string, 0},
        fromRow("focus"),
        fromRow("background"),
        fromRow("no-rotate"),
        {wxCMD_LINE_OPTION, "w", "watermark", wxTRANSLATE("blend the picture FILE in as a watermark"), string, 0},
        {wxCMD_LINE_OPTION, nullptr, "text",
         wxTRANSLATE("watermark with a line of TEXT instead: {name}, {date}, {year}, {time}, {camera}, {lens}, {artist} and "
         "{copyright} come from the picture, {artist|Jane Doe} where it has none, {{ and }} are braces"),
         string, 0},
        fromRow("font"),
        fromRow("text-colour"),
        fromRow("text-size"),
        fromRow("no-shadow"),
        fromRow("text-opacity"),
        fromRow("opacity"),
        {wxCMD_LINE_OPTION, "p", "position",
         wxTRANSLATE("watermark position: 1..9 row by row, or top-left, top, top-right, left, centre, right, "
         "bottom-left, bottom, bottom-right (centre), or auto: the calmest of the --auto-places in each picture"),
         string, 0},
        fromRow("auto-places"),
        fromRow("watermark-bright"),
        fromRow("quality"),
        fromRow("format"),
        fromRow("progressive"),
        {wxCMD_LINE_OPTION, nullptr, "chroma",
         wxTRANSLATE("JPEG colour resolution: 420 (halved below quality 90) or 444 (full)"),
         string, 0},
        fromRow("max-file-size"),
        fromRow("sharpen"),
        fromRow("watermark-size"),
        fromRow("margin"),
        fromRow("keep-exif"),
        fromRow("keep-gps"),
        fromRow("srgb"),
        fromRow("skip-processed"),
        fromRow("recursive"),
        {wxCMD_LINE_OPTION, "o", "output",
         wxTRANSLATE("leave the originals and write the results below DIR, by their relative paths"),
         string, 0},
        fromRow("name"),
        {wxCMD_LINE_SWITCH, "f", "overwrite", wxTRANSLATE("with --output or --format webp, replace results already there"), none, 0},
        {wxCMD_LINE_SWITCH, nullptr, "skip-existing",
         wxTRANSLATE("with --output or --format webp, leave results already there and count them as skipped (to resume "
                     "a stopped run)"), none, 0},
        {wxCMD_LINE_OPTION, "c", "prefs",
         wxTRANSLATE("take the settings from a prefs.cfg FILE of the window"), string, 0},
        {wxCMD_LINE_OPTION, nullptr, "preset",
         wxTRANSLATE("take the settings from the preset NAME saved by the window or --save-preset, or from a preset FILE; "
         "the options given win over it. Given more than once, each picture is decoded once and written once "
         "for each preset, into each preset's results folder (below --output by the preset's name)"),
         string, wxCMD_LINE_PARAM_MULTIPLE},
        {wxCMD_LINE_OPTION, nullptr, "save-preset",
         wxTRANSLATE("save the settings the other options make as the preset NAME; without FOLDER, nothing else is done"),
         string, 0},
        {wxCMD_LINE_SWITCH, nullptr, "list-presets", wxTRANSLATE("list the saved presets and exit"), none, 0},
        {wxCMD_LINE_SWITCH, "n", "dry-run",
         wxTRANSLATE("read the pictures' heads only and tell what would happen"), none, 0},
        {wxCMD_LINE_SWITCH, "y", "yes", wxTRANSLATE("do not ask for confirmation"), none, 0},
        {wxCMD_LINE_OPTION, "j", "jobs", wxTRANSLATE("pictures prepared at once (default: one per core)"), string, 0},
        {wxCMD_LINE_SWITCH, "q", "quiet", wxTRANSLATE("report failures only"), none, 0},
        {wxCMD_LINE_OPTION, nullptr, "language",
         wxTRANSLATE("speak CODE: de, en, es, fr or it (default: the system's language)"), string, 0},
        {wxCMD_LINE_SWITCH, nullptr, "json",
         wxTRANSLATE("one JSON object per picture and a summary on standard output"), none, 0},
        {wxCMD_LINE_OPTION, nullptr, "files-from",
         wxTRANSLATE("take the pictures named in FILE (- for standard input), one a line, instead of a folder's; their "
         "results are named from FOLDER, or from the current folder without one"),
         string, 0},
        {wxCMD_LINE_SWITCH, "0", "null",
         wxTRANSLATE("with --files-from, names end with a NUL byte, as find -print0 writes them"),
         none, 0},
        {wxCMD_LINE_PARAM, nullptr, nullptr, "FOLDER", string, wxCMD_LINE_PARAM_MULTIPLE | wxCMD_LINE_PARAM_OPTIONAL},
        {wxCMD_LINE_NONE, nullptr, nullptr, nullptr, none, 0},
    };
    // The names as typed, in whatever script.
    std::vector<std::wstring> arguments;
    for (const std::string& argument : commandLineArguments(argc, argv))
        arguments.push_back(wxString::FromUTF8(argument).ToStdWstring());
    std::vector<wchar_t*> pointers;
    for (std::wstring& argument : arguments)
        pointers.push_back(argument.data());
    wxCmdLineParser parser(entries);
    parser.SetCmdLine(static_cast<int>(pointers.size()), pointers.data());
    parser.SetSwitchChars("-");
    parser.SetLogo(_("tessaly-batch: shrink, turn upright and watermark every JPEG picture of each FOLDER, one "
                     "batch per folder, as Tessaly's window does."));
    // In each system's words: its paths, its signals, its way of going on
    // with a command on the next line.
#ifdef _WIN32
    const std::string below = "DIR\\<" + said(_("the folder's name")) + ">\\";
    const std::string signals = said(_("143 after Ctrl-Break or when the console is closed, and 141 when standard "
                                       "output went away"));
    const std::string example = "^\n    --quality 85 --output C:\\Users\\Robin\\Pictures\\web --recursive --yes ^\n"
                                "    C:\\Users\\Robin\\Pictures\\photos";
#else
    const std::string below = "DIR/<" + said(_("the folder's name")) + ">/";
    const std::string signals =
        said(_("143 after SIGTERM and 141 when standard output went away (a pipe into head, say)"));
    const std::string example = "\\\n    --quality 85 --output web/ --recursive --yes photos/";
#endif
    parser.AddUsageText(wxString::FromUTF8(said(_("\nEvery picture is written as JPEG over its own file (or below --output) once it is "
                               "complete. With several FOLDERs and --output, each folder's results go below %s. Unlike "
                               "the window, a batch goes on past a picture it cannot read; the exit status is 0 when "
                               "every picture was saved, 1 when some failed, 2 for a usage error, 130 after Ctrl-C, "
                               "%s.\n\nExample:\n  tessaly-batch --size 1600 --watermark logo.png --position "
                               "bottom-right %s"),
                             below, signals, example)));
    // The toolkit's own texts stay English here; the usage line's first word is ours.
    std::string usage = text(parser.GetUsageString());
    const std::size_t usageLine = usage.find("\nUsage: ");
    if (usageLine != std::string::npos)
        usage.replace(usageLine + 1, 7, said(_("Usage: ")));
    helpText = wrapped(aligned(namedValues(usage)));
    // The version needs no folder.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-V") == 0)
            return CommandLineResult::version;
    ParserComplaints complaints;
    wxMessageOutput* const previous = wxMessageOutput::Set(&complaints);
    const int parsed = parser.Parse(false);
    wxMessageOutput::Set(previous);
    switch (parsed) {
    case -1:
        return CommandLineResult::help;
    case 0:
        break;
    default:
        error = reworded(complaints.text);
        return CommandLineResult::usageError;
    }

    wxString language;
    if (parser.Found("language", &language) && (language.empty() || !speaksLanguage(text(language)))) {
        error = said(_("--language wants de, en, es, fr or it"));
        return CommandLineResult::usageError;
    }
    if (parser.Found("list-presets"))
        return CommandLineResult::listPresets;
    BatchSettings& settings = options.settings;
    // Without --prefs a batch only rewrites pictures and turns them upright.
    settings.resize = false;
    settings.useWatermark = false;
    wxString value, prefs;
    std::vector<std::string> presets;
    for (const wxCmdLineArg& argument : parser.GetArguments())
        if (argument.GetKind() == wxCMD_LINE_OPTION && argument.GetLongName() == wxS("preset"))
            presets.push_back(text(argument.GetStrVal()));
    if (!presets.empty() && parser.Found("c")) {
        error = said(_("--prefs and --preset exclude each other"));
        return CommandLineResult::usageError;
    }
    if (parser.Found("c", &prefs) && !readPrefs(text(prefs), settings, error))
        return CommandLineResult::usageError;
    std::string base = text(prefs);
    // A preset changes what it names: the rest stays at the terminal's defaults.
    const BatchSettings terminalDefaults = settings;
    for (std::size_t i = 0; i < presets.size(); ++i) {
        BatchSettings preset = terminalDefaults;
        if (!readNamedPreset(presets[i], preset, base, error, warnings))
            return CommandLineResult::usageError;
        if (!readSettingOptions(parser, base, preset, options, error, warnings))
            return CommandLineResult::usageError;
        (i == 0 ? settings : options.presets.emplace_back()) = preset;
        options.presetNames.push_back(presetNameOf(presets[i]));
    }
    if (presets.empty() && !readSettingOptions(parser, base, settings, options, error, warnings))
        return CommandLineResult::usageError;
    if (parser.Found("save-preset", &value)) {
        options.savePreset = text(value);
        if (!presetNameFits(options.savePreset)) {
            error = said(_("--save-preset wants a name that can name a file, such as web or thumbs"));
            return CommandLineResult::usageError;
        }
        if (!options.presets.empty()) {
            error = said(_("--save-preset saves one preset; give at most one --preset with it"));
            return CommandLineResult::usageError;
        }
    }
    for (std::size_t i = 0; i < parser.GetParamCount(); ++i)
        options.folders.push_back(text(parser.GetParam(i)));
    options.nulSeparated = parser.Found("0");
    if (parser.Found("files-from", &value)) {
        options.filesFrom = text(value);
        if (options.folders.size() > 1) {
            error = said(_("--files-from takes one FOLDER at most, the one its results are named from"));
            return CommandLineResult::usageError;
        }
    } else if (options.nulSeparated) {
        error = said(_("--null goes with --files-from"));
        return CommandLineResult::usageError;
    } else if (options.folders.empty() && options.savePreset.empty()) {
        error = said(_("which FOLDER? Name at least one"));
        return CommandLineResult::usageError;
    }
    return CommandLineResult::run;
}

std::string askedLanguage(int argc, char** argv)
{
    const std::string option = "--language", joined = option + "=";
    std::string language;
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == option && i + 1 < argc)
            language = argv[++i];
        else if (std::strncmp(argv[i], joined.c_str(), joined.size()) == 0)
            language = argv[i] + joined.size();
    }
    return language;
}
