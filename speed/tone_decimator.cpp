#include "speed/tone_decimator.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;

// Flat to 250 Hz of deviation, so the unweighted band's 200 Hz edge is its own filter's and not this one's.
constexpr double PassHz = 250;
// Everything that would land in the band, the image included, is held 90 dB down: an image at that level moves
// the deviation by less than 0.0001 %.
constexpr double StopDb = 90;
// The image of the carrier's frequency modulation spreads a little about twice the carrier.
constexpr double ImageMarginHz = 50;
// Stage one ends at this rate or just above it: lower would lengthen stage two, higher stage one, for no gain.
constexpr double LeastFirstRate = 8000;
// Taps are evaluated in lanes of eight, which the compiler keeps in vector registers.
constexpr std::size_t Lanes = 8;

double BesselI0(double x) {
    double sum = 1;
    double term = 1;
    for (int k = 1; k < 60; ++k) {
        term *= (x / (2 * k)) * (x / (2 * k));
        sum += term;
        if (term < 1e-17 * sum) {
            break;
        }
    }
    return sum;
}

// A Kaiser-windowed low-pass with unit gain at DC, odd length, oldest tap first.
std::vector<double> KaiserLowPass(double rate, double passHz, double stopHz) {
    const double width = 2 * Pi * (stopHz - passHz) / rate;
    int count = static_cast<int>(std::ceil((StopDb - 7.95) / (2.285 * width))) + 1;
    count |= 1;
    const double beta = 0.1102 * (StopDb - 8.7);
    const double fc = 0.5 * (passHz + stopHz) / rate;
    const int middle = count / 2;
    std::vector<double> taps(static_cast<std::size_t>(count));
    double sum = 0;
    for (int i = 0; i < count; ++i) {
        const double n = i - middle;
        const double sinc = n == 0 ? 2 * fc : std::sin(2 * Pi * fc * n) / (Pi * n);
        const double r = middle == 0 ? 0 : n / middle;
        const double window = BesselI0(beta * std::sqrt(std::max(0.0, 1 - r * r))) / BesselI0(beta);
        taps[static_cast<std::size_t>(i)] = sinc * window;
        sum += sinc * window;
    }
    for (double& tap : taps) {
        tap /= sum;
    }
    return taps;
}

std::size_t Padded(std::size_t length) {
    return (length + Lanes - 1) / Lanes * Lanes;
}

// |sum of taps e^(-j w lag)|, taps oldest first: the gain for a sound of `hz`.
double Response(std::span<const float> re, std::span<const float> im, double hz, double rate) {
    std::complex<double> sum = 0;
    for (std::size_t k = 0; k < re.size(); ++k) {
        const std::complex<double> tap(re[k], im.empty() ? 0.0 : im[k]);
        sum += tap * std::polar(1.0, -2 * Pi * hz / rate * static_cast<double>(re.size() - 1 - k));
    }
    return std::abs(sum);
}

struct Sums {
    float A = 0;
    float B = 0;
};

// Two tap sets on one run of samples, or one tap set on two runs, of a length in whole lanes of eight: each sum
// kept as two groups of four, a shape the compiler turns into vector registers without any flag for it.
Sums DotTwice(const float* a, const float* b, const float* x, std::size_t length) {
    float a0[4] = {}, a1[4] = {}, b0[4] = {}, b1[4] = {};
    for (std::size_t k = 0; k < length; k += Lanes) {
        for (std::size_t l = 0; l < 4; ++l) {
            a0[l] += a[k + l] * x[k + l];
            b0[l] += b[k + l] * x[k + l];
        }
        for (std::size_t l = 0; l < 4; ++l) {
            a1[l] += a[k + 4 + l] * x[k + 4 + l];
            b1[l] += b[k + 4 + l] * x[k + 4 + l];
        }
    }
    return {((a0[0] + a1[0]) + (a0[1] + a1[1])) + ((a0[2] + a1[2]) + (a0[3] + a1[3])),
            ((b0[0] + b1[0]) + (b0[1] + b1[1])) + ((b0[2] + b1[2]) + (b0[3] + b1[3]))};
}

Sums DotEach(const float* taps, const float* x, const float* y, std::size_t length) {
    float x0[4] = {}, x1[4] = {}, y0[4] = {}, y1[4] = {};
    for (std::size_t k = 0; k < length; k += Lanes) {
        for (std::size_t l = 0; l < 4; ++l) {
            x0[l] += taps[k + l] * x[k + l];
            y0[l] += taps[k + l] * y[k + l];
        }
        for (std::size_t l = 0; l < 4; ++l) {
            x1[l] += taps[k + 4 + l] * x[k + 4 + l];
            y1[l] += taps[k + 4 + l] * y[k + 4 + l];
        }
    }
    return {((x0[0] + x1[0]) + (x0[1] + x1[1])) + ((x0[2] + x1[2]) + (x0[3] + x1[3])),
            ((y0[0] + y1[0]) + (y0[1] + y1[1])) + ((y0[2] + y1[2]) + (y0[3] + y1[3]))};
}

} // namespace

