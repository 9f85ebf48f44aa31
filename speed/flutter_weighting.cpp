#include "speed/flutter_weighting.h"

#include <cmath>
#include <complex>

namespace {

constexpr double Pi = 3.14159265358979323846;

// clang-format off
constexpr WeightingPoint Table[] = {
    {0.1, -48.0}, {0.2, -30.6}, {0.315, -19.7}, {0.4, -15.0}, {0.63, -8.4}, {0.8, -6.0}, {1, -4.2}, {1.6, -1.8},
    {2, -0.9},    {4, 0.0},     {6.3, -0.9},    {10, -2.1},   {20, -5.9},   {40, -10.4}, {63, -14.2}, {100, -17.3},
    {200, -23.0},
};
// clang-format on

// The weighting as corner frequencies of a digital design made for 1 kHz, fitted by least squares to the table in dB
// (largest departure 0.31 dB): a third-order high-pass (one real pole and a pair at 0.439 Hz, Q 0.664) and two
// shelves above 4 Hz. Each corner is given as the digital frequency it has at 1 kHz; at another rate it is
// prewarped to keep that frequency, so the response is the same at any deviation rate near 1 kHz.
constexpr double DesignRate = 1000;
constexpr double RealPoleHz = 1.54667881;
constexpr double PairHz = 0.4386332;
constexpr double PairQ = 0.6643092;
constexpr double FirstShelfPoleHz = 8.36211519;
constexpr double FirstShelfZeroHz = 319.62548462;
constexpr double SecondShelfPoleHz = 31.74069217;
constexpr double SecondShelfZeroHz = 23.45864465;

// The analog corner (rad/s) that the bilinear transform at `rate` maps onto the frequency the corner had at the
// design rate.
double Prewarped(double hz, double rate) {
    const double digital = DesignRate / Pi * std::atan(Pi * hz / DesignRate);
    return 2 * rate * std::tan(Pi * digital / rate);
}

// First order (b1 s + b0) / (a1 s + a0) through the bilinear transform, s = 2 rate (z - 1) / (z + 1).
Biquad FirstOrder(double b1, double b0, double a1, double a0, double rate) {
    const double k = 2 * rate;
    const double norm = a1 * k + a0;
    Biquad q;
    q.B0 = (b1 * k + b0) / norm;
    q.B1 = (b0 - b1 * k) / norm;
    q.A1 = (a0 - a1 * k) / norm;
    return q;
}

// Second order (b2 s^2 + b1 s + b0) / (s^2 + a1 s + a0) through the bilinear transform.
Biquad SecondOrder(double b2, double b1, double b0, double a1, double a0, double rate) {
    const double k = 2 * rate;
    const double norm = k * k + a1 * k + a0;
    Biquad q;
    q.B0 = (b2 * k * k + b1 * k + b0) / norm;
    q.B1 = (2 * b0 - 2 * b2 * k * k) / norm;
    q.B2 = (b2 * k * k - b1 * k + b0) / norm;
    q.A1 = (2 * a0 - 2 * k * k) / norm;
    q.A2 = (k * k - a1 * k + a0) / norm;
    return q;
}

// A Butterworth corner for the unweighted band, prewarped at its own frequency.
Biquad ButterworthSection(double hz, double rate, bool highPass) {
    const double w = 2 * rate * std::tan(Pi * hz / rate);
    return highPass ? SecondOrder(1, 0, 0, std::sqrt(2.0) * w, w * w, rate)
                    : SecondOrder(0, 0, w * w, std::sqrt(2.0) * w, w * w, rate);
}

} // namespace

std::span<const WeightingPoint> FlutterWeightingTable() {
    return Table;
}

double FlutterWeightingToleranceDb(double hz) {
    return hz < 0.4 || hz > 100 ? 2.0 : 1.0;
}

double Biquad::Gain(double hz, double rate) const {
    const std::complex<double> z1 = std::polar(1.0, -2 * Pi * hz / rate);
    const std::complex<double> z2 = z1 * z1;
    return std::abs((B0 + B1 * z1 + B2 * z2) / (1.0 + A1 * z1 + A2 * z2));
}

double DeviationFilter::Gain(double hz) const {
    double gain = 1;
    for (const Biquad& section : Sections) {
        gain *= section.Gain(hz, Rate);
    }
    return gain;
}

DeviationFilter FlutterWeightingFilter(double rate) {
    const double real = Prewarped(RealPoleHz, rate);
    const double pair = Prewarped(PairHz, rate);
    const double p1 = Prewarped(FirstShelfPoleHz, rate);
    const double z1 = Prewarped(FirstShelfZeroHz, rate);
    const double p2 = Prewarped(SecondShelfPoleHz, rate);
    const double z2 = Prewarped(SecondShelfZeroHz, rate);
    std::vector<Biquad> sections = {
        FirstOrder(1, 0, 1, real, rate),
        SecondOrder(1, 0, 0, pair / PairQ, pair * pair, rate),
        // The two shelves, each (1 + s/zero) / (1 + s/pole).
        FirstOrder(1 / z1, 1, 1 / p1, 1, rate),
        FirstOrder(1 / z2, 1, 1 / p2, 1, rate),
    };
    // 0 dB at 4 Hz, as the table is referred.
    const double scale = 1 / DeviationFilter(sections, rate).Gain(4);
    sections[0].B0 *= scale;
    sections[0].B1 *= scale;
    return DeviationFilter(std::move(sections), rate);
}

DeviationFilter UnweightedDeviationFilter(double rate) {
    return DeviationFilter(
        {ButterworthSection(UnweightedLowHz, rate, true), ButterworthSection(UnweightedHighHz, rate, false)}, rate);
}
