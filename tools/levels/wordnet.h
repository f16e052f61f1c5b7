// English descriptions from WordNet.
#pragma once
#include "tools/levels/glossary.h"
#include <string>
#include <vector>

// English: a WordNet gloss for each listed word (inflected forms through their base form).
void describeFromWordNet(const std::vector<std::string>& words, Glossary& glossary);
