#include "speed/speed_meter.h"

#include "speed/flutter_weighting.h"
#include "speed/speed_advice.h"
#include "speed/speed_spectrum.h"
#include "speed/tone_decimator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <kissfft.hh>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;

// The deviation is taken about a thousand times a second: enough for flutter up to 200 Hz, and few enough samples
// for the per-sample work after the demodulator to cost nothing beside the mixing.
constexpr double DeviationRateTarget = 1000;
// Frames mixed to one channel at a time: a bounded buffer whatever block the caller feeds.
constexpr std::size_t ChunkFrames = 4096;
// A frame is the unit the meter judges steady or not.
constexpr int FrameSamples = 50;
// A tone is steady when at least this share of the recording's power lies within the demodulator's band ...
constexpr double LeastToneShare = 0.5;
// ... and it is louder than this mean square (about -70 dBFS): below it a phone's noise floor passes for a tone.
constexpr double LeastToneLevel = 1e-7;
// A stretch of less than this much steady tone is bridged as a click or a dropout; a longer one ends the stretch.
constexpr double LongestBridgeSeconds = 0.3;
constexpr int RelearnAfterFrames = 3;
// The filters settle on the first seconds of a stretch (the unweighted band's 0.2 Hz edge takes longest); they
// are not counted.
constexpr double SettleSeconds = 2.5;
// Buffers that bound the meter's memory whatever the recording's length.
constexpr std::size_t TraceCapacity = 4096;
constexpr std::size_t SpectrumCapacity = 1 << 16;
constexpr int SpectrumDecimation = 4;
constexpr std::size_t FoldBins = 120;
constexpr std::size_t PendingCapacity = 512;
// |deviation| in %, logarithmic bins from 1e-5 % to 100 %.
constexpr double HistogramLeast = 1e-5;
constexpr int HistogramBinsPerDecade = 600;
constexpr int HistogramDecades = 7;

constexpr double StandardTones[] = {3150, 3000, 1000};

// The value |x| exceeds a given share of the time, from logarithmic bins.
class Histogram {
public:
    Histogram() : Counts(static_cast<std::size_t>(HistogramBinsPerDecade * HistogramDecades) + 1, 0) {}

    void Add(double magnitude) {
        ++Total;
        if (!(magnitude > HistogramLeast)) {
            ++Counts[0];
            return;
        }
        const double bin = std::log10(magnitude / HistogramLeast) * HistogramBinsPerDecade;
        const std::size_t index = std::min(Counts.size() - 1, static_cast<std::size_t>(bin) + 1);
        ++Counts[index];
    }

    double Exceeded(double share) const {
        if (Total == 0) {
            return 0;
        }
        const double target = share * static_cast<double>(Total);
        double above = 0;
        for (std::size_t i = Counts.size(); i-- > 1;) {
            const double next = above + static_cast<double>(Counts[i]);
            if (next >= target) {
                // Within the bin, log-linearly: the part of it above the value holds what is still missing.
                const double fraction = Counts[i] == 0 ? 0 : (target - above) / static_cast<double>(Counts[i]);
                const double upper = static_cast<double>(i) / HistogramBinsPerDecade;
                return HistogramLeast * std::pow(10.0, upper - fraction / HistogramBinsPerDecade);
            }
            above = next;
        }
        return HistogramLeast;
    }

    std::size_t Size() const { return Counts.size(); }

private:
    std::vector<std::uint64_t> Counts;
    std::uint64_t Total = 0;
};

// One steady stretch of tone, its figures gathered as it goes.
struct Segment {
    double Rate = 1000;
    double SamplesPerRevolution = 1800;
    long Settle = 1000;
    long Count = 0;
    double First = 0;
    double StartSeconds = 0;
    double CountedFromSeconds = 0;
    double LastSeconds = 0;
    DeviationFilter Weighted;
    DeviationFilter Unweighted;
    Histogram WeightedHistogram;
    Histogram UnweightedHistogram;
    double WeightedSquares = 0;
    long Counted = 0;
    // Whole revolutions: the one in progress, then the sums over the completed ones and their line fit.
    long Revolutions = 0;
    double RevolutionSum = 0;
    long RevolutionCount = 0;
    double WholeSum = 0;
    long WholeCount = 0;
    double WholeEndSeconds = 0;
    double FitN = 0, FitT = 0, FitY = 0, FitTT = 0, FitTY = 0;
    std::vector<double> FoldSum = std::vector<double>(FoldBins, 0);
    std::vector<long> FoldCount = std::vector<long>(FoldBins, 0);
    std::vector<float> Spectrum;
    double SpectrumSum = 0;
    int SpectrumTaken = 0;
    std::vector<SpeedTracePoint> Trace;
    long TraceStride = 10;
    long TraceTaken = 0;
    int Bridged = 0;

