// wgmusic: a small sequencer and synthesiser that renders one music score to a stereo
// Ogg Vorbis track.
//
// Score lines (a word starting with # begins a comment):
//   tempo BPM            meter BEATS_PER_BAR       seed N
//   fade IN_SECONDS OUT_SECONDS                    reverb ROOM_SECONDS MIX
//   key ROOT SCALE       scale: major minor dorian pentatonic minorpentatonic
//   chords LABEL CHORD...   a progression, one chord per bar (Cmaj7, Am, F#m7, Gsus4 ...)
//   form LABEL...           the order in which the progressions are played
//   voice KIND LEVEL PAN FIRST LAST [OCTAVE]
//       KIND: pad bass bell arp sea; plays during form entries FIRST..LAST (1-based)
// Melodies of the bell voice are generated from the seed: one phrase per progression,
// repeated with small changes whenever that progression comes back.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tools/assets/ogg_writer.h"
#include "tools/assets/synth.h"

namespace {

struct Chord {
  int root = 48;           // note number of the root in octave 3
  std::vector<int> tones;  // intervals above the root
};

struct Voice {
  std::string kind;
  double level = 0, pan = 0.5;
  int first = 1, last = 1, octave = 0;
};

struct Score {
  double tempo = 72;
  int meter = 4;
  uint64_t seed = 1;
  double fadeIn = 3, fadeOut = 6;
  double room = 2.0, mix = 0.25;
  int keyRoot = 60;
  std::vector<int> scale{0, 2, 4, 5, 7, 9, 11};
  std::map<std::string, std::vector<Chord>> progressions;
  std::vector<std::string> form;
  std::vector<Voice> voices;
};

struct Note {
  double beat;  // from the start of the phrase
  int note;
  double beats;
};

bool parseChord(const std::string& text, Chord* chord) {
  static const std::map<std::string, std::vector<int>> kQualities = {
      {"", {0, 4, 7}},         {"m", {0, 3, 7}},           {"7", {0, 4, 7, 10}},
      {"maj7", {0, 4, 7, 11}}, {"m7", {0, 3, 7, 10}},      {"sus2", {0, 2, 7}},
      {"sus4", {0, 5, 7}},     {"add9", {0, 4, 7, 14}},    {"m9", {0, 3, 7, 10, 14}},
      {"6", {0, 4, 7, 9}},     {"maj9", {0, 4, 7, 11, 14}}};
  size_t rootLength = text.size() > 1 && (text[1] == '#' || text[1] == 'b') ? 2 : 1;
  const int root = noteNumber(text.substr(0, rootLength) + "3");
  const auto quality = kQualities.find(text.substr(std::min(rootLength, text.size())));
  if (root < 0 || quality == kQualities.end()) return false;
  chord->root = root;
  chord->tones = quality->second;
  return true;
}

bool parseScale(const std::string& name, std::vector<int>* scale) {
  static const std::map<std::string, std::vector<int>> kScales = {
      {"major", {0, 2, 4, 5, 7, 9, 11}},
      {"minor", {0, 2, 3, 5, 7, 8, 10}},
      {"dorian", {0, 2, 3, 5, 7, 9, 10}},
      {"pentatonic", {0, 2, 4, 7, 9}},
      {"minorpentatonic", {0, 3, 5, 7, 10}}};
  const auto found = kScales.find(name);
  if (found == kScales.end()) return false;
  *scale = found->second;
  return true;
}

bool parseLine(const std::string& kind, std::istringstream& in, Score& s) {
  if (kind == "tempo") return bool(in >> s.tempo) && s.tempo >= 20 && s.tempo <= 300;
  if (kind == "meter") return bool(in >> s.meter) && s.meter >= 2 && s.meter <= 12;
  if (kind == "seed") return bool(in >> s.seed);
  if (kind == "fade") return bool(in >> s.fadeIn >> s.fadeOut) && s.fadeIn > 0 && s.fadeOut > 0;
  if (kind == "reverb") return bool(in >> s.room >> s.mix) && s.room > 0;
  if (kind == "key") {
    std::string root, scale;
    if (!(in >> root >> scale)) return false;
    s.keyRoot = noteNumber(root + "4");
    return s.keyRoot >= 0 && parseScale(scale, &s.scale);
  }
  if (kind == "chords") {
    std::string label, text;
    if (!(in >> label)) return false;
    std::vector<Chord>& chords = s.progressions[label];
    while (in >> text) {
      chords.emplace_back();
      if (!parseChord(text, &chords.back())) return false;
    }
    return !chords.empty();
  }
  if (kind == "form") {
    std::string label;
    while (in >> label) s.form.push_back(label);
    return !s.form.empty();
  }
  if (kind == "voice") {
    Voice v;
    if (!(in >> v.kind >> v.level >> v.pan >> v.first >> v.last)) return false;
    in >> v.octave;
    static const char* const kKinds[] = {"pad", "bass", "bell", "arp", "sea"};
    s.voices.push_back(v);
    return std::find(std::begin(kKinds), std::end(kKinds), v.kind) != std::end(kKinds) &&
           v.first <= v.last;
  }
  return false;
}

// Scale notes between low and high, in order.
std::vector<int> scaleNotes(const Score& s, int low, int high) {
  std::vector<int> notes;
  for (int n = low; n <= high; ++n) {
    const int degree = ((n - s.keyRoot) % 12 + 12) % 12;
    if (std::find(s.scale.begin(), s.scale.end(), degree) != s.scale.end()) notes.push_back(n);
  }
  return notes;
}

bool isChordTone(const Chord& c, int note) {
  for (int t : c.tones)
    if (((note - c.root - t) % 12 + 12) % 12 == 0) return true;
  return false;
}

// A phrase over one pass of a progression: a walk over the scale that lands on chord
// tones at the start of each bar and leaves room to breathe.
std::vector<Note> makePhrase(const Score& s, const std::vector<Chord>& chords, int octave,
                             Rng& rng) {
  const std::vector<int> notes = scaleNotes(s, 67 + 12 * octave, 86 + 12 * octave);
  std::vector<Note> phrase;
  int index = int(notes.size()) / 2;
  for (size_t bar = 0; bar < chords.size(); ++bar) {
    const bool resting = bar % 4 == 3 && rng.uniform() < 0.5;  // let phrases end
    for (int half = 0; half < s.meter * 2 && !resting; ++half) {
      const bool downbeat = half == 0;
      const double chance = downbeat ? 0.85 : half % 2 == 0 ? 0.4 : 0.14;
      if (rng.uniform() >= chance) continue;
      index += rng.below(5) - 2;
      index = std::clamp(index, 0, int(notes.size()) - 1);
      if (downbeat)
        for (int step = 0; step < 3 && !isChordTone(chords[bar], notes[index]); ++step)
          index = std::clamp(index + (rng.uniform() < 0.5 ? 1 : -1), 0, int(notes.size()) - 1);
      phrase.push_back({double(bar * s.meter) + half * 0.5, notes[index], downbeat ? 3.0 : 2.0});
    }
  }
  return phrase;
}

// A returning phrase keeps its shape but moves a note here and there.
std::vector<Note> vary(const std::vector<Note>& phrase, const Score& s, Rng& rng) {
  std::vector<Note> varied = phrase;
  for (Note& n : varied) {
    if (rng.uniform() >= 0.2) continue;
    const int step = rng.uniform() < 0.5 ? 1 : -1;
    int candidate = n.note + step;
    while (scaleNotes(s, candidate, candidate).empty()) candidate += step;
    n.note = candidate;
  }
  return varied;
}

// Progressions of one length, and a form that names only known ones.
bool checkScore(const Score& s, const char* path) {
  if (s.form.empty() || s.voices.empty()) {
    std::fprintf(stderr, "%s: a score needs a form and at least one voice\n", path);
    return false;
  }
  for (const auto& [label, chords] : s.progressions)
    if (chords.size() != s.progressions.begin()->second.size()) {
      std::fprintf(stderr, "%s: every progression needs the same number of bars\n", path);
      return false;
    }
  for (const std::string& label : s.form)
    if (!s.progressions.count(label)) {
      std::fprintf(stderr, "%s: the form names an unknown progression %s\n", path, label.c_str());
      return false;
    }
  return true;
}

class Track {
public:
  explicit Track(const Score& s) : s_(s), beatSeconds_(60.0 / s.tempo) {}

