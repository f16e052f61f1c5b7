#include "tools/assets/ogg_writer.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>

namespace {

bool writePages(ogg_stream_state* stream, FILE* out, bool flush) {
  ogg_page page;
  while (flush ? ogg_stream_flush(stream, &page) : ogg_stream_pageout(stream, &page)) {
    if (std::fwrite(page.header, 1, page.header_len, out) != size_t(page.header_len)) return false;
    if (std::fwrite(page.body, 1, page.body_len, out) != size_t(page.body_len)) return false;
  }
  return true;
}

// Vorbis state in one place, so every exit path clears it.
struct Encoder {
  vorbis_info info;
  vorbis_comment comment;
  vorbis_dsp_state dsp;
  vorbis_block block;
  ogg_stream_state stream;
  bool analysisReady = false;
  Encoder() {
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
  }
  ~Encoder() {
    if (analysisReady) {
      ogg_stream_clear(&stream);
      vorbis_block_clear(&block);
      vorbis_dsp_clear(&dsp);
    }
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
  }
};

bool encode(Encoder& e, const std::vector<std::vector<float>>& channels, float quality, FILE* out) {
  const int channelCount = int(channels.size());
  if (vorbis_encode_init_vbr(&e.info, channelCount, kSampleRate, quality) != 0) return false;
  vorbis_comment_add_tag(&e.comment, "ENCODER", "wordgame content tools");
  vorbis_analysis_init(&e.dsp, &e.info);
  vorbis_block_init(&e.dsp, &e.block);
  ogg_stream_init(&e.stream, 0x57470001);
  e.analysisReady = true;

  ogg_packet header, commentHeader, codeHeader;
  vorbis_analysis_headerout(&e.dsp, &e.comment, &header, &commentHeader, &codeHeader);
  ogg_stream_packetin(&e.stream, &header);
  ogg_stream_packetin(&e.stream, &commentHeader);
  ogg_stream_packetin(&e.stream, &codeHeader);
  if (!writePages(&e.stream, out, true)) return false;

  const size_t frames = channels[0].size();
  const size_t chunk = 4096;
  bool ok = true;
  for (size_t pos = 0; ok; pos += chunk) {
    const size_t n = pos < frames ? std::min(chunk, frames - pos) : 0;
    if (n > 0) {
      float** buffer = vorbis_analysis_buffer(&e.dsp, int(n));
      for (int c = 0; c < channelCount; ++c)
        for (size_t i = 0; i < n; ++i) buffer[c][i] = channels[c][pos + i];
    }
    vorbis_analysis_wrote(&e.dsp, int(n));  // 0 marks the end of the stream
    while (vorbis_analysis_blockout(&e.dsp, &e.block) == 1) {
      vorbis_analysis(&e.block, nullptr);
      vorbis_bitrate_addblock(&e.block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&e.dsp, &packet)) {
        ogg_stream_packetin(&e.stream, &packet);
        ok = ok && writePages(&e.stream, out, false);
      }
    }
    if (n == 0) break;
  }
  return ok && writePages(&e.stream, out, true);
}

}  // namespace

bool writeOggVorbis(const std::string& path, const std::vector<std::vector<float>>& channels,
                    float quality) {
  if (channels.empty() || channels.size() > 2 || channels[0].empty()) return false;
  for (const std::vector<float>& c : channels)
    if (c.size() != channels[0].size()) return false;
  const std::string tmp = path + ".tmp";
  FILE* out = std::fopen(tmp.c_str(), "wb");
  if (!out) return false;
  bool ok;
  {
    Encoder e;
    ok = encode(e, channels, quality, out);
  }
  ok = std::fclose(out) == 0 && ok;
  if (ok) ok = std::rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(tmp.c_str());
  return ok;
}
