#pragma once

#include <string>
#include <vector>

// A language the program speaks: its catalogs' name and its own name for
// it, as the Preferences' choice lists it.
struct SpokenLanguage {
    const char* code;
    const char* name;
};

// English first: the texts as written, which need no catalog.
const std::vector<SpokenLanguage>& spokenLanguages();

// True for "" (the system's language) and the codes above.
bool speaksLanguage(const std::string& code);

// From now on, texts in `chosen` ("de"), or in the system's language when
// it is empty, from the catalogs beside the program (locale/, as in the
// build and on Windows), in its installed share/locale, or where the system
// keeps them; the toolkit's own texts too with `withToolkit`.
void useLanguage(const std::string& chosen, const std::string& programDir, bool withToolkit);