ToneDecimator::ToneDecimator(double rate, int decimation, double carrierHz) : Rate(rate), CarrierHz(carrierHz) {
    const int total = std::max(1, decimation);
    for (int d = total; d >= 1; --d) {
        if (total % d == 0 && rate / d >= LeastFirstRate) {
            First = d;
            break;
        }
    }
    Second = total / First;
    const double firstRate = rate / First;
    const double outputRate = rate / total;
    const double stopHz = std::min(outputRate - PassHz, 2 * carrierHz - ImageMarginHz);

    // Stage one: the low-pass moved up to the carrier, h[k] e^(j w lag), so that the real samples need no mixing;
    // the rotor turns the output down to baseband once per output instead.
    std::vector<double> first = {1.0};
    if (First > 1) {
        first = KaiserLowPass(rate, PassHz, firstRate - stopHz);
    }
    FirstLength = first.size();
    const std::size_t padded = Padded(FirstLength);
    TapsRe.assign(padded, 0);
    TapsIm.assign(padded, 0);
    const double w = 2 * Pi * carrierHz / rate;
    for (std::size_t i = 0; i < FirstLength; ++i) {
        const double lag = static_cast<double>(FirstLength - 1 - i);
        const std::complex<double> tap = first[i] * std::polar(1.0, w * lag);
        TapsRe[padded - FirstLength + i] = static_cast<float>(tap.real());
        TapsIm[padded - FirstLength + i] = static_cast<float>(tap.imag());
    }
    RotorStep = std::polar(1.0, -w * First);
    History = std::max<std::size_t>(padded, static_cast<std::size_t>(First)) - 1;
    Line.assign(History, 0);
    Consumed = History + static_cast<std::size_t>(First) - 1;

    const std::vector<double> second = KaiserLowPass(firstRate, PassHz, stopHz);
    SecondLength = second.size();
    Taps.assign(Padded(SecondLength), 0);
    for (std::size_t i = 0; i < SecondLength; ++i) {
        Taps[Taps.size() - SecondLength + i] = static_cast<float>(second[i]);
    }
    RingRe.assign(2 * Taps.size(), 0);
    RingIm.assign(2 * Taps.size(), 0);
}

void ToneDecimator::Feed(std::span<const float> samples, std::vector<BasebandSample>& out) {
    Line.insert(Line.end(), samples.begin(), samples.end());
    const std::size_t length = TapsRe.size();
    const std::size_t step = static_cast<std::size_t>(First);
    const std::size_t ring = Taps.size();
    // Consumed is the index of the newest sample of the next stage-one output's window.
    for (; Consumed < Line.size(); Consumed += step) {
        const float* x = Line.data() + Consumed + 1 - length;
        const Sums sums = DotTwice(TapsRe.data(), TapsIm.data(), x, length);
        float squares = 0;
        for (const float* s = Line.data() + Consumed + 1 - step; s <= Line.data() + Consumed; ++s) {
            squares += *s * *s;
        }
        Squares += squares;
        const double sumRe = sums.A;
        const double sumIm = sums.B;
        const std::complex<double> v(Rotor.real() * sumRe - Rotor.imag() * sumIm,
                                     Rotor.real() * sumIm + Rotor.imag() * sumRe);
        Rotor = {Rotor.real() * RotorStep.real() - Rotor.imag() * RotorStep.imag(),
                 Rotor.real() * RotorStep.imag() + Rotor.imag() * RotorStep.real()};
        if (++RotorSteps == 1024) {
            Rotor /= std::abs(Rotor);
            RotorSteps = 0;
        }

        RingRe[RingAt] = RingRe[RingAt + ring] = static_cast<float>(v.real());
        RingIm[RingAt] = RingIm[RingAt + ring] = static_cast<float>(v.imag());
        RingAt = RingAt + 1 == ring ? 0 : RingAt + 1;
        if (++Phase < Second) {
            continue;
        }
        Phase = 0;
        // The newest window lies at RingAt .. RingAt + ring - 1, oldest first.
        const float* windowRe = RingRe.data() + RingAt;
        const float* windowIm = RingIm.data() + RingAt;
        const Sums z = DotEach(Taps.data(), windowRe, windowIm, ring);
        const double zRe = z.A;
        const double zIm = z.B;
        out.push_back({{zRe, zIm}, Squares});
        Squares = 0;
    }
    // Keep what the next window and its squares reach back to.
    const std::size_t keepFrom = Consumed - History;
    Line.erase(Line.begin(), Line.begin() + static_cast<std::ptrdiff_t>(keepFrom));
    Consumed -= keepFrom;
}

double ToneDecimator::DelaySamples() const {
    return 0.5 * static_cast<double>(FirstLength - 1) + 0.5 * static_cast<double>(SecondLength - 1) * First;
}

double ToneDecimator::ResponseSamples() const {
    return static_cast<double>(FirstLength) + static_cast<double>(SecondLength - 1) * First;
}

double ToneDecimator::Gain(double offsetHz) const {
    const double firstRate = Rate / First;
    return Response(TapsRe, TapsIm, CarrierHz + offsetHz, Rate) * Response(Taps, {}, offsetHz, firstRate);
}

std::size_t ToneDecimator::Size() const {
    return TapsRe.size() + TapsIm.size() + Line.capacity() + Taps.size() + RingRe.size() + RingIm.size();
}
