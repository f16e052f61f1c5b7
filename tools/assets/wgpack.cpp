// wgpack: lists, packs and extracts the game's asset archives (data/images.dat,
// data/sounds.dat, data/music.dat), plain or stored as one zlib stream.
#include "tools/assets/cpio.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int usage() {
  std::fputs(
      "usage: wgpack list ARCHIVE\n"
      "       wgpack pack [-z] ARCHIVE PATH...   (a directory adds the files in it)\n"
      "       wgpack extract ARCHIVE DIR [NAME...]\n"
      "-z stores the archive zlib-compressed.\n",
      stderr);
  return 2;
}

bool loadArchive(const std::string& path, std::vector<ArchiveMember>* members) {
  std::vector<uint8_t> bytes;
  if (!readFileBytes(path, &bytes)) {
    std::fprintf(stderr, "wgpack: cannot read %s\n", path.c_str());
    return false;
  }
  bool truncated = false;
  *members = parseArchive(unpackDataFile(bytes), &truncated);
  if (truncated)
    std::fprintf(stderr, "wgpack: %s is cut short; its last member is left out\n", path.c_str());
  return true;
}

// Extraction writes only plain names into the target directory: no separators, no
// parent references, so an archive cannot place files elsewhere.
bool isPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\\') == std::string::npos;
}

int listArchive(const std::string& path) {
  std::vector<ArchiveMember> members;
  if (!loadArchive(path, &members)) return 1;
  for (const ArchiveMember& m : members) std::printf("%10zu  %s\n", m.data.size(), m.name.c_str());
  return 0;
}

bool addPath(const fs::path& path, std::vector<ArchiveMember>* members) {
  std::error_code ec;
  std::vector<fs::path> files;
  if (fs::is_directory(path, ec)) {
    for (const fs::directory_entry& e : fs::directory_iterator(path, ec))
      if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());  // the same archive on every run
  } else {
    files.push_back(path);
  }
  for (const fs::path& file : files) {
    ArchiveMember m;
    m.name = file.filename().string();
    if (!readFileBytes(file.string(), &m.data)) {
      std::fprintf(stderr, "wgpack: cannot read %s\n", file.string().c_str());
      return false;
    }
    members->push_back(std::move(m));
  }
  return true;
}

int packArchive(const std::string& path, const std::vector<std::string>& inputs, bool compress) {
  std::vector<ArchiveMember> members;
  for (const std::string& input : inputs)
    if (!addPath(input, &members)) return 1;
  for (size_t i = 0; i < members.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (members[i].name == members[j].name) {
        std::fprintf(stderr, "wgpack: two members named %s\n", members[i].name.c_str());
        return 1;
      }
  std::vector<uint8_t> bytes;
  if (!buildArchive(members, &bytes)) {
    std::fputs("wgpack: a name or a file is too large for the archive format\n", stderr);
    return 1;
  }
  if (compress) bytes = zlibCompress(bytes);
  if (!writeFileBytes(path, bytes)) {
    std::fprintf(stderr, "wgpack: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}

int extractArchive(const std::string& path, const std::string& dir,
                   const std::vector<std::string>& names) {
  std::vector<ArchiveMember> members;
  if (!loadArchive(path, &members)) return 1;
  std::error_code ec;
  fs::create_directories(dir, ec);
  int status = 0;
  for (const std::string& wanted : names)
    if (std::none_of(members.begin(), members.end(),
                     [&](const ArchiveMember& m) { return m.name == wanted; })) {
      std::fprintf(stderr, "wgpack: no member %s\n", wanted.c_str());
      status = 1;
    }
  for (const ArchiveMember& m : members) {
    if (!names.empty() && std::find(names.begin(), names.end(), m.name) == names.end()) continue;
    if (!isPlainName(m.name)) {
      std::fprintf(stderr, "wgpack: skipping member with unsafe name %s\n", m.name.c_str());
      status = 1;
      continue;
    }
    if (!writeFileBytes((fs::path(dir) / m.name).string(), m.data)) {
      std::fprintf(stderr, "wgpack: cannot write %s\n", m.name.c_str());
      status = 1;
    }
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() < 2) return usage();
  const std::string command = args[0];
  if (command == "list" && args.size() == 2) return listArchive(args[1]);
  if (command == "pack") {
    const bool compress = args[1] == "-z";
    const size_t first = compress ? 2 : 1;
    if (args.size() < first + 2) return usage();
    return packArchive(args[first], {args.begin() + first + 1, args.end()}, compress);
  }
  if (command == "extract" && args.size() >= 3)
    return extractArchive(args[1], args[2], {args.begin() + 3, args.end()});
  return usage();
}