    Segment(double rate, double samplesPerRevolution)
        : Rate(rate), SamplesPerRevolution(samplesPerRevolution), Settle(std::lround(SettleSeconds * rate)),
          Weighted(FlutterWeightingFilter(rate)), Unweighted(UnweightedDeviationFilter(rate)) {
        Trace.reserve(TraceCapacity);
    }

    void Add(double d, double seconds) {
        if (Count == 0) {
            // The filters start from the first value, not from a step up to it.
            First = d;
            StartSeconds = seconds;
        }
        ++Count;
        LastSeconds = seconds;
        const double w = Weighted.Step(d - First);
        const double u = Unweighted.Step(d - First);
        if (Count <= Settle) {
            return;
        }
        const long counted = Counted++;
        if (counted == 0) {
            CountedFromSeconds = seconds - 0.5 / Rate;
        }
        WeightedHistogram.Add(std::fabs(w) * 100);
        UnweightedHistogram.Add(std::fabs(u) * 100);
        WeightedSquares += w * w;

        RevolutionSum += d;
        ++RevolutionCount;
        if (static_cast<double>(counted + 1) >=
            std::round(static_cast<double>(Revolutions + 1) * SamplesPerRevolution)) {
            const double mean = RevolutionSum / static_cast<double>(RevolutionCount);
            const double middle = seconds - 0.5 * static_cast<double>(RevolutionCount) / Rate;
            FitN += 1;
            FitT += middle;
            FitY += mean;
            FitTT += middle * middle;
            FitTY += middle * mean;
            WholeSum += RevolutionSum;
            WholeCount += RevolutionCount;
            WholeEndSeconds = seconds + 0.5 / Rate;
            ++Revolutions;
            RevolutionSum = 0;
            RevolutionCount = 0;
        }
        const double turn = std::fmod(static_cast<double>(counted) / SamplesPerRevolution, 1.0);
        const std::size_t bin = std::min(FoldBins - 1, static_cast<std::size_t>(turn * FoldBins));
        FoldSum[bin] += u;
        ++FoldCount[bin];

        SpectrumSum += u;
        if (++SpectrumTaken == SpectrumDecimation) {
            if (Spectrum.size() < SpectrumCapacity) {
                Spectrum.push_back(static_cast<float>(SpectrumSum / SpectrumDecimation));
            }
            SpectrumSum = 0;
            SpectrumTaken = 0;
        }
        if (++TraceTaken >= TraceStride) {
            TraceTaken = 0;
            Trace.push_back({static_cast<float>(seconds), static_cast<float>(u * 100), static_cast<float>(w * 100)});
            if (Trace.size() == TraceCapacity) {
                // Full: every other point goes, and the points come half as often from now on.
                std::size_t kept = 0;
                for (std::size_t i = 0; i < Trace.size(); i += 2) {
                    Trace[kept++] = Trace[i];
                }
                Trace.resize(kept);
                TraceStride *= 2;
            }
        }
    }
};

// A deviation sample waiting for its frame to be judged and for the clicks after it.
struct PendingSample {
    double Deviation = 0;
    double Seconds = 0;
    bool Bad = false;
    double Amplitude = 0;
    double Step = 0;
};

std::size_t AcquisitionLength(double rate) {
    std::size_t length = 1024;
    while (static_cast<double>(length) < rate / 4) {
        length *= 2;
    }
    return length;
}

std::string Fixed(double value, int decimals) {
    return SpeedNumberText(value, decimals);
}

} // namespace

struct SpeedMeter::State {
    SpeedMeterSettings Settings;
    double Rate = 48000;
    int Channels = 1;
    int Decimation = 48;
    double DeviationRate = 1000;
    std::uint64_t Frames = 0;
    std::vector<float> Carry;
    float MixScale = 1;
    double Peak = 0;
    std::uint64_t ClippedSamples = 0;
    // The mean square of the last stretch judged (acquisition block or frame), for the live reading.
    double LastLevel = 0;
    bool LevelKnown = false;

    // Before the tone is found.
    std::vector<float> Acquisition;
    bool Locked = false;
    std::uint64_t LockFrame = 0;
    double CarrierHz = 0;
    double LockNominalHz = 0;

    // The demodulator.
    std::vector<float> Mono;
    ToneDecimator Decimator;
    std::vector<BasebandSample> Baseband;
    std::uint64_t Outputs = 0;
    std::complex<double> Previous{0, 0};
    bool HavePrevious = false;

