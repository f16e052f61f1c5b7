// Small building blocks shared by the sound-effect and music renderers: note names,
// a repeatable random generator, simple voices, a reverb, fades and level control.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Buffer = std::vector<float>;

// "A4" is 440 Hz; accepts C..B, an optional # or b, and an octave -1..9. Returns 0 for
// text that is not a note name.
double noteFrequency(const std::string& name);
// MIDI-style note number of a note name (C4 = 60), or -1.
int noteNumber(const std::string& name);
double midiFrequency(double note);

// xorshift: the same seed gives the same sequence on every machine, which keeps the
// rendered audio (and so the archives) reproducible.
class Rng {
public:
  explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint64_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  double uniform() { return double(next() >> 11) / double(1ull << 53); }  // [0, 1)
  int below(int n) { return int(next() % uint64_t(n)); }

private:
  uint64_t state_;
};

// Voices add into `out` starting at frame `start`, for `seconds`, scaled by `level`.
// A bell: inharmonic partials with decays that shorten as they rise.
void addBell(Buffer& out, size_t start, double freq, double seconds, double level);
// A plucked string: a bright attack that mellows quickly.
void addPluck(Buffer& out, size_t start, double freq, double seconds, double level);
// A soft bass: fundamental and a little second harmonic, gentle attack.
void addBass(Buffer& out, size_t start, double freq, double seconds, double level);
// A pad note: detuned soft oscillators with slow attack and release; `detune` in cents
// lets the left and right channels differ for width.
void addPad(Buffer& out, size_t start, double freq, double seconds, double level, double detune);
// A buzzy, slightly falling tone: odd harmonics of a square wave, muffled.
void addBuzz(Buffer& out, size_t start, double freq, double seconds, double level);
// A sine whose pitch glides from f0 to f1 (exponentially), with a smooth envelope.
void addSweep(Buffer& out, size_t start, double f0, double f1, double seconds, double level);
// Noise through a one-pole low-pass at `cutoff` Hz with a fast exponential decay.
void addClick(Buffer& out, size_t start, double cutoff, double seconds, double level, Rng& rng);

// A stereo Schroeder reverb (parallel combs into series all-passes); `mix` is the wet level.
void addReverb(const Buffer& dry, Buffer& left, Buffer& right, double roomSeconds, double mix);

void fadeEdges(Buffer& b, double inSeconds, double outSeconds);
double peakOf(const Buffer& b);
// Scales so the peak is `target`; leaves silence alone.
void normalize(std::vector<Buffer*> channels, double target);
size_t framesFor(double seconds);

// Recipe and score lines: '#' at the start of a word begins a comment, so note names
// like F#3 stay whole.
std::string stripComment(const std::string& line);
