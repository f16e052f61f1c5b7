// Ogg Vorbis encoding of rendered audio at 44100 Hz.
#pragma once

#include <string>
#include <vector>

const int kSampleRate = 44100;

// One vector of samples (-1..1) per channel, all of the same length; one or two channels.
// `quality` is libvorbis' VBR quality (-0.1..1). The stream serial number is fixed so the
// same audio always gives the same file. Returns false when encoding or writing fails.
bool writeOggVorbis(const std::string& path, const std::vector<std::vector<float>>& channels,
                    float quality);
