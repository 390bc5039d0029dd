#pragma once

#include <string>
#include <vector>

// Where a batch of these pictures (UTF-8 paths) would write, when no
// picture could be written there: the output folder when one is given and
// it cannot be made or written, else the first picture's folder when none
// of the pictures' folders takes a file. Empty when the batch can write;
// reason says why not. One protected subfolder among others is the failure
// of its own pictures only, each told as it comes.
std::string unwritableFolder(const std::vector<std::string>& pictures, const std::string& outputFolder,
                             std::string& reason);
