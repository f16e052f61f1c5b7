#include "store/folders.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/user_folders.h"
#include "store/files.h"

namespace fs = std::filesystem;

std::string dataPath(const Folders& folders, const char* name) {
    return folders.data + (name ? name : "");
}

std::string savePath(const Folders& folders, const char* name) {
    return folders.save + (name ? name : "");
}

std::string installedDataFolder(const std::string& programFolder) {
    return (fs::path(programFolder) / WG_DATA_FROM_PROGRAM / "").lexically_normal().string();
}

bool chooseGameFolders(const std::string& programFolder, Folders* folders) {
    if (fileExists("data/game.dat") || programFolder.empty()) return true;
    std::string installed = installedDataFolder(programFolder);
    if (!fileExists((installed + "game.dat").c_str())) return true;
    folders->data = installed;
    std::string own = userDataFolder(WG_USER_FOLDER);
    if (own.empty()) {
        std::fprintf(stderr,
                     "Neither XDG_DATA_HOME nor HOME names a folder for the game's progress\n");
        return false;
    }
    std::error_code error;
    fs::create_directories(own, error);
    if (!error && !fs::is_directory(own, error))
        error = std::make_error_code(std::errc::not_a_directory);
    if (error) {
        std::fprintf(stderr, "Cannot use %s for the game's progress: %s\n", own.c_str(),
                     error.message().c_str());
        return false;
    }
    std::string save = (fs::path(own) / "save" / "").string();
    if (save.size() > kMaxSaveFolderBytes) {
        std::fprintf(stderr, "Cannot use %s for the game's progress: its path is too long\n",
                     own.c_str());
        return false;
    }
    folders->save = save;
    return true;
}
