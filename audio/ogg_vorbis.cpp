// The Ogg Vorbis decoder, compiled here from the library's single header rather than taken
// from the shared library, for two reasons that only matter with hostile files:
// - every block it allocates goes through a per-thread ledger, because a stream that fails
//   half-way through its headers leaves blocks behind; the ledger frees them;
// - the comment header is checked before the decoder sees it, because the decoder trusts its
//   length fields (a huge count makes it dereference a null list, a length of -1 makes it
//   write before its block).
#include "audio/ogg_vorbis.h"

#ifdef _WIN32
#include <malloc.h>  // alloca
#else
#include <alloca.h>
#endif
#include <assert.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

namespace {

struct alignas(16) Block {
    Block* prev;
    Block* next;
    size_t size;
};

thread_local Block ledger = {&ledger, &ledger, 0};
thread_local size_t ledgerBytes = 0;

// The decoder's tables take about 200 KB for the streams encoders write; a hostile header
// can ask for gigabytes and minutes of table building, so beyond this the stream is refused.
constexpr size_t kDecoderMemoryLimit = size_t{32} << 20;

void* vorbisAlloc(size_t size) {
    if (size > kDecoderMemoryLimit - ledgerBytes) return nullptr;
    Block* block = static_cast<Block*>(malloc(sizeof(Block) + size));
    if (!block) return nullptr;
    block->size = size;
    ledgerBytes += size;
    block->prev = &ledger;
    block->next = ledger.next;
    ledger.next->prev = block;
    ledger.next = block;
    return block + 1;
}

void vorbisFree(void* data) {
    if (!data) return;
    Block* block = static_cast<Block*>(data) - 1;
    block->prev->next = block->next;
    block->next->prev = block->prev;
    ledgerBytes -= block->size;
    free(block);
}

// Only the decoder's whole-file helper grows blocks, and this program does not call it.
void* vorbisRealloc(void*, size_t) {
    return nullptr;
}

void freeLeftovers() {
    while (ledger.next != &ledger) vorbisFree(ledger.next + 1);
}

}  // namespace

#define malloc(size) vorbisAlloc(size)
#define free(block) vorbisFree(block)
#define realloc(block, size) vorbisRealloc(block, size)
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
// Renamed, so that neither this program's other code nor the shared library (whose functions
// call each other) can bind to this build's functions, or this build to theirs.
#define stb_vorbis_close wg_stb_vorbis_close
#define stb_vorbis_decode_filename wg_stb_vorbis_decode_filename
#define stb_vorbis_decode_frame_pushdata wg_stb_vorbis_decode_frame_pushdata
#define stb_vorbis_decode_memory wg_stb_vorbis_decode_memory
#define stb_vorbis_flush_pushdata wg_stb_vorbis_flush_pushdata
#define stb_vorbis_get_comment wg_stb_vorbis_get_comment
#define stb_vorbis_get_error wg_stb_vorbis_get_error
#define stb_vorbis_get_file_offset wg_stb_vorbis_get_file_offset
#define stb_vorbis_get_frame_float wg_stb_vorbis_get_frame_float
#define stb_vorbis_get_frame_short wg_stb_vorbis_get_frame_short
#define stb_vorbis_get_frame_short_interleaved wg_stb_vorbis_get_frame_short_interleaved
#define stb_vorbis_get_info wg_stb_vorbis_get_info
#define stb_vorbis_get_sample_offset wg_stb_vorbis_get_sample_offset
#define stb_vorbis_get_samples_float wg_stb_vorbis_get_samples_float
#define stb_vorbis_get_samples_float_interleaved wg_stb_vorbis_get_samples_float_interleaved
#define stb_vorbis_get_samples_short wg_stb_vorbis_get_samples_short
#define stb_vorbis_get_samples_short_interleaved wg_stb_vorbis_get_samples_short_interleaved
#define stb_vorbis_open_file wg_stb_vorbis_open_file
#define stb_vorbis_open_file_section wg_stb_vorbis_open_file_section
#define stb_vorbis_open_filename wg_stb_vorbis_open_filename
#define stb_vorbis_open_memory wg_stb_vorbis_open_memory
#define stb_vorbis_open_pushdata wg_stb_vorbis_open_pushdata
#define stb_vorbis_seek wg_stb_vorbis_seek
#define stb_vorbis_seek_frame wg_stb_vorbis_seek_frame
#define stb_vorbis_seek_start wg_stb_vorbis_seek_start
#define stb_vorbis_stream_length_in_samples wg_stb_vorbis_stream_length_in_samples
#define stb_vorbis_stream_length_in_seconds wg_stb_vorbis_stream_length_in_seconds
// The fast float-to-16-bit trick relies on signed overflow; the plain conversion does not.
#define STB_VORBIS_NO_FAST_SCALED_FLOAT
#pragma GCC diagnostic push
#if defined(__clang__)
// Hostile codebooks make the decoder convert infinities to int; on x86 that yields INT_MIN,
// which the decoder then rejects, so the sanitizer's check is switched off for its code alone.
#pragma clang attribute push(__attribute__((no_sanitize("float-cast-overflow"))), \
                             apply_to = function)
