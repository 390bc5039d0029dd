#pragma once

#include <string>

#include "jpeg/PictureTags.h"
#include "text/TokenText.h"

// What a result's name is made of: the picture's path and tags, its place
// in the batch (from 0) and the result's size.
struct NameFacts {
    std::string path;
    PictureTags tags;
    long long index = 0;
    long long width = 0, height = 0;
};

// The user's template for results' names, "{date}_{name}" or
// "{year}/{camera}/{name}-{counter:3}": the text mark's tokens, and
// {counter[:digits[,start]]}, {folder}, {width} and {height}. Only a "/"
// written in the template makes a folder; every value is made safe for a
// name (see nameValue), and so is every folder and file name.
class NameTemplate {
public:
    // False, with error naming the fault, for a template that names no
    // file or has a token it does not know.
    static bool parse(const std::string& text, NameTemplate& parsed, std::string& error);

    // Whether a name needs more than the path and the place: the picture's
    // tags or its size.
    bool readsPicture() const { return readsPicture_; }

    // The result's path below the results folder, "/" between folders,
    // with tail after the file's name (" (2).jpg", say).
    std::string path(const NameFacts& facts, const std::string& tail) const;

private:
    TokenText text_;
    bool readsPicture_ = false;
};
