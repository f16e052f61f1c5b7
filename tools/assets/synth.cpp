#include "tools/assets/synth.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "tools/assets/ogg_writer.h"

namespace {

const double kTwoPi = 6.283185307179586;

// Attack ramp that also keeps every voice from starting with a step (a click).
double attack(double t, double seconds) {
  return t >= seconds ? 1.0 : std::sin(t / seconds * kTwoPi / 4);
}

// Smooth end over the last `seconds` of a note.
double release(double t, double length, double seconds) {
  const double left = length - t;
  return left >= seconds ? 1.0 : std::max(0.0, left / seconds);
}

// A sine by rotation: one complex multiply per sample instead of a sin() call, exact
// enough (double precision) over the few seconds a note lasts.
class SineOsc {
public:
  explicit SineOsc(double freq)
      : stepCos_(std::cos(kTwoPi * freq / kSampleRate)),
        stepSin_(std::sin(kTwoPi * freq / kSampleRate)) {}
  double next() {
    const double value = sin_;
    const double c = cos_ * stepCos_ - sin_ * stepSin_;
    sin_ = sin_ * stepCos_ + cos_ * stepSin_;
    cos_ = c;
    return value;
  }

private:
  double stepCos_, stepSin_;
  double cos_ = 1, sin_ = 0;
};

template <typename Sample>
void render(Buffer& out, size_t start, double seconds, Sample sample) {
  const size_t n = framesFor(seconds);
  if (start + n > out.size()) out.resize(start + n, 0.0f);
  for (size_t i = 0; i < n; ++i) out[start + i] += float(sample(double(i) / kSampleRate));
}

class Comb {
public:
  Comb(size_t length, double feedback) : line_(length, 0.0), feedback_(feedback) {}
  double step(double in) {
    const double out = line_[pos_];
    damped_ = out * 0.7 + damped_ * 0.3;  // high frequencies die faster, like a real room
    line_[pos_] = in + damped_ * feedback_;
    pos_ = (pos_ + 1) % line_.size();
    return out;
  }

private:
  std::vector<double> line_;
  double feedback_;
  double damped_ = 0;
  size_t pos_ = 0;
};

class AllPass {
public:
  explicit AllPass(size_t length) : line_(length, 0.0) {}
  double step(double in) {
    const double delayed = line_[pos_];
    const double out = delayed - 0.5 * in;
    line_[pos_] = in + 0.5 * delayed;
    pos_ = (pos_ + 1) % line_.size();
    return out;
  }

private:
  std::vector<double> line_;
  size_t pos_ = 0;
};

void reverbChannel(const Buffer& dry, Buffer& out, const size_t* combLengths, double roomSeconds,
                   double mix) {
  std::vector<Comb> combs;
  for (int i = 0; i < 4; ++i) {
    // Feedback chosen so each comb decays by 60 dB over roomSeconds.
    const double feedback = std::pow(0.001, double(combLengths[i]) / kSampleRate / roomSeconds);
    combs.emplace_back(combLengths[i], feedback);
  }
  AllPass a1(combLengths[4]), a2(combLengths[5]);
  if (out.size() < dry.size()) out.resize(dry.size(), 0.0f);
  for (size_t i = 0; i < out.size(); ++i) {
    const double in = i < dry.size() ? dry[i] : 0.0;
    double sum = 0;
    for (Comb& c : combs) sum += c.step(in);
    out[i] += float(a2.step(a1.step(sum * 0.25)) * mix);
  }
}

}  // namespace