    // Judging frames and clicks.
    double FrameWide = 0;
    double FrameNarrow = 0;
    double FrameDeviation = 0;
    int FrameFilled = 0;
    double Envelope = 0;
    double MeanStep = 0;
    double LastDeviation = 0;
    std::size_t LearningSamples = 2 * FrameSamples;
    bool Learnt = false;
    int UnsteadyFrames = 0;
    std::vector<double> LearntAmplitudes;
    std::vector<double> LearntSteps;
    int GuardAfter = 0;
    int Guard = 8;
    std::vector<PendingSample> Pending;

    // Bridging and the stretches.
    bool InSegment = false;
    double LastGood = 0;
    std::vector<PendingSample> Gap;
    std::optional<Segment> Current;
    std::optional<Segment> Best;
    double SamplesPerRevolution = 1800;

    void Feed(std::span<const float> interleaved);
    void MixFrames(const float* frames, std::size_t count);
    void Take(std::span<const float> mono);
    void TryAcquire();
    void Demodulate(std::span<const float> mono);
    void Deviation(std::complex<double> z);
    void JudgeFrame();
    void Release(const PendingSample& sample);
    void EndSegment();
    void Flush();
    Result<SpeedReport> Report();
};

Result<SpeedMeter> SpeedMeter::Create(const SpeedMeterSettings& settings) {
    if (!(settings.SampleRate >= LeastSampleRate && settings.SampleRate <= MostSampleRate)) {
        return Failure{"the recording's sample rate must lie between 8 and 192 kHz, not " +
                       Fixed(settings.SampleRate, 0) + " Hz"};
    }
    if (settings.Channels < 1 || settings.Channels > 64) {
        return Failure{"the recording must have 1 to 64 channels, not " + std::to_string(settings.Channels)};
    }
    if (settings.Channel && (*settings.Channel < 0 || *settings.Channel >= settings.Channels)) {
        return Failure{"the recording has no channel " + std::to_string(*settings.Channel + 1)};
    }
    if (settings.NominalToneHz) {
        const double tone = *settings.NominalToneHz;
        if (!(tone >= LeastToneHz && tone <= MostToneHz)) {
            return Failure{"--tone must be from 300 to 10000 Hz, not " + Fixed(tone, 1)};
        }
        if (tone > 0.42 * settings.SampleRate) {
            return Failure{"--tone " + Fixed(tone, 1) + " Hz cannot be recorded at " + Fixed(settings.SampleRate, 0) +
                           " Hz: the rate must be more than twice the tone"};
        }
    }
    if (!(settings.NominalRpm >= 8 && settings.NominalRpm <= 300)) {
        return Failure{"--rpm must be from 8 to 300 rpm"};
    }
    auto state = std::make_unique<State>();
    state->Settings = settings;
    state->Rate = settings.SampleRate;
    state->Channels = settings.Channels;
    state->MixScale = 1.0f / static_cast<float>(settings.Channels);
    state->Carry.reserve(static_cast<std::size_t>(settings.Channels));
    state->Decimation = std::max(1, static_cast<int>(std::lround(settings.SampleRate / DeviationRateTarget)));
    state->DeviationRate = settings.SampleRate / state->Decimation;
    state->Mono.reserve(ChunkFrames);
    state->Baseband.reserve(ChunkFrames / static_cast<std::size_t>(state->Decimation) + 1);
    state->Acquisition.reserve(AcquisitionLength(settings.SampleRate));
    state->Pending.reserve(PendingCapacity);
    state->LearntAmplitudes.reserve(state->LearningSamples + FrameSamples);
    state->LearntSteps.reserve(state->LearningSamples + FrameSamples);

    state->Gap.reserve(static_cast<std::size_t>(LongestBridgeSeconds * state->DeviationRate) + 2);
    return SpeedMeter(std::move(state));
}

SpeedMeter::SpeedMeter(std::unique_ptr<State> state) : Self(std::move(state)) {}
SpeedMeter::SpeedMeter(SpeedMeter&&) noexcept = default;
SpeedMeter& SpeedMeter::operator=(SpeedMeter&&) noexcept = default;
SpeedMeter::~SpeedMeter() = default;

void SpeedMeter::Feed(std::span<const float> interleaved) {
    Self->Feed(interleaved);
}

double SpeedMeter::SecondsFed() const {
    return static_cast<double>(Self->Frames) / Self->Rate;
}

