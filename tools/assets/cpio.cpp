#include "tools/assets/cpio.h"

#include <zlib.h>

#include <cstring>
#include <optional>

#include "store/archive.h"
#include "store/files.h"

namespace {

const char* const kTrailerName = "TRAILER!!!";

void putWord(std::vector<uint8_t>* out, uint32_t value) {
  out->push_back(uint8_t(value & 0xFF));
  out->push_back(uint8_t(value >> 8 & 0xFF));
}

void padToEven(std::vector<uint8_t>* out) {
  if (out->size() % 2) out->push_back(0);
}

void appendMember(std::vector<uint8_t>* out, uint32_t inode, uint32_t mode, const std::string& name,
                  const std::vector<uint8_t>& data) {
  const uint32_t size = uint32_t(data.size());
  putWord(out, 070707);
  putWord(out, 0);      // device
  putWord(out, inode);  // distinct per member, as cpio readers expect
  putWord(out, mode);
  putWord(out, 0);  // uid
  putWord(out, 0);  // gid
  putWord(out, 1);  // links
  putWord(out, 0);  // rdev
  putWord(out, 0);  // modification time, high and low word: zero keeps builds reproducible
  putWord(out, 0);
  putWord(out, uint32_t(name.size() + 1));
  putWord(out, size >> 16);
  putWord(out, size & 0xFFFF);
  out->insert(out->end(), name.begin(), name.end());
  out->push_back(0);
  padToEven(out);
  out->insert(out->end(), data.begin(), data.end());
  padToEven(out);
}

}  // namespace

std::vector<ArchiveMember> parseArchive(const std::vector<uint8_t>& bytes, bool* truncated) {
  std::vector<ArchiveMember> members;
  if (truncated) *truncated = false;
  const char* archive = reinterpret_cast<const char*>(bytes.data());
  size_t offset = 0;
  ArchiveEntry entry;
  for (;;) {
    ArchiveStep step = archiveNext(archive, bytes.size(), &offset, &entry);
    if (step == ArchiveStep::Cut && truncated) *truncated = true;
    if (step != ArchiveStep::Member) break;
    std::string name(entry.name, strnlen(entry.name, entry.nameSize));
    if (name == kTrailerName) break;
    const uint8_t* data = reinterpret_cast<const uint8_t*>(entry.data);
    members.push_back({name, std::vector<uint8_t>(data, data + entry.size)});
  }
  return members;
}

bool buildArchive(const std::vector<ArchiveMember>& members, std::vector<uint8_t>* out) {
  out->clear();
  uint32_t inode = 1;
  for (const ArchiveMember& m : members) {
    if (m.name.size() + 1 > 0xFFFF || m.data.size() > 0xFFFFFFFFull) {
      out->clear();
      return false;
    }
    appendMember(out, inode++, 0100644, m.name, m.data);
  }
  appendMember(out, 0, 0, kTrailerName, {});
  return true;
}

std::vector<uint8_t> unpackDataFile(const std::vector<uint8_t>& bytes) {
  std::optional<std::vector<char>> unpacked =
      unpackData(std::vector<char>(bytes.begin(), bytes.end()));
  if (!unpacked) return {};
  return std::vector<uint8_t>(unpacked->begin(), unpacked->end());
}

std::vector<uint8_t> zlibCompress(const std::vector<uint8_t>& bytes) {
  uLongf size = compressBound(uLong(bytes.size()));
  std::vector<uint8_t> out(size);
  if (compress2(out.data(), &size, bytes.data(), uLong(bytes.size()), Z_BEST_COMPRESSION) != Z_OK)
    return {};
  out.resize(size);
  return out;
}

bool readFileBytes(const std::string& path, std::vector<uint8_t>* out) {
  std::optional<std::vector<char>> bytes = readWholeFile(path.c_str());
  if (!bytes) return false;
  out->assign(bytes->begin(), bytes->end());
  return true;
}

bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  return writeWholeFile(path.c_str(), bytes.data(), bytes.size());
}
