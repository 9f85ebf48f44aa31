#pragma once

// The tone taken down to complex baseband at the deviation rate (about 1 kHz) in two stages, each a Kaiser-windowed
// low-pass evaluated only where its output is kept: first a band-pass around the carrier straight on the real
// samples down to about 8 kHz, so that no sample is mixed one by one, then the narrow low-pass that keeps 250 Hz
// of deviation and shuts out the demodulator's image at twice the carrier, even for a carrier of 300 Hz.

#include <complex>
#include <cstddef>
#include <span>
#include <vector>

struct BasebandSample {
    std::complex<double> Z;
    // The sum of the squares of the input samples it stands for, for judging how much of the sound is tone.
    double Squares = 0;
};

class ToneDecimator {
public:
    ToneDecimator() = default;
    // A decimator from `rate` by `decimation` in all for a tone of `carrierHz`.
    ToneDecimator(double rate, int decimation, double carrierHz);

    // Takes mono samples and appends the baseband samples they complete; blocks of any size give the same.
    void Feed(std::span<const float> samples, std::vector<BasebandSample>& out);
    // How far, in input samples, a baseband sample lags the input sample that completed it.
    double DelaySamples() const;
    // The length of the whole chain's response to one input sample, in input samples.
    double ResponseSamples() const;
    // The chain's gain for a sound `offsetHz` from the carrier (negative: below it), before decimation.
    double Gain(double offsetHz) const;
    std::size_t Size() const;
    int FirstDecimation() const { return First; }

private:
    double Rate = 48000;
    double CarrierHz = 1000;
    int First = 1;
    int Second = 1;
    // Stage one: complex taps, oldest first, padded at the old end to whole lanes; its input as a straight run.
    std::vector<float> TapsRe;
    std::vector<float> TapsIm;
    std::size_t FirstLength = 1;
    std::vector<float> Line;
    std::size_t Consumed = 0;
    std::size_t History = 0;
    std::complex<double> Rotor{1, 0};
    std::complex<double> RotorStep{1, 0};
    int RotorSteps = 0;
    // Stage two: real taps on the complex stage-one output kept twice over in a ring, so one straight run is read.
    std::vector<float> Taps;
    std::size_t SecondLength = 1;
    std::vector<float> RingRe;
    std::vector<float> RingIm;
    std::size_t RingAt = 0;
    int Phase = 0;
    double Squares = 0;
};