SpeedMeterSizes SpeedMeter::Sizes() const {
    SpeedMeterSizes sizes;
    sizes.Acquisition = Self->Acquisition.capacity() + Self->Carry.capacity();
    sizes.Filter = Self->Decimator.Size() + Self->Mono.capacity() + 2 * Self->Baseband.capacity();
    sizes.Pending = Self->Pending.capacity() + Self->Gap.capacity();
    for (const std::optional<Segment>* segment : {&Self->Current, &Self->Best}) {
        if (*segment) {
            sizes.Histograms += (*segment)->WeightedHistogram.Size() + (*segment)->UnweightedHistogram.Size();
            sizes.Trace += (*segment)->Trace.capacity();
            sizes.Spectrum += (*segment)->Spectrum.capacity();
            sizes.Fold += (*segment)->FoldSum.size() + (*segment)->FoldCount.size();
        }
    }
    return sizes;
}

SpeedLiveReading SpeedMeter::Live(std::size_t tracePoints) const {
    const State& s = *Self;
    SpeedLiveReading live;
    live.SecondsFed = SecondsFed();
    live.NominalRpm = s.Settings.NominalRpm;
    if (s.Frames == 0) {
        return live;
    }
    const bool weak = s.LevelKnown && !(s.LastLevel > LeastToneLevel);
    if (!s.Locked || !s.InSegment || !s.Current) {
        live.Stage = weak ? SpeedLiveStage::TooWeak : SpeedLiveStage::Searching;
        return live;
    }
    live.ToneHz = s.CarrierHz;
    live.NominalToneHz = s.LockNominalHz;
    const Segment& segment = *s.Current;
    if (segment.Counted == 0) {
        live.Stage = SpeedLiveStage::Settling;
        return live;
    }
    live.Stage = SpeedLiveStage::Measuring;
    // Whole revolutions once there is one, so that the once-per-revolution swing does not move the mean.
    const bool whole = segment.WholeCount > 0;
    const double sum = whole ? segment.WholeSum : segment.RevolutionSum;
    const long count = whole ? segment.WholeCount : segment.RevolutionCount;
    const double mean = count > 0 ? sum / static_cast<double>(count) : 0;
    live.ToneHz = s.CarrierHz * (1 + mean);
    live.ErrorPercent = (live.ToneHz / s.LockNominalHz - 1) * 100;
    live.Weighted2SigmaPercent = segment.WeightedHistogram.Exceeded(0.05);
    live.CountedSeconds = static_cast<double>(segment.Counted) / s.DeviationRate;
    live.Revolutions = static_cast<int>(segment.Revolutions);
    const std::size_t from = segment.Trace.size() > tracePoints ? segment.Trace.size() - tracePoints : 0;
    live.Trace.assign(segment.Trace.begin() + static_cast<std::ptrdiff_t>(from), segment.Trace.end());
    return live;
}

Result<SpeedReport> SpeedMeter::Finish() {
    Self->Flush();
    return Self->Report();
}

void SpeedMeter::State::Feed(std::span<const float> interleaved) {
    std::size_t at = 0;
    const std::size_t channels = static_cast<std::size_t>(Channels);
    if (!Carry.empty()) {
        while (Carry.size() < channels && at < interleaved.size()) {
            Carry.push_back(interleaved[at++]);
        }
        if (Carry.size() < channels) {
            return;
        }
        MixFrames(Carry.data(), 1);
        Carry.clear();
    }
    while (at + channels <= interleaved.size()) {
        const std::size_t count = std::min(ChunkFrames, (interleaved.size() - at) / channels);
        MixFrames(interleaved.data() + at, count);
        at += count * channels;
    }
    Carry.assign(interleaved.begin() + static_cast<std::ptrdiff_t>(at), interleaved.end());
}

