#include "tools/assets/cpio.h"

#include <zlib.h>

#include <cstdio>

namespace {

const char* const kTrailerName = "TRAILER!!!";
const size_t kHeaderSize = 26;

uint16_t readWord(const uint8_t* p, bool bigEndian) {
  return bigEndian ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]);
}

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

bool inflateAll(const std::vector<uint8_t>& in, std::vector<uint8_t>* out) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(in.data());
  z.avail_in = uInt(in.size());
  uint8_t chunk[65536];
  int status = Z_OK;
  while (status == Z_OK) {
    z.next_out = chunk;
    z.avail_out = sizeof chunk;
    // A stream cut short ends in Z_BUF_ERROR once no more progress is possible.
    status = inflate(&z, Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END) break;
    out->insert(out->end(), chunk, chunk + (sizeof chunk - z.avail_out));
  }
  inflateEnd(&z);
  return status == Z_STREAM_END;
}

}  // namespace

std::vector<ArchiveMember> parseArchive(const std::vector<uint8_t>& bytes, bool* truncated) {
  std::vector<ArchiveMember> members;
  if (truncated) *truncated = false;
  size_t offset = 0;
  while (offset + kHeaderSize <= bytes.size()) {
    const uint8_t* header = bytes.data() + offset;
    bool bigEndian;
    if (header[0] == 0xC7 && header[1] == 0x71) {
      bigEndian = false;
    } else if (header[0] == 0x71 && header[1] == 0xC7) {
      bigEndian = true;
    } else {
      break;
    }
    const size_t nameSize = readWord(header + 20, bigEndian);
    const size_t fileSize = size_t(readWord(header + 22, bigEndian)) << 16 | readWord(header + 24, bigEndian);
    const size_t namePad = nameSize + nameSize % 2;
    const size_t dataPad = fileSize + fileSize % 2;
    const size_t dataStart = offset + kHeaderSize + namePad;
    if (dataStart > bytes.size() || fileSize > bytes.size() - dataStart) {
      if (truncated) *truncated = true;
      break;
    }
    const char* nameBytes = reinterpret_cast<const char*>(header + kHeaderSize);
    std::string name(nameBytes, nameSize);
    name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
    if (name == kTrailerName) break;
    members.push_back({name, std::vector<uint8_t>(bytes.begin() + dataStart, bytes.begin() + dataStart + fileSize)});
    offset = dataStart + dataPad;
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
  if (bytes.empty() || (bytes[0] & 0xDF) == 0x5B) return bytes;
  std::vector<uint8_t> inflated;
  if (inflateAll(bytes, &inflated)) return inflated;
  return bytes;
}

std::vector<uint8_t> zlibCompress(const std::vector<uint8_t>& bytes) {
  uLongf size = compressBound(uLong(bytes.size()));
  std::vector<uint8_t> out(size);
  if (compress2(out.data(), &size, bytes.data(), uLong(bytes.size()), Z_BEST_COMPRESSION) != Z_OK) return {};
  out.resize(size);
  return out;
}

bool readFileBytes(const std::string& path, std::vector<uint8_t>* out) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  out->clear();
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out->insert(out->end(), chunk, chunk + n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::string tmp = path + ".tmp";
  FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  if (ok) ok = std::rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(tmp.c_str());
  return ok;
}
