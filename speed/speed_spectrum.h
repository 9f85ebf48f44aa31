#pragma once

// The spectrum of the speed deviation: a Hann-windowed FFT of the buffered deviation, its strongest lines found
// between the bins by the window's own shape.

#include "speed/speed_report.h"

#include <functional>
#include <span>
#include <vector>

struct SpectrumPeak {
    double Hz = 0;
    double Percent = 0;
};

struct SpectrumAnalysis {
    // For the chart: the largest line in each of a few hundred logarithmic steps up to 100 Hz.
    std::vector<SpeedSpectrumPoint> Lines;
    // The strongest peaks, strongest first.
    std::vector<SpectrumPeak> Peaks;
};

// `deviation` holds the deviation as a fraction of the speed at `rate` samples a second; `gain` is what the chain
// before the buffer did to a component of a frequency, which the amplitudes are divided by.
SpectrumAnalysis AnalyseDeviationSpectrum(std::span<const float> deviation, double rate,
                                          const std::function<double(double)>& gain);

// The strongest peaks kept, and the least amplitude of one as a share of the strongest.
inline constexpr std::size_t MostComponents = 8;
inline constexpr double LeastComponentShare = 0.05;
inline constexpr double LeastComponentPercent = 0.003;