  bool render(const std::string& path) {
    const size_t bars = s_.progressions.begin()->second.size();
    const double sectionBeats = double(bars * s_.meter);
    const double total = s_.form.size() * sectionBeats * beatSeconds_ + s_.fadeOut * 0.5;
    const size_t frames = framesFor(total);
    left_.assign(frames, 0.0f);
    right_.assign(frames, 0.0f);
    send_.assign(frames, 0.0f);

    Rng rng(s_.seed);
    for (const Voice& v : s_.voices) {
      std::map<std::string, std::vector<Note>> phrases;
      for (size_t entry = 0; entry < s_.form.size(); ++entry) {
        if (int(entry) + 1 < v.first || int(entry) + 1 > v.last) continue;
        const std::vector<Chord>& chords = s_.progressions.at(s_.form[entry]);
        const double startBeat = entry * sectionBeats;
        if (v.kind == "bell") {
          auto known = phrases.find(s_.form[entry]);
          const std::vector<Note> phrase = known == phrases.end()
                                               ? makePhrase(s_, chords, v.octave, rng)
                                               : vary(known->second, s_, rng);
          phrases[s_.form[entry]] = phrase;
          playBells(v, phrase, startBeat);
        } else {
          for (size_t bar = 0; bar < chords.size(); ++bar)
            playBar(v, chords[bar], startBeat + bar * s_.meter, rng);
        }
      }
      if (v.kind == "sea") playSea(v, rng);
    }
    addReverb(send_, left_, right_, s_.room, s_.mix);
    left_.resize(frames);
    right_.resize(frames);
    normalize({&left_, &right_}, 0.7);  // head room for the game's sound effects on top
    fadeEdges(left_, s_.fadeIn, s_.fadeOut);
    fadeEdges(right_, s_.fadeIn, s_.fadeOut);
    return writeOggVorbis(path, {left_, right_}, 0.3f);
  }

private:
  size_t frameAt(double beat) const { return framesFor(beat * beatSeconds_); }