// Whole frames to one channel, and the samples at full scale counted. The counting and the peak run in fixed
// groups of lanes without branches, a shape the compiler keeps in vector registers.
void SpeedMeter::State::MixFrames(const float* frames, std::size_t count) {
    const std::size_t channels = static_cast<std::size_t>(Channels);
    Mono.resize(count);
    const auto countClipped = [](const float* x, std::size_t n) {
        std::uint32_t lanes[8] = {};
        std::size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            for (std::size_t l = 0; l < 8; ++l) {
                lanes[l] += std::fabs(x[i + l]) >= 0.9999f ? 1 : 0;
            }
        }
        std::uint64_t clipped = 0;
        for (; i < n; ++i) {
            clipped += std::fabs(x[i]) >= 0.9999f ? 1 : 0;
        }
        for (const std::uint32_t lane : lanes) {
            clipped += lane;
        }
        return clipped;
    };
    if (Settings.Channel || channels == 1) {
        const std::size_t channel = static_cast<std::size_t>(Settings.Channel.value_or(0));
        for (std::size_t i = 0; i < count; ++i) {
            Mono[i] = frames[i * channels + channel];
        }
        ClippedSamples += countClipped(Mono.data(), count);
    } else {
        ClippedSamples += countClipped(frames, count * channels);
        if (channels == 2) {
            for (std::size_t i = 0; i < count; ++i) {
                Mono[i] = (frames[2 * i] + frames[2 * i + 1]) * MixScale;
            }
        } else {
            for (std::size_t i = 0; i < count; ++i) {
                float x = 0;
                for (std::size_t c = 0; c < channels; ++c) {
                    x += frames[i * channels + c];
                }
                Mono[i] = x * MixScale;
            }
        }
    }
    float peaks[4] = {};
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        for (std::size_t l = 0; l < 4; ++l) {
            peaks[l] = std::max(peaks[l], std::fabs(Mono[i + l]));
        }
    }
    float peak = std::max(std::max(peaks[0], peaks[1]), std::max(peaks[2], peaks[3]));
    for (; i < count; ++i) {
        peak = std::max(peak, std::fabs(Mono[i]));
    }
    Peak = std::max(Peak, static_cast<double>(peak));
    Take(Mono);
}

void SpeedMeter::State::Take(std::span<const float> mono) {
    while (!mono.empty() && !Locked) {
        const std::size_t count = std::min(mono.size(), Acquisition.capacity() - Acquisition.size());
        Acquisition.insert(Acquisition.end(), mono.begin(), mono.begin() + static_cast<std::ptrdiff_t>(count));
        Frames += count;
        mono = mono.subspan(count);
        if (Acquisition.size() == Acquisition.capacity()) {
            TryAcquire();
        }
    }
    if (Locked && !mono.empty()) {
        Frames += mono.size();
        Demodulate(mono);
    }
}

// The tone by itself: the strongest line of a Hann-windowed spectrum, taken when it holds most of the power.
void SpeedMeter::State::TryAcquire() {
    const std::size_t n = Acquisition.size();
    double power = 0;
    for (const float x : Acquisition) {
        power += static_cast<double>(x) * x;
    }
    power /= static_cast<double>(n);
    LastLevel = power;
    LevelKnown = true;
    bool locked = false;
    if (power > LeastToneLevel) {
        std::vector<std::complex<double>> in(n);
        for (std::size_t i = 0; i < n; ++i) {
            const double w = 0.5 - 0.5 * std::cos(2 * Pi * static_cast<double>(i) / static_cast<double>(n));
            in[i] = {w * Acquisition[i], 0};
        }
        std::vector<std::complex<double>> out(n);
        kissfft<double>(n, false).transform(in.data(), out.data());
        const double binHz = Rate / static_cast<double>(n);
        // A record's tone plays off by as much as its speed: 300 Hz at 3 % slow is still a tone of the range.
        double low = LeastToneHz * 0.97;
        double high = std::min(MostToneHz * 1.03, 0.45 * Rate);
        if (Settings.NominalToneHz) {
            low = *Settings.NominalToneHz * 0.9;
            high = std::min(high, *Settings.NominalToneHz * 1.1);
        }
        const std::size_t from = std::max<std::size_t>(2, static_cast<std::size_t>(low / binHz));
        const std::size_t to = std::min(n / 2 - 2, static_cast<std::size_t>(high / binHz) + 1);
        std::size_t best = from;
        double total = 0;
        for (std::size_t k = 3; k < n / 2; ++k) {
            total += std::norm(out[k]);
        }
        for (std::size_t k = from; k <= to; ++k) {
            if (std::norm(out[k]) > std::norm(out[best])) {
                best = k;
            }
        }
        double near = 0;
        for (std::size_t k = best - 2; k <= best + 2; ++k) {
            near += std::norm(out[k]);
        }
        if (total > 0 && near / total > LeastToneShare) {
            const double centre = std::abs(out[best]);
            const bool up = std::abs(out[best + 1]) > std::abs(out[best - 1]);
            const double ratio = std::abs(out[up ? best + 1 : best - 1]) / centre;
            const double delta = std::max(0.0, (2 * ratio - 1) / (ratio + 1));
            CarrierHz = (static_cast<double>(best) + (up ? delta : -delta)) * binHz;
            locked = CarrierHz >= LeastToneHz * 0.97 && CarrierHz <= MostToneHz * 1.03;
        }
    }
    if (!locked) {
        Acquisition.clear();
        return;
    }
    Locked = true;
    LockFrame = Frames - n;
    LockNominalHz = Settings.NominalToneHz.value_or(CarrierHz);
    if (!Settings.NominalToneHz) {
        for (const double tone : StandardTones) {
            if (std::fabs(CarrierHz / tone - 1) * 100 <= MostToneOffsetPercent) {
                LockNominalHz = tone;
                break;
            }
        }
    }
    // The platter's own revolution: at a speed off by a few per cent a revolution lasts that much longer or shorter,
    // and a mean over nominal revolutions would catch part of the once-per-revolution swing.
    const double speed = Settings.NominalRpm * CarrierHz / LockNominalHz;
    SamplesPerRevolution = DeviationRate * 60 / speed;
    Decimator = ToneDecimator(Rate, Decimation, CarrierHz);
    // A click spreads over the decimator's response; its neighbours that far on either side are bridged with it.
    Guard = static_cast<int>(Decimator.ResponseSamples() / 2 / Decimation) + 3;
    std::vector<float> replay;
    replay.swap(Acquisition);
    for (std::size_t at = 0; at < replay.size(); at += ChunkFrames) {
        Demodulate(std::span<const float>(replay).subspan(at, std::min(ChunkFrames, replay.size() - at)));
    }
    Acquisition.clear();
    Acquisition.shrink_to_fit();
}

