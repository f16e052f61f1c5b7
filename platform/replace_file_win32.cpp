#include "platform/replace_file.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

namespace {

// Windows' own form of a UTF-8 path, so that names outside the ANSI code page survive.
std::wstring widePath(const char* path) {
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide.data(), length);
    wide.pop_back();
    return wide;
}

}  // namespace

// rename() refuses to replace an existing file here; the move does, and returns only once the
// file system has the new name on the disk.
bool replaceFile(const char* from, const char* to) {
    std::wstring wideFrom = widePath(from), wideTo = widePath(to);
    if (wideFrom.empty() || wideTo.empty()) return false;
    return MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
