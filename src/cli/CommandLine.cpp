#include "cli/CommandLine.h"

#include <cctype>
#include <cstring>

#include <wx/cmdline.h>
#include <wx/msgout.h>

#include "batch/NameTemplate.h"
#include "batch/SettingRanges.h"
#include "batch/TextMark.h"
#include "diag/FixedNumber.h"
#include "pixel/MarkPlacement.h"
#include "pixel/ResultSize.h"
#include "pixel/Sharpening.h"
#include "platform/CommandLineArguments.h"
#include "platform/PathNames.h"
#include "platform/RegularFile.h"
#include "platform/SettingsFolder.h"
#include "settings/ConfigFile.h"
#include "settings/PreferencesFile.h"
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

// The window's prefs.cfg, read as the window reads it.
bool readPrefs(const std::string& path, BatchSettings& settings, std::string& error)
{
    settings = BatchSettings{};
    std::string workingDir;
    try {
        readPreferences(ConfigFile(path, "=", "#", "EndConfigFile"), settings, workingDir);
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

// The help's lines broken between words to fit an 80-column console or
// terminal: an option's description goes on under itself, the usage line
// under its first option. The toolkit's tab between an option and its
// description goes: the names are padded already.
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
// The names are padded to the toolkit's width, so the columns stay.
std::string namedValues(std::string help)
{
    static const struct {
        const char* option;
        const char* name;
    } values[] = {{"s", "size"},   {"w", "watermark"}, {"a", "opacity"}, {"p", "position"},
                  {"Q", "quality"}, {"o", "output"},   {"c", "prefs"},   {"j", "jobs"},
                  {nullptr, "watermark-size"}, {nullptr, "margin"}, {nullptr, "text"}, {nullptr, "font"},
                  {nullptr, "text-colour"}, {nullptr, "text-size"}, {nullptr, "format"}, {nullptr, "chroma"},
                  {nullptr, "max-file-size"}, {nullptr, "sharpen"}, {nullptr, "auto-places"},
                  {nullptr, "watermark-bright"}, {nullptr, "fit"}, {nullptr, "name"},
                  {nullptr, "files-from"}, {nullptr, "preset"}, {nullptr, "save-preset"}, {nullptr, "language"}};
    static const char* const names[] = {"N", "FILE", "A", "POS", "N", "DIR", "FILE", "N", "P", "P",
                                        "TEXT", "NAME|FILE", "#RRGGBB", "P", "FORMAT", "420|444", "SIZE", "LEVEL",
                                        "LIST", "FILE", "RULE", "TEMPLATE", "FILE", "NAME|FILE", "NAME", "CODE"};
    const auto replace = [&help](const std::string& from, std::string to, bool pad) {
        const std::size_t at = help.find(from);
        if (at == std::string::npos)
            return;
        if (pad && to.size() < from.size())
            to.append(from.size() - to.size(), ' ');
        help.replace(at, from.size(), to);
    };
    for (std::size_t i = 0; i < sizeof values / sizeof values[0]; ++i) {
        for (const char* type : {"<num>", "<str>"}) {
            // The usage line names an option by its short form, or its long one without a short.
            const std::string inUsage = values[i].option ? "-" + std::string(values[i].option)
                                                         : "--" + std::string(values[i].name);
            replace(inUsage + " " + type, inUsage + " " + names[i], false);
            replace("--" + std::string(values[i].name) + "=" + type, "--" + std::string(values[i].name) + " " + names[i],
                    true);
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

// "500K", "500KB", "2M", "2MB" or "500" (K) in KB of 1000 bytes; 0 for
// anything else.
long kilobytesOf(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (text.size() > 1 && text.back() == 'B')
        text.pop_back();
    long factor = 1;
    if (!text.empty() && (text.back() == 'K' || text.back() == 'M')) {
        factor = text.back() == 'M' ? 1000 : 1;
        text.pop_back();
    }
    long number = 0;
    if (!wholeNumber(wxString::FromUTF8(text), number) || number > 1000000)
        return 0;
    return number * factor;
}

// How results are written: --format, --progressive, --chroma,
// --max-file-size and --sharpen.
bool readOutputOptions(const wxCmdLineParser& parser, BatchSettings& settings, std::string& error)
{
    wxString value;
    if (parser.Found("format", &value)) {
        settings.outputFormat = text(value.Lower());
        if (settings.outputFormat != "jpeg" && settings.outputFormat != "webp") {
            error = said(_("--format wants jpeg or webp"));
            return false;
        }
    }
    if (parser.Found("progressive"))
        settings.progressive = true;
    if (parser.Found("chroma", &value)) {
        if (value != wxS("420") && value != wxS("444")) {
            error = said(_("--chroma wants 420 or 444"));
            return false;
        }
        settings.fullChroma = value == wxS("444");
    }
    if (settings.outputFormat == "webp" && (parser.Found("progressive") || parser.Found("chroma"))) {
        error = said(_("%s is for JPEG results, not --format webp"),
                     parser.Found("progressive") ? "--progressive" : "--chroma");
        return false;
    }
    if (parser.Found("max-file-size", &value)) {
        constexpr long smallest = 8;
        const long kilobytes = kilobytesOf(text(value));
        if (kilobytes < smallest) {
            error = said(_("--max-file-size wants a size of %ldK or more, such as 500K or 2M (K is 1000 bytes)"),
                         smallest);
            return false;
        }
        // As far as a preset or settings file may hold it.
        constexpr long largest = 1000000;
        if (kilobytes > largest) {
            error = said(_("--max-file-size wants a size of %ldM at most"), largest / 1000);
            return false;
        }
        settings.maxFileSize = static_cast<int>(kilobytes);
    }
    Sharpening level;
    if (parser.Found("sharpen", &value)) {
        if (!sharpeningFromName(text(value), level)) {
            error = said(_("--sharpen wants off, low, standard or high"));
            return false;
        }
        settings.sharpening = text(value);
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
    if (!sizeRuleFromText(value, rule)) {
        error = said(_("--fit wants long:N, short:N, width:N, height:N, WxH or mp:M, such as long:1600, 1920x1080 or mp:2"));
        return false;
    }
    settings.resize = true;
    settings.fitMode = fitModeName(rule.mode);
    if (rule.mode == FitMode::megapixels) {
        settings.fitMegapixels = rule.megapixels;
    } else {
        settings.width = static_cast<int>(rule.width);
        if (rule.mode == FitMode::frame)
            settings.height = static_cast<int>(rule.height);
    }
    return true;
}

// A preset named in the presets folder, or given as a file (a path, or a
// name ending in .cfg), its faults said as warnings and put right.
bool readNamedPreset(const std::string& named, BatchSettings& settings, std::string& path, std::string& error,
                     std::vector<std::string>& warnings)
{
    const bool file = baseName(named) != named || endsInCfg(named);
    path = file ? named : presetPath(presetsFolderIn(userSettingsFolder()), named);
    if (!file && !presetNameFits(named)) {
        error = said(_("there is no preset %s"), named);
        return false;
    }
    if (!readPreset(path, settings, warnings, error)) {
        // A preset that is there but cannot be taken says why.
        if (!file && !isRegularFile(path))
            error = said(_("there is no preset %s (%s); --list-presets lists them"), named, shownPath(path));
        return false;
    }
    for (const std::string& bad : keepInRange(settings))
        warnings.push_back(said(_("%s: %s is out of range; its default is taken"), shownPath(path), bad));
    return namesItsFolder(settings, said(_("the preset %s"), shownPath(path)), error);
}

// A preset's name for its results' folder: a file's name without .cfg.
std::string presetNameOf(const std::string& named)
{
    const std::string name = baseName(named);
    return endsInCfg(name) ? name.substr(0, name.size() - 4) : name;
}

// The options that make the settings, over those of a base file (--prefs
// or a --preset) or the terminal's own defaults; false for a usage error.
bool readSettingOptions(const wxCmdLineParser& parser, const std::string& base, BatchSettings& settings,
                        BatchOptions& options, std::string& error, std::vector<std::string>& warnings)
{
    wxString value;
    // Unlike the window, a batch from a terminal goes on past a picture it cannot read.
    settings.skipUnreadable = true;
    long number = 0;
    if (parser.Found("s", &value)) {
        if (!wholeNumber(value, number) || number < 1 || number > 1000000) {
            error = said(_("--size wants a number of pixels, 1 or more"));
            return false;
        }
        settings.resize = true;
        settings.fitMode = "box";
        settings.width = static_cast<int>(number);
    }
    if (parser.Found("fit", &value) && !readFit(text(value), parser.Found("s"), settings, error))
        return false;
    if (parser.Found("no-rotate"))
        settings.rotate = false;
    if (parser.Found("w", &value) && parser.Found("text")) {
        error = said(_("--text and --watermark exclude each other"));
        return false;
    }
    if (parser.Found("w", &value)) {
        settings.useWatermark = true;
        settings.textWatermark = false;
        settings.waterImgFile = text(value);
    }
    if (parser.Found("text", &value)) {
        settings.useWatermark = true;
        settings.textWatermark = true;
        settings.watermarkText = text(value);
    }
    if (parser.Found("font", &value))
        settings.textFont = text(value);
    unsigned char rgb[3];
    if (parser.Found("text-colour", &value)) {
        if (value != wxS("auto") && !colourFromText(text(value), rgb)) {
            error = said(_("--text-colour wants a colour as #RRGGBB, such as #FFFFFF for white, or auto"));
            return false;
        }
        settings.textColour = text(value);
    }
    if (parser.Found("text-size", &value)) {
        double size = 0;
        if (!value.ToCDouble(&size) || !(size > 0 && size <= 100)) {
            error = said(_("--text-size wants a percentage above 0, at most 100"));
            return false;
        }
        settings.textSize = size;
    }
    if (parser.Found("no-shadow"))
        settings.textShadow = false;
    for (const char* option : {"font", "text-colour", "text-size", "no-shadow"})
        if (parser.Found(option) && !(settings.useWatermark && settings.textWatermark)) {
            error = said(_("--%s goes with --text"), option);
            return false;
        }
    if (parser.Found("a", &value)) {
        double opacity = 0;
        // "." whatever the locale says.
        if (!value.ToCDouble(&opacity) || opacity < 0 || opacity > 1) {
            error = said(_("--opacity wants a number from 0.0 to 1.0"));
            return false;
        }
        settings.alpha = opacity;
        options.opacityGiven = true;
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
    std::vector<int> places;
    if (parser.Found("auto-places", &value)) {
        if (!settings.autoPlacement) {
            error = said(_("--auto-places goes with --position auto"));
            return false;
        }
        if (!placesFromList(text(value), places)) {
            error = said(_("--auto-places wants places such as top-left,bottom-right, separated by commas"));
            return false;
        }
        settings.autoPlaces = text(value);
    }
    if (parser.Found("watermark-bright", &value)) {
        if (!settings.useWatermark || settings.textWatermark) {
            error = said(_("--watermark-bright goes with --watermark"));
            return false;
        }
        settings.brightWatermark = text(value);
    }
    if (parser.Found("Q", &value)) {
        if (!wholeNumber(value, number) || number > 100) {
            error = said(_("--quality wants a number from 0 to 100"));
            return false;
        }
        settings.quality = static_cast<int>(number);
    }
    static const struct {
        const char* name;
        double most;
        double BatchSettings::*field;
    } percents[] = {{"watermark-size", 100, &BatchSettings::watermarkSize},
                    {"margin", 49, &BatchSettings::watermarkMargin}};
    for (const auto& percent : percents) {
        if (!parser.Found(percent.name, &value))
            continue;
        double number = 0;
        if (!value.ToCDouble(&number) || !(number >= 0 && number <= percent.most)) {
            error = said(_("--%s wants a percentage from 0 to %s"), percent.name, formatFixed(percent.most, 0));
            return false;
        }
        settings.*percent.field = number;
    }
    if (!readOutputOptions(parser, settings, error))
        return false;
    if (parser.Found("j", &value)) {
        if (!wholeNumber(value, number) || number < 1 || number > 256) {
            error = said(_("--jobs wants a number from 1 to 256"));
            return false;
        }
        options.jobs = static_cast<int>(number);
    }
    settings.includeSubdirectories = settings.includeSubdirectories || parser.Found("r");
    // --output wins over the results folder of --prefs or a preset.
    if (parser.Found("o", &value)) {
        options.outputGiven = true;
        settings.saveToFolder = true;
        settings.resultsFolder = text(value);
    }
    if (parser.Found("name", &value)) {
        NameTemplate names;
        if (!settings.saveToFolder) {
            error = said(_("--name goes with --output: in place, pictures keep their names"));
            return false;
        }
        if (!NameTemplate::parse(text(value), names, error)) {
            error = "--name: " + error;
            return false;
        }
        settings.nameTemplate = text(value);
    }
    options.overwrite = parser.Found("f");
    options.skipExisting = parser.Found("skip-existing");
    options.json = parser.Found("json");
    settings.keepExif = settings.keepExif || parser.Found("keep-exif");
    settings.keepGps = settings.keepGps || parser.Found("keep-gps");
    settings.convertToSrgb = settings.convertToSrgb || parser.Found("srgb");
    settings.skipProcessed = settings.skipProcessed || parser.Found("skip-processed");
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
        if (parser.Found("keep-gps")) {
            error = said(_("--keep-gps goes with --keep-exif"));
            return false;
        }
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

CommandLineResult parseCommandLine(int argc, char** argv, BatchOptions& options, std::string& error,
                                   std::string& helpText, std::vector<std::string>& warnings)
{
    constexpr auto none = wxCMD_LINE_VAL_NONE;
    constexpr auto string = wxCMD_LINE_VAL_STRING;
    static const wxCmdLineEntryDesc entries[] = {
        {wxCMD_LINE_SWITCH, "h", "help", wxTRANSLATE("show this help and exit"), none, wxCMD_LINE_OPTION_HELP},
        {wxCMD_LINE_SWITCH, "V", "version", wxTRANSLATE("show the version and exit"), none, 0},
        {wxCMD_LINE_OPTION, "s", "size",
         wxTRANSLATE("shrink every picture into an N x N box (no resizing without it)"), string, 0},
        {wxCMD_LINE_OPTION, nullptr, "fit",
         wxTRANSLATE("shrink by RULE instead: long:1600 (the long side), short:1080, width:1200, height:900, 1920x1080 (into "
         "a frame) or mp:2 (megapixels); never enlarged"),
         string, 0},
        {wxCMD_LINE_SWITCH, nullptr, "no-rotate",
         wxTRANSLATE("do not turn pictures upright by their EXIF orientation"), none, 0},
        {wxCMD_LINE_OPTION, "w", "watermark", wxTRANSLATE("blend the picture FILE in as a watermark"), string, 0},
        {wxCMD_LINE_OPTION, nullptr, "text",
         wxTRANSLATE("watermark with a line of TEXT instead: {name}, {date}, {year}, {time}, {camera}, {lens}, {artist} and "
         "{copyright} come from the picture, {artist|Jane Doe} where it has none, {{ and }} are braces"),
         string, 0},
        {wxCMD_LINE_OPTION, nullptr, "font",
         wxTRANSLATE("the text's font: an installed family or a font file (DejaVu Sans)"),
         string, 0},
        {wxCMD_LINE_OPTION, nullptr, "text-colour",
         wxTRANSLATE("the text's colour (#FFFFFF), or auto: light or dark, whichever stands out from the ground"), string, 0},
        {wxCMD_LINE_OPTION, nullptr, "text-size",
         // xgettext:no-c-format
         wxTRANSLATE("the text's letter height in % of the picture's longer side (4)"),
         string, 0},
        {wxCMD_LINE_SWITCH, nullptr, "no-shadow",
         wxTRANSLATE("draw the text without the shadow that keeps it readable"), none, 0},
        {wxCMD_LINE_OPTION, "a", "opacity",
         wxTRANSLATE("opacity 0.0..1.0 of a watermark without its own alpha (0.2)"), string, 0},
        {wxCMD_LINE_OPTION, "p", "position",
         wxTRANSLATE("watermark position: 1..9 row by row, or top-left, top, top-right, left, centre, right, "
         "bottom-left, bottom, bottom-right (centre), or auto: the calmest of the --auto-places in each picture"),
         string, 0},
        {wxCMD_LINE_OPTION, nullptr, "auto-places",
         wxTRANSLATE("with --position auto, the places allowed, comma-separated (top-left,top-right,bottom-left,bottom-right)"),
         string, 0},
        {wxCMD_LINE_OPTION, nullptr, "watermark-bright",
         wxTRANSLATE("a second watermark FILE (a dark version) used where the ground under the mark is bright"), string, 0},
        {wxCMD_LINE_OPTION, "Q", "quality", wxTRANSLATE("JPEG quality 0..100 (82)"), string, 0},
        {wxCMD_LINE_OPTION, nullptr, "format",
         wxTRANSLATE("write results as jpeg or webp (jpeg); WebP results go beside "
         "the pictures or below --output, never over them"), string, 0},
        {wxCMD_LINE_SWITCH, nullptr, "progressive",
         wxTRANSLATE("write progressive JPEG, shown coarse first while it loads"), none, 0},
        {wxCMD_LINE_OPTION, nullptr, "chroma",
         wxTRANSLATE("JPEG colour resolution: 420 (halved below quality 90) or 444 (full)"),
         string, 0},
        {wxCMD_LINE_OPTION, nullptr, "max-file-size",
         wxTRANSLATE("at most SIZE a result (500K, 2M; K is 1000 bytes): the largest quality up to --quality that fits"), string,
         0},
        {wxCMD_LINE_OPTION, nullptr, "sharpen",
         wxTRANSLATE("sharpen after the shrink: off, low, standard or high (off)"), string, 0},
        {wxCMD_LINE_OPTION, nullptr, "watermark-size",
         // xgettext:no-c-format
         wxTRANSLATE("scale the watermark so that its longer side is P % of the picture's longer side"), string, 0},
        {wxCMD_LINE_OPTION, nullptr, "margin",
         // xgettext:no-c-format
         wxTRANSLATE("keep the watermark P % of the picture's longer side off the edges it touches"), string, 0},
        {wxCMD_LINE_SWITCH, nullptr, "keep-exif",
         wxTRANSLATE("keep the EXIF data (date, camera, copyright), without thumbnail and GPS position"), none, 0},
        {wxCMD_LINE_SWITCH, nullptr, "keep-gps", wxTRANSLATE("with --keep-exif, keep the GPS position too"), none, 0},
        {wxCMD_LINE_SWITCH, nullptr, "srgb", wxTRANSLATE("convert pictures with a colour profile into sRGB"), none, 0},
        {wxCMD_LINE_SWITCH, nullptr, "skip-processed",
         wxTRANSLATE("leave pictures this program already wrote with the same settings, as skipped"), none, 0},
        {wxCMD_LINE_SWITCH, "r", "recursive", wxTRANSLATE("include all subfolders, hidden ones too"), none, 0},
        {wxCMD_LINE_OPTION, "o", "output",
         wxTRANSLATE("leave the originals and write the results below DIR, by their relative paths"),
         string, 0},
        {wxCMD_LINE_OPTION, nullptr, "name",
         wxTRANSLATE("with --output, name the results by TEMPLATE, such as {date}_{name} or {year}/{camera}/{name}-{counter:3}: "
         "the --text tokens, {counter[:digits[,start]]}, {folder}, {width} and {height}; only a / of TEMPLATE makes "
         "a folder, and results that would share a name get \" (2)\""),
         string, 0},
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
    helpText = wrapped(namedValues(usage));
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
    for (std::size_t i = 0; i < presets.size(); ++i) {
        BatchSettings preset;
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