  // Equal-power pan of a mono part into the mix; `send` is its share in the reverb.
  void mixIn(const Buffer& part, size_t start, double pan, double send) {
    const float l = float(std::cos(pan * 1.5707963)), r = float(std::sin(pan * 1.5707963));
    for (size_t i = 0; i < part.size() && start + i < left_.size(); ++i) {
      left_[start + i] += part[i] * l;
      right_[start + i] += part[i] * r;
      send_[start + i] += part[i] * float(send);
    }
  }

  void playBells(const Voice& v, const std::vector<Note>& phrase, double startBeat) {
    for (const Note& n : phrase) {
      Buffer part;
      addBell(part, 0, midiFrequency(n.note), n.beats * beatSeconds_, v.level);
      mixIn(part, frameAt(startBeat + n.beat), v.pan, 0.6);
    }
  }

  void playBar(const Voice& v, const Chord& chord, double beat, Rng& rng) {
    const double barSeconds = s_.meter * beatSeconds_;
    const int shift = 12 * v.octave;
    if (v.kind == "pad") {
      for (size_t i = 0; i < chord.tones.size() && i < 4; ++i) {
        const double f = midiFrequency(chord.root + chord.tones[i] + shift + (i == 0 ? 0 : 12));
        Buffer l, r;
        addPad(l, 0, f, barSeconds + 1.2, v.level, 7);
        addPad(r, 0, f, barSeconds + 1.2, v.level, -9);
        const size_t at = frameAt(beat);
        // Pads are wide: their own left and right renderings, detuned apart.
        mixIn(l, at, 0.15, 0.3);
        mixIn(r, at, 0.85, 0.3);
      }
    } else if (v.kind == "bass") {
      Buffer part;
      addBass(part, 0, midiFrequency(chord.root - 12 + shift), barSeconds * 0.75, v.level);
      mixIn(part, frameAt(beat), v.pan, 0.05);
      if (s_.meter >= 4 && rng.uniform() < 0.5) {
        Buffer fifth;
        addBass(fifth, 0, midiFrequency(chord.root - 5 + shift), barSeconds * 0.4, v.level * 0.7);
        mixIn(fifth, frameAt(beat + s_.meter / 2 + (s_.meter % 2 ? 1 : 0)), v.pan, 0.05);
      }
    } else if (v.kind == "arp") {
      // Up and back down the chord in eighths, an octave above the pads.
      std::vector<int> steps;
      for (int t : chord.tones) steps.push_back(chord.root + 12 + t + shift);
      for (int i = int(chord.tones.size()) - 2; i > 0; --i)
        steps.push_back(chord.root + 12 + chord.tones[i] + shift);
      for (int eighth = 0; eighth < s_.meter * 2; ++eighth) {
        Buffer part;
        const double accent = eighth % 2 == 0 ? 1.0 : 0.7;
        addPluck(part, 0, midiFrequency(steps[eighth % steps.size()]), beatSeconds_ * 1.5,
                 v.level * accent);
        mixIn(part, frameAt(beat + eighth * 0.5), v.pan, 0.4);
      }
    }
  }

