#pragma once

// The streaming speed meter: fed blocks of samples of a test-tone recording, in any block size, it finds the tone,
// FM-demodulates it to the instantaneous speed deviation, bridges clicks, and keeps the figures of each steady
// stretch in buffers whose size does not depend on the recording's length. Finish gives the report of the longest
// steady stretch, or the reason there is none.

#include "geometry/result.h"
#include "speed/speed_report.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <vector>

inline constexpr double LeastSampleRate = 8000;
inline constexpr double MostSampleRate = 192000;
inline constexpr double LeastToneHz = 300;
inline constexpr double MostToneHz = 10000;
// Whole revolutions the figures need at least, after the second the filters take to settle.
inline constexpr int LeastRevolutions = 8;
// A standard tone further than this from the measured one is not taken for it.
inline constexpr double MostToneOffsetPercent = 3;

struct SpeedMeterSettings {
    double SampleRate = 48000;
    int Channels = 1;
    // The channel measured, from 0; none mixes them all.
    std::optional<int> Channel;
    // The tone the record carries; none takes the standard tone nearest the measured one.
    std::optional<double> NominalToneHz;
    double NominalRpm = 100.0 / 3;
};

// Sizes of the meter's own buffers, in elements, for the check that they do not grow with the recording.
struct SpeedMeterSizes {
    std::size_t Acquisition = 0;
    std::size_t Filter = 0;
    std::size_t Pending = 0;
    std::size_t Histograms = 0;
    std::size_t Trace = 0;
    std::size_t Spectrum = 0;
    std::size_t Fold = 0;

    std::size_t Total() const { return Acquisition + Filter + Pending + Histograms + Trace + Spectrum + Fold; }
};

// What the meter reads while a take goes on, for a live display: how far it has got, and once the current steady
// stretch has settled, its speed error and weighted wow and flutter so far and its newest trace points.
enum class SpeedLiveStage {
    Waiting,   // nothing fed yet
    TooWeak,   // the sound is below the level a tone needs
    Searching, // sound, but no steady tone yet
    Settling,  // a tone, its filters settling
    Measuring, // figures of the current stretch
};

struct SpeedLiveReading {
    SpeedLiveStage Stage = SpeedLiveStage::Waiting;
    double SecondsFed = 0;
    double ToneHz = 0;        // measured, once found
    double NominalToneHz = 0; // the standard tone nearest it, or the tone given
    double NominalRpm = 0;
    double ErrorPercent = 0;
    double Weighted2SigmaPercent = 0;
    // Seconds and whole revolutions the figures cover so far.
    double CountedSeconds = 0;
    int Revolutions = 0;
    std::vector<SpeedTracePoint> Trace;
};

class SpeedMeter {
public:
    // A meter for the settings, or why it cannot measure with them (rate, channels, tone or speed out of range).
    static Result<SpeedMeter> Create(const SpeedMeterSettings& settings);

    SpeedMeter(SpeedMeter&&) noexcept;
    SpeedMeter& operator=(SpeedMeter&&) noexcept;
    ~SpeedMeter();

    // Interleaved samples, whole frames of all channels; a partial frame at the end of a block is kept for the next.
    void Feed(std::span<const float> interleaved);
    // Seconds of recording fed so far.
    double SecondsFed() const;
    SpeedMeterSizes Sizes() const;
    // The readings so far, with at most `tracePoints` of the newest trace points.
    SpeedLiveReading Live(std::size_t tracePoints) const;
    // The report of the longest steady stretch; feeding after it starts a meter afresh is not supported.
    Result<SpeedReport> Finish();

    struct State;

private:
    explicit SpeedMeter(std::unique_ptr<State> state);
    std::unique_ptr<State> Self;
};
