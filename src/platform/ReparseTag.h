#pragma once

// Whether a reparse point with this tag stands for another name, as a
// symbolic link or junction does, and is then never followed below an
// output folder. Other reparse points are the files and folders they seem:
// OneDrive's and other cloud services' placeholders, deduplicated and
// compressed files. Windows marks the first kind with its name-surrogate
// bit (IsReparseTagNameSurrogate).
constexpr bool reparseTagIsLink(unsigned long tag)
{
    return (tag & 0x20000000UL) != 0;
}