  // The sea: two independent noises, low-passed, swelling like waves on a slow cycle.
  void playSea(const Voice& v, Rng& rng) {
    const double from = (v.first - 1) * sectionSeconds();
    const double to = std::min(v.last * sectionSeconds(), double(left_.size()) / kSampleRate);
    double yl = 0, yr = 0, zl = 0, zr = 0;
    for (size_t i = framesFor(from); i < framesFor(to) && i < left_.size(); ++i) {
      const double t = double(i) / kSampleRate;
      const double swell = 0.55 + 0.45 * std::sin(t * 6.2831853 / 9.0 + 0.6 * std::sin(t * 0.37));
      const double a = 0.02 + 0.05 * swell;  // brighter as the wave breaks
      yl += a * ((rng.uniform() * 2 - 1) - yl);
      yr += a * ((rng.uniform() * 2 - 1) - yr);
      zl += a * (yl - zl);
      zr += a * (yr - zr);
      const double edge = std::min({1.0, (t - from) / 3.0, (to - t) / 3.0});
      left_[i] += float(zl * swell * v.level * 8 * edge);
      right_[i] += float(zr * swell * v.level * 8 * edge);
    }
  }

  double sectionSeconds() const {
    return s_.progressions.begin()->second.size() * s_.meter * beatSeconds_;
  }

  const Score& s_;
  double beatSeconds_;
  Buffer left_, right_, send_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: wgmusic SCORE OUT.ogg\n", stderr);
    return 2;
  }
  std::ifstream file(argv[1]);
  if (!file) {
    std::fprintf(stderr, "wgmusic: cannot read %s\n", argv[1]);
    return 1;
  }
  Score score;
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    line = stripComment(line);
    std::istringstream in(line);
    std::string kind;
    if (!(in >> kind)) continue;
    if (!parseLine(kind, in, score)) {
      std::fprintf(stderr, "%s:%d: cannot read: %s\n", argv[1], number, line.c_str());
      return 1;
    }
  }
  if (!checkScore(score, argv[1])) return 1;
  if (!Track(score).render(argv[2])) {
    std::fprintf(stderr, "wgmusic: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
