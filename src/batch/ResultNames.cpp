#include "batch/ResultNames.h"

#include <set>

#include "batch/NameTemplate.h"
#include "batch/PicturePlan.h"
#include "pixel/PictureFile.h"
#include "platform/PathNames.h"
#include "text/NameKey.h"

namespace {

// What the template takes from the picture: its tags, and the result's
// size as its plan will make it.
NameFacts factsOf(const NameTemplate& names, const ResolvedSettings& settings, const std::string& path,
                  long long index)
{
    NameFacts facts;
    facts.path = path;
    facts.index = index;
    if (!names.readsPicture())
        return facts;
    const PictureFile file(path);
    const JpegHead& head = file.jpegHead();
    facts.tags = pictureTags(head);
    std::uint32_t width = 0, height = 0;
    if (file.declaredSize(width, height)) {
        PicturePlan shape;
        planShape(shape, width, height, head.exifRead ? head.orientation : 0, settings);
        facts.width = shape.width;
        facts.height = shape.height;
    }
    return facts;
}

// The template when one applies and parses.
bool templated(const BatchSettings& settings, bool toFolder, NameTemplate& names)
{
    std::string error;
    return toFolder && !settings.nameTemplate.empty() && NameTemplate::parse(settings.nameTemplate, names, error);
}

// The path without its extension and its extension: "a/b" and ".webp".
std::string withoutTail(const std::string& name, const std::string& tail)
{
    return name.substr(0, name.size() - tail.size());
}

}  // namespace

ResultNames::ResultNames(const BatchSettings& settings, const std::string& folder,
                         const std::vector<std::string>& paths, bool toFolder)
{
    NameTemplate names;
    const bool byTemplate = templated(settings, toFolder, names);
    const ResolvedSettings resolved = resolveSettings(settings);
    // In place a result keeps its picture's own name; elsewhere two names
    // that one file system takes for one file are told apart.
    const bool made = byTemplate || toFolder || resolved.format == ResultFormat::webp;
    std::set<std::string> taken, folders;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string own = resultName(relativePath(folder, paths[i]), resolved.format);
        const std::string tail = extensionOf(own);
        const NameFacts facts = byTemplate ? factsOf(names, resolved, paths[i], static_cast<long long>(i)) : NameFacts{};
        const auto nameWith = [&](const std::string& suffix) {
            return byTemplate ? names.path(facts, suffix + tail) : withoutTail(own, tail) + suffix + tail;
        };
        std::string name = nameWith("");
        for (int n = 2; made && (folders.count(nameKey(name)) != 0 || !taken.insert(nameKey(name)).second); ++n)
            name = nameWith(" (" + std::to_string(n) + ")");
        names_[paths[i]] = name;
        // A folder of this name where an earlier result is a file.
        for (std::size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1)) {
            const std::string folderKey = nameKey(name.substr(0, slash));
            folders.insert(folderKey);
            if (taken.count(folderKey) != 0)
                clashing_.insert(paths[i]);
        }
    }
}

std::string resultNameOf(const BatchSettings& settings, const std::string& folder, const std::string& path,
                         long long index, bool toFolder)
{
    NameTemplate names;
    const ResolvedSettings resolved = resolveSettings(settings);
    const std::string own = resultName(relativePath(folder, path), resolved.format);
    if (!templated(settings, toFolder, names))
        return own;
    return names.path(factsOf(names, resolved, path, index), extensionOf(own));
}
