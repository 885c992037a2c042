#include "sounds.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>

#include "canvas.h"

namespace gfx {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// For kThump the frequency is the start of its downward sweep, for kSplash the decay rate.
enum class Voice { kMarimba, kBell, kBass, kLead, kBubble, kThump, kSplash, kHat };

// A mono mix being built up in floating point, turned into 16-bit samples at the end.
class Track {
 public:
  explicit Track(double seconds) : mix_(static_cast<std::size_t>(seconds * kSampleRate), 0.0f) {}

  void Note(Voice voice, double start, double length, double freq, double gain) {
    const auto first = static_cast<std::size_t>(std::max(0.0, start) * kSampleRate);
    const double ring = length + Tail(voice);
    double phase = 0, low = 0;
    for (std::size_t i = 0; first + i < mix_.size() && i < ring * kSampleRate; ++i) {
      const double t = static_cast<double>(i) / kSampleRate;
      mix_[first + i] += static_cast<float>(gain * Sample(voice, t, length, freq, phase, low));
    }
  }

  std::vector<std::int16_t> Finish(double peak) const {
    float loudest = 1e-6f;
    for (float v : mix_) loudest = std::max(loudest, std::abs(v));
    std::vector<std::int16_t> out(mix_.size());
    const std::size_t fade = kSampleRate / 200;
    for (std::size_t i = 0; i < mix_.size(); ++i) {
      double v = mix_[i] / loudest * peak;
      if (mix_.size() - i < fade)
        v *= static_cast<double>(mix_.size() - i) / fade;  // no click at the end
      out[i] = static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767));
    }
    return out;
  }

 private:
  static double Tail(Voice voice) {
    switch (voice) {
      case Voice::kMarimba: return 0.5;
      case Voice::kBell: return 1.4;
      case Voice::kBass:
      case Voice::kLead: return 0.06;
      default: return 0;
    }
  }

  // One sample `t` seconds into a note; `phase` and `low` carry state for sweeps and filters.
  double Sample(Voice voice, double t, double length, double freq, double& phase, double& low) {
    const double attack = std::min(1.0, t / 0.003);
    const double release = t < length ? 1.0 : std::max(0.0, 1 - (t - length) / 0.06);
    switch (voice) {
      case Voice::kMarimba:
        return attack * (std::sin(kTwoPi * freq * t) * std::exp(-t * 6) +
                         0.3 * std::sin(kTwoPi * 4 * freq * t) * std::exp(-t * 22) +
                         0.1 * std::sin(kTwoPi * 9.8 * freq * t) * std::exp(-t * 45));
      case Voice::kBell:
        return attack * std::exp(-t * 2.2) *
               std::sin(kTwoPi * freq * t +
                        1.6 * std::exp(-t * 3) * std::sin(kTwoPi * 3.5 * freq * t));
      case Voice::kBass: {
        const double x = std::fmod(freq * t, 1.0);
        const double triangle = 4 * std::abs(x - 0.5) - 1;
        return attack * release * (0.8 * triangle + 0.4 * std::sin(kTwoPi * freq * t)) *
               (0.6 + 0.4 * std::exp(-t * 4));
      }
      case Voice::kLead: {
        const double vibrato = t > 0.15 ? 0.006 * std::sin(kTwoPi * 5.5 * t) : 0;
        phase += kTwoPi * freq * (1 + vibrato) / kSampleRate;
        double v = 0;
        for (int k = 1; k <= 7; k += 2) v += std::sin(k * phase) / (k * k);
        return std::min(1.0, t / 0.012) * release * (0.75 + 0.25 * std::exp(-t * 8)) * v;
      }
      case Voice::kBubble: {
        // A rising blip: the pitch climbs fast while the sound dies away.
        phase += kTwoPi * freq * (1 + 2.5 * std::min(t, 0.08) / 0.08) / kSampleRate;
        return attack * std::sin(phase) * std::exp(-t * 28);
      }
      case Voice::kThump:
        phase += kTwoPi * (45 + freq * std::exp(-t * 25)) / kSampleRate;
        return attack * std::sin(phase) * std::exp(-t * 11);
      case Voice::kSplash:
      case Voice::kHat: {
        const double noise = noise_.Uniform(-1, 1);
        const double cut = voice == Voice::kSplash ? 0.25 : 0.9;
        low += cut * (noise - low);
        const double v = voice == Voice::kSplash ? low : noise - low;
        return attack * v * std::exp(-t * (voice == Voice::kSplash ? freq : 40));
      }
    }
    return 0;
  }

  std::vector<float> mix_;
  Rng noise_{99};
};

