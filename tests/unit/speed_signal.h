#pragma once

// Test recordings of a turntable playing a test tone, made on the fly in blocks: a phase-accumulated tone whose
// frequency carries the speed error, drift and sine modulations, with lead-in silence, noise and clicks. The truth
// of every figure is then known exactly.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <random>
#include <vector>

namespace speed_test {

struct Modulation {
    double Hz = 0;
    double PeakPercent = 0;
    double Phase = 0;
};

struct Click {
    double Seconds = 0;
    float Height = 0; // added to one sample, then decaying over a few samples as a real click does
};

struct ToneTake {
    double Rate = 48000;
    int Channels = 1;
    double ToneHz = 3150;
    double ErrorPercent = 0;
    double DriftPercentPerMinute = 0;
    std::vector<Modulation> Modulations;
    double LeadInSeconds = 0;
    double Seconds = 30; // of tone
    double TailSeconds = 0;
    double Level = 0.5;
    double NoiseRms = 0;
    std::vector<Click> Clicks;
    // 16 or 24 rounds each sample to that many bits as a sound card would, clipping at full scale; 0 keeps floats.
    int Bits = 0;
};

class ToneSynth {
public:
    explicit ToneSynth(ToneTake take) : Take(std::move(take)), Random(7) {
        Total = static_cast<std::size_t>((Take.LeadInSeconds + Take.Seconds + Take.TailSeconds) * Take.Rate);
    }

    bool Done() const { return At >= Total; }
    std::size_t Frames() const { return Total; }

    // Up to `frames` frames, interleaved.
    std::vector<float> Next(std::size_t frames) {
        std::vector<float> block;
        block.reserve(frames * static_cast<std::size_t>(Take.Channels));
        std::normal_distribution<double> noise(0, 1);
        constexpr double Pi = 3.14159265358979323846;
        for (std::size_t i = 0; i < frames && At < Total; ++i, ++At) {
            const double t = static_cast<double>(At) / Take.Rate;
            const double toneT = t - Take.LeadInSeconds;
            double x = 0;
            if (toneT >= 0 && toneT < Take.Seconds) {
                double speed = 1 + Take.ErrorPercent / 100 + Take.DriftPercentPerMinute / 100 * toneT / 60;
                for (const Modulation& m : Take.Modulations) {
                    speed += m.PeakPercent / 100 * std::sin(2 * Pi * m.Hz * toneT + m.Phase);
                }
                Phase += 2 * Pi * Take.ToneHz * speed / Take.Rate;
                if (Phase > 2 * Pi) {
                    Phase -= 2 * Pi;
                }
                x = Take.Level * std::sin(Phase);
            }
            if (Take.NoiseRms > 0) {
                x += Take.NoiseRms * noise(Random);
            }
            for (const Click& click : Take.Clicks) {
                const double after = (t - click.Seconds) * Take.Rate;
                if (after >= 0 && after < 40) {
                    x += click.Height * std::exp(-after / 6) * (static_cast<int>(after) % 2 == 0 ? 1 : -0.6);
                }
            }
            for (int c = 0; c < Take.Channels; ++c) {
                block.push_back(static_cast<float>(Quantised(c == 0 ? x : 0.8 * x)));
            }
        }
        return block;
    }

private:
    double Quantised(double x) const {
        if (Take.Bits == 0) {
            return x;
        }
        const double full = std::ldexp(1.0, Take.Bits - 1);
        return std::clamp(std::round(x * full), -full, full - 1) / full;
    }

    ToneTake Take;
    std::mt19937 Random;
    std::size_t Total = 0;
    std::size_t At = 0;
    double Phase = 0;
};

} // namespace speed_test
