#include "store/files.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/disk_sync.h"
#include "platform/replace_file.h"

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

enum class Inflated { Done, NotAStream, TooLarge };

// The room for the whole of a stream of inputSize bytes whose output so far filled the buffer.
size_t grownSize(const z_stream& stream, size_t inputSize, size_t capacity) {
    size_t done = stream.total_out;
    double ratio =
        stream.total_in ? static_cast<double>(done) / static_cast<double>(stream.total_in) : 2.0;
    auto expected = static_cast<size_t>(ratio * static_cast<double>(inputSize) * 1.1);
    return std::min(std::max(expected, done + done / 4 + 4096), capacity);
}

// Inflates data into out when it is a complete zlib stream of at most kInflatedDataLimit bytes.
Inflated inflateData(const std::vector<char>& data, std::vector<char>* out) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return Inflated::NotAStream;
    // One byte over the limit tells a stream that ends exactly there from one that goes on.
    const size_t capacity = kInflatedDataLimit + 1;
    int status = Z_OK;
    try {
        // Most files are not streams at all (plain archives), which the first call finds out.
        out->resize(std::min(std::max<size_t>(data.size(), 4096), capacity));
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
        stream.avail_in = static_cast<uInt>(data.size());
        while (status == Z_OK && stream.total_out < capacity) {
            // Grow once to what the input read so far promises for all of it (and a little more),
            // not by doubling through buffers that are each written once and dropped: writing
            // fresh pages costs more than the inflating.
            if (stream.total_out == out->size())
                out->resize(grownSize(stream, data.size(), capacity));
            stream.next_out = reinterpret_cast<Bytef*>(out->data() + stream.total_out);
            stream.avail_out = static_cast<uInt>(out->size() - stream.total_out);
            status = inflate(&stream, Z_NO_FLUSH);
        }
    } catch (const std::exception&) {
        status = Z_MEM_ERROR;
    }
    inflateEnd(&stream);
    if (stream.total_out > kInflatedDataLimit) return Inflated::TooLarge;
    // Anything but a stream that ran to its end (a data error, or input that stops short) fails.
    if (status != Z_STREAM_END) return Inflated::NotAStream;
    out->resize(stream.total_out);
    return Inflated::Done;
}

}  // namespace

size_t fileSize(FILE* file) {
    if (!file || std::fseek(file, 0, SEEK_END) != 0) return 0;
    long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    return size > 0 ? static_cast<size_t>(size) : 0;
}

std::optional<std::vector<char>> readWholeFile(const char* path) {
    File file(std::fopen(path, "rb"));
    if (!file) return std::nullopt;
    // A directory opens like a file and reports a nonsense size; only reading tells them apart.
    if (std::fgetc(file.get()) == EOF && std::ferror(file.get())) return std::nullopt;
    size_t size = fileSize(file.get());
    std::vector<char> data;
    try {
        data.resize(size);
    } catch (const std::exception&) {  // bad_alloc, or length_error for an impossible size
        return std::nullopt;
    }
    if (size > 0 && std::fread(data.data(), 1, size, file.get()) != size) return std::nullopt;
    return data;
}

std::optional<std::vector<char>> unpackData(std::vector<char> data) {
    // '[' and '{' differ from '{' only in bit 0x20; a zlib stream never starts with either.
    if (!data.empty() && (data[0] & 0xDF) == 0x5B) return data;
    std::vector<char> inflated;
    switch (inflateData(data, &inflated)) {
    case Inflated::Done: return inflated;
    case Inflated::TooLarge: return std::nullopt;
    case Inflated::NotAStream: break;
    }
    return data;
}

std::optional<std::vector<char>> readDataFile(const char* path) {
    auto data = readWholeFile(path);
    if (!data) return std::nullopt;
    return unpackData(std::move(*data));
}

bool fileExists(const char* path) {
    return File(std::fopen(path, "rb")) != nullptr;
}

bool writeWholeFile(const char* path, const void* data, size_t size) {
    std::string temporary = std::string(path) + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return false;
    // The first failure is the one to report; cleaning up after it may fail differently.
    int failure = 0;
    auto step = [&failure](bool done) {
        if (!done && !failure) failure = errno ? errno : EIO;
    };
    errno = 0;
    step(std::fwrite(data, 1, size, file) == size);
    step(flushFileToDisk(file));
    step(std::fclose(file) == 0);
    if (!failure) step(replaceFile(temporary.c_str(), path));
    if (failure) {
        std::remove(temporary.c_str());
        errno = failure;
        return false;
    }
    // The rename itself lives in the folder, which the disk may not have yet either.
    std::string folder = std::filesystem::path(path).parent_path().string();
    flushFolderToDisk(folder.empty() ? "." : folder.c_str());
    return true;
}

char* joinPath(char (&buffer)[kPathBufferSize], const char* a, const char* b, const char* c,
               const char* d) {
    size_t used = 0;
    for (const char* part : {a, b, c, d}) {
        size_t n = part ? std::strlen(part) : 0;
        if (!part || used + n >= kPathBufferSize) {
            buffer[0] = '\0';
            return buffer;
        }
        std::memcpy(buffer + used, part, n);
        used += n;
    }
    buffer[used] = '\0';
    return buffer;
}
