#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "settings/BatchSettings.h"

// The names a batch's results get, relative to the results folder, decided
// for the whole batch before any picture is decoded: by the settings' name
// template when there is a results folder, else the pictures' own (a WebP
// result's ending in .webp). Two results in a results folder that would get
// one name, as a file system blind to case and to Unicode's spellings of a
// letter sees it (nameKey), are told apart in the batch's order: the later
// ones get " (2)", " (3)" before their extension; so is a result that would
// take the name of an earlier one's folder. In place, results keep their
// pictures' names.
class ResultNames {
public:
    // For the pictures at paths, in the batch's order, listed from folder;
    // toFolder: the results go to a results folder, where the template
    // applies. A template that does not parse leaves the pictures' names.
    ResultNames(const BatchSettings& settings, const std::string& folder, const std::vector<std::string>& paths,
                bool toFolder);

    // The result's name of a picture of the batch, by its path.
    const std::string& of(const std::string& path) const { return names_.at(path); }

    // Whether the picture's result needs a folder where an earlier result
    // of the batch is a file: it cannot be written, in a dry run either.
    bool clashes(const std::string& path) const { return clashing_.count(path) != 0; }

private:
    std::map<std::string, std::string> names_;
    std::set<std::string> clashing_;
};

// The name one picture's result gets as the index-th of a batch (see
// ResultNames), without the others that could share it.
std::string resultNameOf(const BatchSettings& settings, const std::string& folder, const std::string& path,
                         long long index, bool toFolder);