int noteNumber(const std::string& name) {
  static const int kOffsets[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (name.size() < 2) return -1;
  const char letter = char(std::toupper(static_cast<unsigned char>(name[0])));
  if (letter < 'A' || letter > 'G') return -1;
  int semitone = kOffsets[letter - 'A'];
  size_t i = 1;
  if (name[i] == '#')
    semitone++, i++;
  else if (name[i] == 'b')
    semitone--, i++;
  if (i >= name.size()) return -1;
  int octave = 0;
  bool negative = name[i] == '-';
  if (negative) i++;
  if (i + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
  octave = name[i] - '0';
  if (negative) octave = -octave;
  return (octave + 1) * 12 + semitone;
}

double midiFrequency(double note) {
  return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

double noteFrequency(const std::string& name) {
  const int n = noteNumber(name);
  return n < 0 ? 0.0 : midiFrequency(n);
}

size_t framesFor(double seconds) {
  return size_t(std::max(0.0, seconds) * kSampleRate + 0.5);
}

void addBell(Buffer& out, size_t start, double freq, double seconds, double level) {
  static const double kRatios[] = {1.0, 2.0, 2.76, 4.07, 5.4};
  static const double kLevels[] = {1.0, 0.45, 0.25, 0.12, 0.06};
  std::vector<SineOsc> partials;
  for (double ratio : kRatios)
    if (freq * ratio < 16000) partials.emplace_back(freq * ratio);
  render(out, start, seconds, [&](double t) {
    double s = 0;
    for (size_t p = 0; p < partials.size(); ++p)
      s += kLevels[p] * std::exp(-t * (2.2 + 2.5 * p) / seconds * 1.6) * partials[p].next();
    return s * level * attack(t, 0.004) * release(t, seconds, 0.05);
  });
}

void addPluck(Buffer& out, size_t start, double freq, double seconds, double level) {
  render(out, start, seconds, [&](double t) {
    const double bright = std::exp(-t * 14.0);
    double s = std::sin(kTwoPi * freq * t) + 0.5 * bright * std::sin(kTwoPi * 2 * freq * t) +
               0.25 * bright * std::sin(kTwoPi * 3 * freq * t);
    return s * level * std::exp(-t * 4.0 / seconds) * attack(t, 0.003) * release(t, seconds, 0.04);
  });
}

void addBass(Buffer& out, size_t start, double freq, double seconds, double level) {
  render(out, start, seconds, [&](double t) {
    double s = std::sin(kTwoPi * freq * t) + 0.18 * std::sin(kTwoPi * 2 * freq * t);
    return s * level * std::exp(-t * 1.2 / seconds) * attack(t, 0.03) * release(t, seconds, 0.25);
  });
}

void addPad(Buffer& out, size_t start, double freq, double seconds, double level, double detune) {
  const double spread = std::pow(2.0, detune / 1200.0);
  const double fade = std::min(1.6, seconds / 3);
  std::vector<SineOsc> partials;
  const double weights[3] = {1.0, 0.22, 0.08};
  for (double f : {freq, freq * spread, freq / spread})
    for (int h = 1; h <= 3; ++h) partials.emplace_back(f * h);
  render(out, start, seconds, [&](double t) {
    double s = 0;
    for (size_t p = 0; p < partials.size(); ++p) s += weights[p % 3] * partials[p].next();
    return s / 3 * level * attack(t, fade) * release(t, seconds, fade);
  });
}

void addBuzz(Buffer& out, size_t start, double freq, double seconds, double level) {
  render(out, start, seconds, [&](double t) {
    const double f =
        freq * (1.0 - 0.06 * t / seconds);  // sags in pitch like a disappointed "uh-uh"
    double s = 0;
    for (int h = 1; h <= 9; h += 2) s += std::sin(kTwoPi * f * h * t) / h;
    return s * level * attack(t, 0.006) * release(t, seconds, 0.06);
  });
}

void addSweep(Buffer& out, size_t start, double f0, double f1, double seconds, double level) {
  double phase = 0;
  render(out, start, seconds, [&](double t) {
    const double f = f0 * std::pow(f1 / f0, t / seconds);
    phase += kTwoPi * f / kSampleRate;
    return std::sin(phase) * level * std::sin(std::min(1.0, t / seconds) * kTwoPi / 2);
  });
}

void addClick(Buffer& out, size_t start, double cutoff, double seconds, double level, Rng& rng) {
  const double a = 1.0 - std::exp(-kTwoPi * cutoff / kSampleRate);
  double y = 0;
  render(out, start, seconds, [&](double t) {
    y += a * ((rng.uniform() * 2 - 1) - y);
    return y * level * std::exp(-t * 6.0 / seconds) * attack(t, 0.0015) *
           release(t, seconds, 0.005);
  });
}

void addReverb(const Buffer& dry, Buffer& left, Buffer& right, double roomSeconds, double mix) {
  // Mutually prime delay lengths, different per side, so the tail is wide and smooth.
  static const size_t kLeft[] = {1557, 1617, 1491, 1422, 225, 556};
  static const size_t kRight[] = {1580, 1640, 1514, 1445, 248, 579};
  reverbChannel(dry, left, kLeft, roomSeconds, mix);
  reverbChannel(dry, right, kRight, roomSeconds, mix);
}

void fadeEdges(Buffer& b, double inSeconds, double outSeconds) {
  const size_t in = std::min(b.size(), framesFor(inSeconds));
  const size_t out = std::min(b.size(), framesFor(outSeconds));
  for (size_t i = 0; i < in; ++i) b[i] *= float(std::sin(double(i) / in * kTwoPi / 4));
  for (size_t i = 0; i < out; ++i)
    b[b.size() - 1 - i] *= float(std::sin(double(i) / out * kTwoPi / 4));
}

double peakOf(const Buffer& b) {
  double peak = 0;
  for (float s : b) peak = std::max(peak, double(std::fabs(s)));
  return peak;
}

void normalize(std::vector<Buffer*> channels, double target) {
  double peak = 0;
  for (const Buffer* c : channels) peak = std::max(peak, peakOf(*c));
  if (peak <= 0) return;
  const float scale = float(target / peak);
  for (Buffer* c : channels)
    for (float& s : *c) s *= scale;
}

std::string stripComment(const std::string& line) {
  for (size_t i = 0; i < line.size(); ++i)
    if (line[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1]))))
      return line.substr(0, i);
  return line;
}
