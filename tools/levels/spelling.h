// How a player reads the words a row types without their marks (Spanish día typed as dia).
#pragma once
#include "tools/levels/languages.h"
#include <map>
#include <set>
#include <string>
#include <vector>

// For each of `words` (in row letters) that the word-list entries `written` or the frequency
// list `common` spell with a folded letter: that spelling. When several spellings fold to one word
// (si and sí), they are shown most used first by the frequency list `common`, joined by " / ",
// leaving out those it does not rank or ranks far lower; the plain word counts as a spelling when
// the list ranks it above every marked one. Words shown as they are typed are left out.
std::map<std::string, std::string> displaySpellings(const Language& language,
                                                    const std::vector<std::string>& written,
                                                    const std::set<std::string>& words,
                                                    const std::vector<std::string>& common);

// The entries of the language's word lists that start with a small letter (a capital starts
// a name), cut at hunspell's '/'.
std::vector<std::string> lowerCaseEntries(const Language& language);

// The level words whose spelling keeps a letter the rows write plainly (ё): each folded word the
// frequency list also writes with the mark, mapped to that spelling, unless only the plain one is
// a dictionary entry. Empty for a language without such letters.
std::map<std::string, std::string> writtenForms(const Language& language,
                                                const std::vector<std::string>& common);