void SpeedMeter::State::Demodulate(std::span<const float> mono) {
    Baseband.clear();
    Decimator.Feed(mono, Baseband);
    for (const BasebandSample& sample : Baseband) {
        FrameWide += sample.Squares;
        Deviation(sample.Z);
    }
}

void SpeedMeter::State::Deviation(std::complex<double> z) {
    ++Outputs;
    // The low-pass delays by half its length; the phase difference stands for the middle of its step.
    const double seconds = (static_cast<double>(LockFrame) + static_cast<double>(Outputs) * Decimation -
                            Decimator.DelaySamples() - 0.5 * Decimation) /
                           Rate;
    if (!HavePrevious) {
        Previous = z;
        HavePrevious = true;
        return;
    }
    const double step = std::arg(z * std::conj(Previous));
    Previous = z;
    const double d = step * DeviationRate / (2 * Pi * CarrierHz);
    const double amplitude = std::abs(z);
    FrameNarrow += amplitude * amplitude;
    FrameDeviation += d;
    ++FrameFilled;

    // A click shows as a jump of the envelope or of the deviation against their recent behaviour, learnt first as
    // medians over steady frames (JudgeFrame); until then every sample waits as if it were one.
    bool impulse = true;
    const double jump = std::fabs(d - LastDeviation);
    LastDeviation = d;
    if (Learnt) {
        impulse = std::fabs(amplitude - Envelope) > 0.2 * Envelope || jump > 8 * MeanStep + 2e-5;
        const double weight = impulse ? 0.002 : 0.02;
        Envelope += (amplitude - Envelope) * weight;
        MeanStep += (std::min(jump, 4 * MeanStep + 2e-5) - MeanStep) * (weight / 4);
    }
    PendingSample sample{d, seconds, impulse || GuardAfter > 0, amplitude, jump};
    GuardAfter = impulse ? Guard : std::max(0, GuardAfter - 1);
    if (impulse) {
        // The samples still pending are at least the guard's length back, none of them released yet.
        const std::size_t guard = static_cast<std::size_t>(Guard);
        for (std::size_t i = Pending.size() > guard ? Pending.size() - guard : 0; i < Pending.size(); ++i) {
            Pending[i].Bad = true;
        }
    }
    Pending.push_back(sample);
    if (FrameFilled == FrameSamples) {
        JudgeFrame();
    }
}

