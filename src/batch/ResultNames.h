#pragma once

#include <map>
#include <string>
#include <vector>

#include "settings/BatchSettings.h"

// The names a batch's results get, relative to the results folder, decided
// for the whole batch before any picture is decoded: by the settings' name
// template when there is a results folder, else the pictures' own (a WebP
// result's ending in .webp). Two results that would get one name, letter
// case aside, are told apart in the batch's order: the later ones get
// " (2)", " (3)" before their extension. Pictures' own names keep theirs,
// since one folder cannot hold two of them.
class ResultNames {
public:
    // For the pictures at paths, in the batch's order, listed from folder;
    // toFolder: the results go to a results folder, where the template
    // applies. A template that does not parse leaves the pictures' names.
    ResultNames(const BatchSettings& settings, const std::string& folder, const std::vector<std::string>& paths,
                bool toFolder);

    // The result's name of a picture of the batch, by its path.
    const std::string& of(const std::string& path) const { return names_.at(path); }

private:
    std::map<std::string, std::string> names_;
};

// The name one picture's result gets as the index-th of a batch (see
// ResultNames), without the others that could share it.
std::string resultNameOf(const BatchSettings& settings, const std::string& folder, const std::string& path,
                         long long index, bool toFolder);
