// Feeds arbitrary bytes as a prefs.cfg and as a preset through the readers
// that tessaly-batch -c, --preset and the window use. A file beyond its
// bound is refused whole; a value is taken only as its row allows it, and
// each one refused is named with the file and its line.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "batch/SettingLines.h"
#include "batch/SettingTable.h"
#include "settings/ConfigFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/tmp/settings_fuzzer." + std::to_string(getpid()) + ".cfg";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    for (const SettingsForm form : {SettingsForm::preferences, SettingsForm::preset}) {
        BatchSettings settings;
        std::vector<std::string> faults;
        try {
            faults = takeSettingLines(ConfigFile(path, "=", "#", "EndConfigFile"), "x.cfg", form, settings);
        } catch (const ConfigFile::file_not_found&) {
            continue;
        }
        if (size > ConfigFile::largestFile || !settingFaults(settings).empty())
            std::abort();
        for (const std::string& fault : faults)
            if (fault.rfind("x.cfg, line ", 0) != 0)
                std::abort();
    }
    BatchSettings preset;
    std::vector<std::string> warnings;
    std::string error;
    if (takePreset(path, preset, warnings, error) && !settingFaults(preset).empty())
        std::abort();
    return 0;
}