#else
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-value"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmisleading-indentation"
#include <stb/stb_vorbis.h>
#if defined(__clang__)
#pragma clang attribute pop
#endif
#pragma GCC diagnostic pop
#undef malloc
#undef free
#undef realloc

namespace {

// Reassembles the packet that starts with the second page of the stream (the comment header);
// false when the pages are cut short or malformed.
bool secondPacket(const unsigned char* data, size_t length, std::vector<unsigned char>* packet) {
    size_t offset = 0;
    for (int page = 0;; ++page) {
        if (length - offset < 27 || memcmp(data + offset, "OggS", 4) != 0) return false;
        size_t segments = data[offset + 26];
        if (length - offset - 27 < segments) return false;
        const unsigned char* lacing = data + offset + 27;
        size_t body = offset + 27 + segments;
        size_t bodyBytes = 0;
        for (size_t i = 0; i < segments; ++i) bodyBytes += lacing[i];
        if (length - body < bodyBytes) return false;
        if (page >= 1) {
            for (size_t i = 0; i < segments; ++i) {
                packet->insert(packet->end(), data + body, data + body + lacing[i]);
                body += lacing[i];
                if (lacing[i] < 255) return true;
            }
        }
        offset = offset + 27 + segments + bodyBytes;
    }
}

uint32_t read32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The comment header's vendor text and comments must lie inside the packet.
bool commentHeaderIsSound(const unsigned char* data, size_t length) {
    std::vector<unsigned char> packet;
    if (!secondPacket(data, length, &packet)) return false;
    size_t size = packet.size();
    if (size < 11 || packet[0] != 3 || memcmp(packet.data() + 1, "vorbis", 6) != 0) return false;
    size_t at = 7;
    uint32_t vendor = read32(&packet[at]);
    at += 4;
    if (vendor > size - at || size - at - vendor < 4) return false;
    at += vendor;
    uint32_t count = read32(&packet[at]);
    at += 4;
    for (uint32_t i = 0; i < count; ++i) {
        if (size - at < 4) return false;
        uint32_t comment = read32(&packet[at]);
        at += 4;
        if (comment > size - at) return false;
        at += comment;
    }
    return at < size;  // the framing byte follows
}

}  // namespace

struct OggDecoder {
    stb_vorbis* stream;
    int channels;
};

OggDecoder* openOggDecoder(const unsigned char* data, int length, int* channels, int* rate,
                           int* declaredFrames) {
    if (!data || length <= 0 || !commentHeaderIsSound(data, static_cast<size_t>(length)))
        return nullptr;
    int error = 0;
    stb_vorbis* stream = stb_vorbis_open_memory(data, length, &error, nullptr);
    if (!stream) {
        freeLeftovers();
        return nullptr;
    }
    stb_vorbis_info info = stb_vorbis_get_info(stream);
    *channels = info.channels;
    *rate = static_cast<int>(info.sample_rate);
    unsigned claimed = stb_vorbis_stream_length_in_samples(stream);
    *declaredFrames = claimed <= static_cast<unsigned>(INT32_MAX) ? static_cast<int>(claimed) : 0;
    return new OggDecoder{stream, info.channels};
}

int decodeOggFrames(OggDecoder* decoder, short* const* channels, int maxFrames) {
    if (!decoder || maxFrames <= 0) return 0;
    return stb_vorbis_get_samples_short(decoder->stream, decoder->channels,
                                        const_cast<short**>(channels), maxFrames);
}

void closeOggDecoder(OggDecoder* decoder) {
    if (!decoder) return;
    stb_vorbis_close(decoder->stream);
    delete decoder;
    freeLeftovers();
}