double Hz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// Plays a line written as notes: "c5 e5/2 g5*2 r" (name, optional # or b, octave; /n and
// *n divide and multiply the one-beat length; r rests). Returns the beat after the last.
double Melody(Track& track, Voice voice, double bpm, double beat, const std::string& notes,
              double gain) {
  static constexpr int kSemitone[] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
  std::istringstream in(notes);
  std::string token;
  while (in >> token) {
    if (token == "|") continue;
    double length = 1;
    if (const auto mark = token.find_first_of("/*"); mark != std::string::npos) {
      const double n = std::stod(token.substr(mark + 1));
      length = token[mark] == '/' ? 1 / n : n;
      token.resize(mark);
    }
    if (token != "r") {
      int midi = kSemitone[token[0] - 'a'];
      std::size_t at = 1;
      if (token[at] == '#') ++midi, ++at;
      if (token[at] == 'b') --midi, ++at;
      midi += 12 * (std::stoi(token.substr(at)) + 1);
      track.Note(voice, beat * 60 / bpm, length * 60 / bpm * 0.92, Hz(midi), gain);
    }
    beat += length;
  }
  return beat;
}

void Bubbles(Track& track, Rng& rng, double from, double to, int count, double gain) {
  for (int i = 0; i < count; ++i)
    track.Note(Voice::kBubble, rng.Uniform(from, to), 0.15, rng.Uniform(350, 1100),
               gain * rng.Uniform(0.5, 1));
}

std::vector<std::int16_t> HitSound() {
  // A plop: a bubble bursting upward with a short splash round it.
  Track track(0.34);
  track.Note(Voice::kBubble, 0, 0.2, 190, 1.0);
  track.Note(Voice::kBubble, 0.035, 0.2, 620, 0.45);
  track.Note(Voice::kSplash, 0.01, 0.3, 13, 0.9);
  track.Note(Voice::kThump, 0, 0.2, 90, 0.5);
  return track.Finish(0.9);
}

std::vector<std::int16_t> EscapeSound() {
  // A sad little "wah-wah-waah" stepping down.
  Track track(0.9);
  const double steps[][3] = {{0, 0.17, 67}, {0.2, 0.17, 66}, {0.4, 0.42, 65}};
  for (const auto& [start, length, midi] : steps) {
    track.Note(Voice::kLead, start, length, Hz(static_cast<int>(midi)), 1.0);
    track.Note(Voice::kBass, start, length, Hz(static_cast<int>(midi) - 12), 0.35);
  }
  track.Note(Voice::kLead, 0.62, 0.22, Hz(62), 0.6);
  return track.Finish(0.8);
}

}  // namespace

std::vector<Sound> MakeSounds() {
  return {{kSoundNames[0], HitSound()}, {kSoundNames[1], EscapeSound()}};
}

