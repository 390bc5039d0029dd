#pragma once

#include <string>

// Names of files and folders as the program joins, splits, compares and
// shows them, the same on every system: on Windows "\" separates names as
// "/" does, and "C:/" and "//server/share/" are roots as "/" is.

// Whether the character separates names in a path.
bool isSeparator(char c);

// The name in the folder: "a" and "b" give "a/b", "a/" and "b" too.
std::string joinPath(const std::string& folder, const std::string& name);

// The last name of a path: "b.jpg" for "a/b.jpg", "a/b.jpg/" and "b.jpg".
std::string baseName(const std::string& path);

// The extension of a path's last name with its dot (".jpg"); "" when it has
// none. A name's leading dot starts no extension (".hidden"), nor do the
// dots of "..".
std::string extensionOf(const std::string& path);

// The last name without its extension: "b" for "a/b.jpg".
std::string stemOf(const std::string& path);

// The folder a path lies in: the system's root stays one ("/", "C:/"),
// never the empty name or "C:", which would be another folder.
std::string folderOf(const std::string& path);

// A path listed below folder, relative to it: "b/c.jpg" for "a/" or "a"
// and "a/b/c.jpg", whatever separator ends the folder.
std::string relativePath(const std::string& folder, const std::string& path);

// The path as written with "." and every "name/.." taken out and
// separators made single "/": "x/new/.." is "x", "./a//b/" is "a/b", "/.."
// is "/". A ".." that would rise above the start of a relative path stays.
// Nothing on the disk is looked at.
std::string normalPath(const std::string& path);

// Where a path leads, decided before anything is made there: the path as
// written, absolute and normalised (normalPath), its nearest part that
// exists resolved through its links, the parts that do not exist yet as
// written. "x/new/.." is "x" whether "new" exists or not, as a program that
// makes "new" and then goes up would find.
std::string decidedPath(const std::string& path);

// Whether two paths lead to one place: decidedPath's answers are the same
// (letter case aside where the system ignores it), or both are there and
// are one folder or file by the system's own identity (a case-blind file
// system mounted on Linux, say).
bool samePlace(const std::string& one, const std::string& other);

// Whether inner is outer or lies below it, by decidedPath.
bool liesWithin(const std::string& inner, const std::string& outer);

// The path with every link and "." or ".." resolved, as canonicalPath; the
// path as given when it names nothing that is there.
std::string fullPath(const std::string& path);

// A folder's own name, the last of its full path ("trip" for "./trip/").
std::string folderName(const std::string& folder);

// A path, or a text naming paths, as the system shows them: on Windows
// with "\" throughout, whatever separators the program joined it with.
std::string shownPath(std::string path);
