#pragma once

// The frequency weightings of the speed deviation: the IEC 60386 / AES6 weighting (0 dB at 4 Hz, the ear's
// sensitivity to pitch wobble) and the unweighted band, both as cascades of second-order digital sections run at
// the deviation rate. Portable, plain arithmetic.

#include <array>
#include <span>
#include <utility>
#include <vector>

// A point of the standard's weighting table: frequency of the deviation in Hz, gain in dB re 4 Hz.
struct WeightingPoint {
    double Hz = 0;
    double Db = 0;
};

// The table as the standard gives it, 0.1 Hz to 200 Hz.
std::span<const WeightingPoint> FlutterWeightingTable();

// How far the filter may lie from a table point: the standard's graph is toleranced more loosely at its ends.
double FlutterWeightingToleranceDb(double hz);

// One second-order section, direct form II transposed, in double: the weighting's lowest pole sits near 0.4 Hz at a
// deviation rate of 1 kHz, where single precision would put it elsewhere.
struct Biquad {
    double B0 = 1, B1 = 0, B2 = 0, A1 = 0, A2 = 0;
    double S1 = 0, S2 = 0;

    double Step(double x) {
        const double y = B0 * x + S1;
        S1 = B1 * x - A1 * y + S2;
        S2 = B2 * x - A2 * y;
        return y;
    }
    // The gain of the section at `hz` for a sample rate `rate`.
    double Gain(double hz, double rate) const;
};

class DeviationFilter {
public:
    DeviationFilter() = default;
    explicit DeviationFilter(std::vector<Biquad> sections, double rate) : Sections(std::move(sections)), Rate(rate) {}

    double Step(double x) {
        for (Biquad& section : Sections) {
            x = section.Step(x);
        }
        return x;
    }
    void Reset() {
        for (Biquad& section : Sections) {
            section.S1 = section.S2 = 0;
        }
    }
    double Gain(double hz) const;

private:
    std::vector<Biquad> Sections;
    double Rate = 1000;
};

// The IEC 60386 weighting at a deviation sample rate (about 1 kHz; any rate above 450 Hz keeps it within the
// tolerances).
DeviationFilter FlutterWeightingFilter(double rate);
// The unweighted band: 0.2 Hz to 200 Hz, each edge a second-order Butterworth slope, so that drift below the
// once-per-revolution swing is left out and the demodulator's own noise above the band too.
DeviationFilter UnweightedDeviationFilter(double rate);

inline constexpr double UnweightedLowHz = 0.2;
inline constexpr double UnweightedHighHz = 200;
