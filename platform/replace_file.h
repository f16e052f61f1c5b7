// Renaming a finished file over the one it replaces, as one step of the file system.
#pragma once

// Moves the file at from (UTF-8) to to, replacing a file there; false when it could not.
bool replaceFile(const char* from, const char* to);
