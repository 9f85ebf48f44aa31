#pragma once

// Platter speed from a phone's gyroscope while the phone lies on the turning platter: the rate of turn about the
// phone's three axes, sample by sample. The angle turned is summed to whole revolutions, each timed, and the rate
// is folded over the turn for its variation within one revolution. A rate far from the nominal one (the phone
// being laid down or picked up) ends a stretch; the longest stretch is reported.

#include "geometry/result.h"

#include <cstddef>
#include <vector>

// 200 degrees a second is 33 1/3 rpm.
inline constexpr double DegreesPerSecondPerRpm = 6;
// A rate further than this from the nominal one is not the platter turning at that speed.
inline constexpr double GyroBandPercent = 20;
// Whole revolutions the figures need at least.
inline constexpr int LeastGyroRevolutions = 2;
inline constexpr std::size_t GyroFoldBins = 36;

struct GyroSpeedReport {
    double NominalRpm = 0;
    double Rpm = 0;
    double ErrorPercent = 0;
    int Revolutions = 0;
    double Seconds = 0;
    // Half the peak-to-peak swing of the rate over one revolution, averaged over all of them, in % of the mean.
    double WithinRevolutionPercent = 0;
    // The standard error of the mean speed from the scatter of the revolutions' own speeds, in rpm.
    double ScatterRpm = 0;
};

class GyroSpeedMeter {
public:
    explicit GyroSpeedMeter(double nominalRpm);

    // One reading: degrees per second about each axis, and the milliseconds since the previous one.
    void Feed(double alpha, double beta, double gamma, double intervalMs);
    // The current stretch so far: its speed over the revolutions completed, none before the first.
    GyroSpeedReport Current() const;
    double SecondsFed() const { return Fed; }
    // The longest stretch, or why there is none.
    Result<GyroSpeedReport> Finish() const;

private:
    struct Stretch {
        double Angle = 0;
        double Seconds = 0;
        int Revolutions = 0;
        double RevolutionStart = 0;
        double WholeSeconds = 0;
        double RevolutionSum = 0;
        double RevolutionSquares = 0;
        std::vector<double> FoldSum = std::vector<double>(GyroFoldBins, 0);
        std::vector<double> FoldTime = std::vector<double>(GyroFoldBins, 0);
    };
    GyroSpeedReport ReportOf(const Stretch& stretch) const;

    double NominalRpm;
    double Fed = 0;
    Stretch Now;
    Stretch Best;
};