std::vector<std::int16_t> MovieSoundtrack(int movie, double seconds) {
  Track track(seconds);
  Rng rng(static_cast<std::uint32_t>(movie) * 17);
  switch (movie) {
    case 1: {  // title tune
      const double bpm = 140;
      Melody(track, Voice::kMarimba, bpm, 0,
             "c5/2 e5/2 g5 e5/2 g5/2 a5 | g5/2 f5/2 e5 d5 g4 | c5/2 e5/2 g5 c6/2 b5/2 a5 | g5/2 "
             "e5/2 d5/2 e5/2 c5*2",
             1.0);
      Melody(track, Voice::kBass, bpm, 0, "c3 g2 c3 g2 | f2 c3 g2 b2 | a2 e3 f2 f3 | g2 g2 c3*2",
             0.55);
      for (int beat = 0; beat < 14; ++beat)
        track.Note(Voice::kBubble, (beat + 0.5) * 60 / bpm, 0.1, 900 + 150 * (beat % 3), 0.18);
      Melody(track, Voice::kBell, bpm, 14, "c6*2", 0.3);
      Melody(track, Voice::kBell, bpm, 14, "g6*2", 0.2);
      break;
    }
    case 2: {  // fish school
      const double bpm = 150;
      Melody(track, Voice::kMarimba, bpm, 0,
             "f5/2 a5/2 c6/2 a5/2 bb5 g5 | e5/2 g5/2 bb5/2 g5/2 a5 f5 | d5/2 f5/2 a5/2 f5/2 g5/2 "
             "a5/2 bb5/2 g5/2 | "
             "f5 c6 f6 r",
             1.0);
      Melody(track, Voice::kBass, bpm, 0, "f2 c3 f2 c3 | c3 g2 c3 f2 | bb2 f2 c3 c3 | f2 c3 f2 r",
             0.55);
      Bubbles(track, rng, 0, seconds - 0.5, 14, 0.25);
      break;
    }
    case 3: {  // treasure chest
      Bubbles(track, rng, 0, 2.0, 18, 0.6);
      track.Note(Voice::kThump, 0.6, 0.1, 80, 0.4);
      track.Note(Voice::kThump, 1.3, 0.1, 80, 0.4);
      Melody(track, Voice::kBell, 480, 16, "c5 e5 g5 c6 e6 g6 c7*4", 0.8);
      for (int i = 0; i < 14; ++i) {
        static constexpr int kPentatonic[] = {84, 86, 88, 91, 93, 96};
        track.Note(Voice::kBell, rng.Uniform(2.8, seconds - 1.2), 0.2,
                   Hz(kPentatonic[rng.Next() % 6]), 0.18);
      }
      Melody(track, Voice::kBass, 480, 16, "c3*12", 0.4);
      break;
    }
    case 4: {  // diver
      const double bpm = 100;
      Melody(track, Voice::kBass, bpm, 0, "d2 r/2 d2/2 a2 r | f2 r/2 f2/2 c3 r | d2*2", 0.8);
      Melody(track, Voice::kLead, bpm, 0, "d4*2 f4 a4 | g4*1.5 f4/2 e4 c4 | d4*2", 0.35);
      for (double burst : {1.0, 3.3, 5.3}) Bubbles(track, rng, burst, burst + 0.5, 7, 0.5);
      break;
    }
    case 5: {  // title letters
      static constexpr int kRise[] = {72, 74, 76, 79, 81, 84, 86};
      for (int i = 0; i < 7; ++i) {
        const double land = 0.6 + i * 0.32;
        track.Note(Voice::kThump, land, 0.1, 110, 0.6);
        track.Note(Voice::kMarimba, land, 0.2, Hz(kRise[i]), 0.7);
      }
      Melody(track, Voice::kLead, 140, 7, "g5/2 g5/2 g5/2 c6*3", 0.6);
      Melody(track, Voice::kBell, 140, 8.5, "c6*3", 0.3);
      Melody(track, Voice::kBell, 140, 8.5, "e6*3", 0.25);
      Melody(track, Voice::kBass, 140, 7, "g2/2 g2/2 g2/2 c3*3", 0.6);
      break;
    }
    case 6: {  // octopus waltz
      const double bpm = 180;
      Melody(track, Voice::kBell, bpm, 0,
             "e5*2 g5 | f5*2 d5 | e5 g5 c6 | b5*2 g5 | a5 f5 d5 | c5*3", 0.7);
      Melody(track, Voice::kBass, bpm, 0, "c3 r r | g2 r r | c3 r r | g2 r r | f2 r r | c3*3", 0.7);
      const char* chords[] = {"e4", "g4", "d4", "f4", "e4", "g4", "d4", "f4", "f4", "a4"};
      for (int bar = 0; bar < 5; ++bar)
        for (int beat = 1; beat <= 2; ++beat)
          for (int k = 0; k < 2; ++k)
            Melody(track, Voice::kMarimba, bpm, bar * 3 + beat, chords[bar * 2 + k], 0.3);
      break;
    }
    case 7: {  // 2200 points
      const double bpm = 150;
      Melody(track, Voice::kLead, bpm, 0,
             "c5/2 e5/2 g5/2 c6*2.5 | a5/2 c6/2 e6/2 d6*2.5 | e6/2 d6/2 c6/2 d6/2 e6*2 | c6*3",
             0.6);
      Melody(track, Voice::kMarimba, bpm, 0, "c5*2 g4*2 | f4*2 g4*2 | a4*2 g4*2 | e5*3", 0.45);
      Melody(track, Voice::kBass, bpm, 0, "c3*2 g2*2 | f2*2 g2*2 | a2*2 g2*2 | c3*3", 0.6);
      Melody(track, Voice::kBell, bpm, 12, "c6*3", 0.3);  // rings on after the last chord
      Melody(track, Voice::kBell, bpm, 12, "g6*3", 0.2);
      for (double beat : {0.0, 8.0, 12.0}) track.Note(Voice::kSplash, beat * 0.4, 0.5, 5, 0.35);
      for (int i = 0; i < 15; ++i) track.Note(Voice::kHat, i * 0.4 + 0.2, 0.05, 0, 0.12);
      Bubbles(track, rng, 0.3, seconds - 0.8, 20, 0.35);
      break;
    }
    default: break;
  }
  return track.Finish(0.85);
}

std::vector<std::uint8_t> EncodeWave(const std::vector<std::int16_t>& samples) {
  std::vector<std::uint8_t> out;
  out.reserve(44 + samples.size() * 2);
  auto text = [&](const char* four) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(four[i]));
  };
  auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 255);
  };
  auto u16 = [&](std::uint32_t v) {
    out.push_back(v & 255);
    out.push_back((v >> 8) & 255);
  };
  const auto data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
  text("RIFF");
  u32(36 + data_bytes);
  text("WAVE");
  text("fmt ");
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(kSampleRate);
  u32(kSampleRate * 2);
  u16(2);
  u16(16);
  text("data");
  u32(data_bytes);
  for (std::int16_t s : samples) u16(static_cast<std::uint16_t>(s));
  return out;
}

}  // namespace gfx
