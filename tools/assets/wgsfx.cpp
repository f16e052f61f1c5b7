// wgsfx: renders the game's sound effects from a recipe file into Ogg Vorbis files.
//
// Recipe lines (a word starting with # begins a comment):
//   effect SLOT FILE SECONDS PEAK     starts an effect: its length and its peak level (0..1)
//   bell  START NOTE SECONDS LEVEL    layers, START in seconds from the beginning
//   pluck START NOTE SECONDS LEVEL
//   buzz  START NOTE SECONDS LEVEL
//   sweep START FROM_HZ TO_HZ SECONDS LEVEL
//   click START CUTOFF_HZ SECONDS LEVEL
//   reverb ROOM_SECONDS MIX           a room around the whole effect
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/assets/ogg_writer.h"
#include "tools/assets/synth.h"

namespace {

struct Effect {
  std::string slot, file;
  double seconds = 0, peak = 0;
  double room = 0, mix = 0;
  Buffer samples;
};

bool finish(Effect& e, const std::string& outDir) {
  e.samples.resize(framesFor(e.seconds), 0.0f);
  if (e.mix > 0) {
    Buffer left, right;
    addReverb(e.samples, left, right, e.room, e.mix);
    for (size_t i = 0; i < e.samples.size(); ++i) e.samples[i] += 0.5f * (left[i] + right[i]);
  }
  fadeEdges(e.samples, 0.002, 0.03);
  normalize({&e.samples}, e.peak);
  const std::string path = outDir + "/" + e.file;
  if (!writeOggVorbis(path, {e.samples}, 0.5f)) {
    std::fprintf(stderr, "wgsfx: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

double noteOrFail(const std::string& text, bool* ok) {
  const double f = noteFrequency(text);
  if (f <= 0) *ok = false;
  return f;
}

// Adds one layer line to the effect; false when the line does not parse.
bool addLayer(Effect& e, const std::string& kind, std::istringstream& in, Rng& rng) {
  double start = 0, seconds = 0, level = 0;
  std::string note;
  bool ok = true;
  if (kind == "bell" || kind == "pluck" || kind == "buzz") {
    if (!(in >> start >> note >> seconds >> level)) return false;
    const double f = noteOrFail(note, &ok);
    if (!ok) return false;
    const size_t at = framesFor(start);
    if (kind == "bell") addBell(e.samples, at, f, seconds, level);
    if (kind == "pluck") addPluck(e.samples, at, f, seconds, level);
    if (kind == "buzz") addBuzz(e.samples, at, f, seconds, level);
    return true;
  }
  if (kind == "sweep") {
    double from = 0, to = 0;
    if (!(in >> start >> from >> to >> seconds >> level) || from <= 0 || to <= 0) return false;
    addSweep(e.samples, framesFor(start), from, to, seconds, level);
    return true;
  }
  if (kind == "click") {
    double cutoff = 0;
    if (!(in >> start >> cutoff >> seconds >> level) || cutoff <= 0) return false;
    addClick(e.samples, framesFor(start), cutoff, seconds, level, rng);
    return true;
  }
  if (kind == "reverb") return bool(in >> e.room >> e.mix) && e.room > 0;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: wgsfx RECIPE OUTDIR\n", stderr);
    return 2;
  }
  std::ifstream recipe(argv[1]);
  if (!recipe) {
    std::fprintf(stderr, "wgsfx: cannot read %s\n", argv[1]);
    return 1;
  }
  Rng rng(7);
  std::vector<Effect> effects;
  std::string line;
  for (int number = 1; std::getline(recipe, line); ++number) {
    line = stripComment(line);
    std::istringstream in(line);
    std::string kind;
    if (!(in >> kind)) continue;
    bool ok;
    if (kind == "effect") {
      effects.emplace_back();
      Effect& e = effects.back();
      ok = bool(in >> e.slot >> e.file >> e.seconds >> e.peak) && e.seconds > 0 && e.peak > 0 &&
           e.peak < 1;
    } else {
      ok = !effects.empty() && addLayer(effects.back(), kind, in, rng);
    }
    if (!ok) {
      std::fprintf(stderr, "%s:%d: cannot read: %s\n", argv[1], number, line.c_str());
      return 1;
    }
  }
  for (Effect& e : effects)
    if (!finish(e, argv[2])) return 1;
  return 0;
}
