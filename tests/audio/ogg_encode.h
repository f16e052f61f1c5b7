// Encodes test signals to Ogg Vorbis in memory, so tests decode real streams.
#pragma once

#include <cstdint>
#include <vector>

// interleaved holds frames * channels samples; the stream reports `rate`.
std::vector<uint8_t> encodeOgg(const std::vector<int16_t>& interleaved, int channels,
                               int rate = 44100);

// A sine of the given frequency and amplitude, frames long, on every channel.
std::vector<int16_t> sineWave(int frames, int channels, double hertz, double amplitude);

// Writes bytes to path; false on failure.
bool writeFile(const char* path, const std::vector<uint8_t>& bytes);