void SpeedMeter::State::JudgeFrame() {
    const double wide = FrameWide / (FrameFilled * Decimation);
    const double narrow = FrameNarrow / FrameFilled;
    const double mean = FrameDeviation / FrameFilled;
    LastLevel = wide;
    // A pure tone puts half its mean square into the complex baseband's magnitude squared.
    const bool steady = wide > LeastToneLevel && 2 * narrow > LeastToneShare * wide && std::fabs(mean) < 0.05;
    if (!steady) {
        const std::size_t from = Pending.size() >= static_cast<std::size_t>(FrameFilled)
                                     ? Pending.size() - static_cast<std::size_t>(FrameFilled)
                                     : 0;
        for (std::size_t i = from; i < Pending.size(); ++i) {
            Pending[i].Bad = true;
        }
    }
    const std::size_t frameStart = Pending.size() >= static_cast<std::size_t>(FrameFilled)
                                       ? Pending.size() - static_cast<std::size_t>(FrameFilled)
                                       : 0;
    if (!Learnt && steady) {
        for (std::size_t i = frameStart; i < Pending.size(); ++i) {
            LearntAmplitudes.push_back(Pending[i].Amplitude);
            LearntSteps.push_back(Pending[i].Step);
        }
        if (LearntAmplitudes.size() >= LearningSamples) {
            const auto median = [](std::vector<double>& values) {
                std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2),
                                 values.end());
                return values[values.size() / 2];
            };
            Envelope = median(LearntAmplitudes);
            MeanStep = median(LearntSteps);
            Learnt = true;
        }
    }
    // After silence or a gap the tone's envelope and steps are learnt afresh: a new track may be louder or quieter.
    // A click upsets a frame or two, which is not enough to forget them.
    UnsteadyFrames = steady ? 0 : UnsteadyFrames + 1;
    if (!steady && (!Learnt || UnsteadyFrames >= RelearnAfterFrames)) {
        Learnt = false;
        LearntAmplitudes.clear();
        LearntSteps.clear();
    }
    FrameWide = FrameNarrow = FrameDeviation = 0;
    FrameFilled = 0;
    // All but the newest samples are final now: a click just after them could still reach back over its guard.
    const std::size_t keep = static_cast<std::size_t>(Guard);
    if (Pending.size() > keep) {
        const std::size_t release = Pending.size() - keep;
        for (std::size_t i = 0; i < release; ++i) {
            Release(Pending[i]);
        }
        Pending.erase(Pending.begin(), Pending.begin() + static_cast<std::ptrdiff_t>(release));
    }
}

void SpeedMeter::State::Release(const PendingSample& sample) {
    if (sample.Bad) {
        if (InSegment) {
            Gap.push_back(sample);
            if (static_cast<double>(Gap.size()) > LongestBridgeSeconds * DeviationRate) {
                Gap.clear();
                EndSegment();
            }
        }
        return;
    }
    if (!InSegment) {
        InSegment = true;
        Current.emplace(DeviationRate, SamplesPerRevolution);
    } else if (!Gap.empty()) {
        // The bridge: a straight line from the last good value to this one.
        const double steps = static_cast<double>(Gap.size() + 1);
        for (std::size_t i = 0; i < Gap.size(); ++i) {
            const double t = static_cast<double>(i + 1) / steps;
            Current->Add(LastGood + (sample.Deviation - LastGood) * t, Gap[i].Seconds);
        }
        ++Current->Bridged;
        Gap.clear();
    }
    Current->Add(sample.Deviation, sample.Seconds);
    LastGood = sample.Deviation;
}

void SpeedMeter::State::EndSegment() {
    InSegment = false;
    if (Current && (!Best || Current->Revolutions > Best->Revolutions ||
                    (Current->Revolutions == Best->Revolutions && Current->Count > Best->Count))) {
        Best = std::move(Current);
    }
    Current.reset();
}

void SpeedMeter::State::Flush() {
    if (FrameFilled > 0) {
        JudgeFrame();
    }
    for (const PendingSample& sample : Pending) {
        Release(sample);
    }
    Pending.clear();
    Gap.clear();
    EndSegment();
}

