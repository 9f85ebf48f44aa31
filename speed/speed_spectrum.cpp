#include "speed/speed_spectrum.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <kissfft.hh>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double LowestHz = 0.25;
constexpr double HighestHz = 100;
constexpr int ChartSteps = 320;

// The largest length up to `n` made of the factors 2, 3 and 5, which the FFT does quickly.
std::size_t SmoothLength(std::size_t n) {
    std::size_t best = 1;
    for (std::size_t a = 1; a <= n; a *= 2) {
        for (std::size_t b = a; b <= n; b *= 3) {
            for (std::size_t c = b; c <= n; c *= 5) {
                best = std::max(best, c);
            }
        }
    }
    return best;
}

// The Hann window's response to a line `delta` bins from a bin, relative to a line on it.
double HannShape(double delta) {
    if (std::fabs(delta) < 1e-9) {
        return 1;
    }
    return std::fabs(std::sin(Pi * delta) / (Pi * delta) / (1 - delta * delta));
}

} // namespace

SpectrumAnalysis AnalyseDeviationSpectrum(std::span<const float> deviation, double rate,
                                          const std::function<double(double)>& gain) {
    SpectrumAnalysis analysis;
    const std::size_t n = SmoothLength(deviation.size());
    if (n < 256) {
        return analysis;
    }
    std::vector<std::complex<double>> in(n);
    double mean = 0;
    for (std::size_t i = 0; i < n; ++i) {
        mean += deviation[i];
    }
    mean /= static_cast<double>(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * Pi * static_cast<double>(i) / static_cast<double>(n));
        in[i] = {w * (deviation[i] - mean), 0};
    }
    std::vector<std::complex<double>> out(n);
    kissfft<double>(n, false).transform(in.data(), out.data());
    const double binHz = rate / static_cast<double>(n);
    const std::size_t last = std::min(n / 2 - 3, static_cast<std::size_t>(std::min(HighestHz, 0.4 * rate) / binHz));
    const std::size_t first = std::max<std::size_t>(3, static_cast<std::size_t>(std::ceil(LowestHz / binHz)));
    // A line of peak amplitude A on a bin shows as A N / 4 through the Hann window.
    const auto amplitude = [&](std::size_t k) {
        return 4 * std::abs(out[k]) / static_cast<double>(n) / gain(static_cast<double>(k) * binHz);
    };
    if (first >= last) {
        return analysis;
    }
    const double logLow = std::log(LowestHz);
    const double logHigh = std::log(static_cast<double>(last) * binHz);
    std::vector<SpeedSpectrumPoint> steps(ChartSteps);
    for (std::size_t k = first; k <= last; ++k) {
        const double hz = static_cast<double>(k) * binHz;
        const int step =
            std::clamp(static_cast<int>((std::log(hz) - logLow) / (logHigh - logLow) * ChartSteps), 0, ChartSteps - 1);
        const double value = amplitude(k) * 100;
        SpeedSpectrumPoint& point = steps[static_cast<std::size_t>(step)];
        if (point.Hz == 0 || value > point.Percent) {
            point = {static_cast<float>(hz), static_cast<float>(value)};
        }
    }
    for (const SpeedSpectrumPoint& point : steps) {
        if (point.Hz > 0) {
            analysis.Lines.push_back(point);
        }
    }
    // A line at the top of the range may peak a bin or two above it.
    const std::size_t lastPeak = std::min(n / 2 - 3, last + 2);
    for (std::size_t k = first; k <= lastPeak; ++k) {
        const double here = std::abs(out[k]);
        bool peak = true;
        for (std::size_t j = k - 2; j <= k + 2 && peak; ++j) {
            peak = j == k || std::abs(out[j]) < here;
        }
        if (!peak) {
            continue;
        }
        const bool up = std::abs(out[k + 1]) > std::abs(out[k - 1]);
        const double ratio = std::abs(out[up ? k + 1 : k - 1]) / here;
        const double delta = (up ? 1 : -1) * std::max(0.0, (2 * ratio - 1) / (ratio + 1));
        const double hz = (static_cast<double>(k) + delta) * binHz;
        if (hz > HighestHz * 1.01) {
            continue;
        }
        const double percent = 4 * here / static_cast<double>(n) / HannShape(delta) / gain(hz) * 100;
        analysis.Peaks.push_back({hz, percent});
    }
    std::sort(analysis.Peaks.begin(), analysis.Peaks.end(),
              [](const SpectrumPeak& a, const SpectrumPeak& b) { return a.Percent > b.Percent; });
    if (!analysis.Peaks.empty()) {
        const double least = std::max(LeastComponentPercent, analysis.Peaks.front().Percent * LeastComponentShare);
        std::erase_if(analysis.Peaks, [&](const SpectrumPeak& p) { return p.Percent < least; });
        if (analysis.Peaks.size() > MostComponents) {
            analysis.Peaks.resize(MostComponents);
        }
    }
    return analysis;
}
