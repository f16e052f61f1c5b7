// Whole-stream Ogg Vorbis decoding that is safe on hostile bytes.
#pragma once

#include <vector>

// decodeOggInterleaved's result for a stream with neither one nor two channels.
constexpr int kOggUnsupportedChannels = -2;

// Decodes the whole stream into interleaved 16-bit samples and returns the frame count;
// 0 or less when nothing could be decoded (kOggUnsupportedChannels for a channel count other
// than one or two). *channels and *rate are set once the stream's first header was read.
int decodeOggInterleaved(const unsigned char* data, int length, int* channels, int* rate,
                         std::vector<short>* samples);
