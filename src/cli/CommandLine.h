#pragma once

#include <string>
#include <vector>

#include "cli/BatchOptions.h"

// Reads tessaly-batch's command line into the options. A --prefs file is
// read first and the options given on the line win over it. Every
// prefs.cfg the window writes is taken: a setting of it that makes no sense
// with the others is dropped, with a warning that names its key.
enum class CommandLineResult { run, help, version, usageError, listPresets };
CommandLineResult parseCommandLine(int argc, char** argv, BatchOptions& options, std::string& error,
                                   std::string& helpText, std::vector<std::string>& warnings);

// The language --language asks for, read before the rest: the help and
// every message are in it. Empty without one (the system's language).
std::string askedLanguage(int argc, char** argv);