Result<SpeedReport> SpeedMeter::State::Report() {
    const std::string rpmText = RpmText(Settings.NominalRpm) + " rpm";
    const double revolutionSeconds = 60 / Settings.NominalRpm;
    const double needed = SettleSeconds + LeastRevolutions * revolutionSeconds;
    const std::string need = "a take of at least " + Fixed(std::ceil(needed), 0) + " s of steady tone (" +
                             std::to_string(LeastRevolutions) + " whole revolutions at " + rpmText + " and " +
                             Fixed(SettleSeconds, 1) + " s to settle) is needed; 30 s or more gives steadier figures";
    if (Frames == 0) {
        return Failure{"the recording holds no sound"};
    }
    if (!Locked || !Best) {
        if (Peak < 1e-4) {
            return Failure{"the recording is silent: there is no tone to measure"};
        }
        return Failure{"no steady tone from 300 Hz to 10 kHz found: play the record's speed track (3150, 3000 or "
                       "1000 Hz) and record it from its start; " +
                       need};
    }
    const Segment& s = *Best;
    if (s.Revolutions < LeastRevolutions) {
        const double lasted = std::max(0.0, s.LastSeconds - s.StartSeconds);
        return Failure{"the steady tone lasts only " + Fixed(lasted, 1) + " s: " + need};
    }
    SpeedReport report;
    report.SampleRate = Rate;
    report.Channels = Channels;
    const double meanDeviation = s.WholeSum / static_cast<double>(s.WholeCount);
    report.MeasuredToneHz = CarrierHz * (1 + meanDeviation);
    report.ToneGiven = Settings.NominalToneHz.has_value();
    if (Settings.NominalToneHz) {
        report.NominalToneHz = *Settings.NominalToneHz;
        const double off = std::fabs(report.MeasuredToneHz / report.NominalToneHz - 1) * 100;
        if (off > 10) {
            return Failure{"the tone measured, " + Fixed(report.MeasuredToneHz, 1) + " Hz, lies " + Fixed(off, 1) +
                           " % from --tone " + HzText(report.NominalToneHz) +
                           " Hz: give the frequency the record carries"};
        }
    } else {
        double nearest = StandardTones[0];
        for (const double tone : StandardTones) {
            if (std::fabs(report.MeasuredToneHz - tone) < std::fabs(report.MeasuredToneHz - nearest)) {
                nearest = tone;
            }
        }
        const double off = std::fabs(report.MeasuredToneHz / nearest - 1) * 100;
        if (off > MostToneOffsetPercent) {
            return Failure{"the tone measured, " + Fixed(report.MeasuredToneHz, 1) +
                           " Hz, is no standard test tone (3150, 3000 or 1000 Hz within " +
                           Fixed(MostToneOffsetPercent, 0) + " %): give --tone with the frequency the record carries"};
        }
        report.NominalToneHz = nearest;
        report.Notes.push_back("the tone of " + Fixed(report.MeasuredToneHz, 2) + " Hz is taken for the standard " +
                               Fixed(nearest, 0) + " Hz tone; give --tone if the record carries another");
    }
    const double ratio = report.MeasuredToneHz / report.NominalToneHz;
    report.NominalRpm = Settings.NominalRpm;
    report.Rpm = Settings.NominalRpm * ratio;
    report.ErrorPercent = (ratio - 1) * 100;
    if (s.FitN >= 3) {
        const double denominator = s.FitN * s.FitTT - s.FitT * s.FitT;
        const double slope = denominator > 0 ? (s.FitN * s.FitTY - s.FitT * s.FitY) / denominator : 0;
        report.DriftPercentPerMinute = slope * 60 * 100 * CarrierHz / report.NominalToneHz;
    }
    report.Weighted2SigmaPercent = s.WeightedHistogram.Exceeded(0.05);
    report.Unweighted2SigmaPercent = s.UnweightedHistogram.Exceeded(0.05);
    report.WeightedRmsPercent = std::sqrt(s.WeightedSquares / static_cast<double>(std::max(1L, s.Counted))) * 100;
    report.FromSeconds = s.CountedFromSeconds;
    report.ToSeconds = s.WholeEndSeconds;
    report.Revolutions = static_cast<int>(s.Revolutions);
    report.BridgedImpulses = s.Bridged;
    report.Trace = s.Trace;
    for (std::size_t i = 0; i < FoldBins; ++i) {
        report.FoldedRevolution.push_back(s.FoldCount[i] > 0 ? s.FoldSum[i] / static_cast<double>(s.FoldCount[i]) * 100
                                                             : 0);
    }
    const DeviationFilter unweighted = UnweightedDeviationFilter(DeviationRate);
    const SpectrumAnalysis spectrum =
        AnalyseDeviationSpectrum(s.Spectrum, DeviationRate / SpectrumDecimation, [&](double hz) {
            // What the chain before the buffer did to a component: the band filter, the averaging into the buffer
            // and the phase difference's own averaging over one deviation step.
            const double x = Pi * hz / DeviationRate;
            const double step = x == 0 ? 1 : std::sin(x) / x;
            const double average = x == 0 ? 1 : std::sin(SpectrumDecimation * x) / (SpectrumDecimation * std::sin(x));
            return unweighted.Gain(hz) * std::fabs(average) * step;
        });
    report.Spectrum = spectrum.Lines;
    report.Components = NameComponents(spectrum.Peaks, report.Rpm / 60);
    report.Clipped = ClippedSamples > 0;
    if (report.Clipped) {
        report.Warnings.push_back("the recording clips (" + std::to_string(ClippedSamples) +
                                  " samples at full scale): record it again at a lower level");
    }
    if (report.BridgedImpulses > 0) {
        report.Notes.push_back(std::to_string(report.BridgedImpulses) +
                               (report.BridgedImpulses == 1 ? " click or dropout was" : " clicks or dropouts were") +
                               " bridged in the stretch measured");
    }
    report.Advice = SpeedAdvice(report);
    return report;
}
