#pragma once

// What the speed meter found in a recording of a test tone: the figures, the strongest components of the speed
// deviation, a trace of it, one revolution folded, and advice. Percentages are of the mean speed; times are
// seconds from the recording's start.

#include <string>
#include <vector>

struct SpeedComponent {
    double Hz = 0;
    double Percent = 0; // peak amplitude of the deviation
    std::string Name;   // "once per revolution", "3 x the revolution rate", "12.4 x the revolution rate"
};

struct SpeedTracePoint {
    float Seconds = 0;
    float Unweighted = 0; // %
    float Weighted = 0;   // %
};

struct SpeedSpectrumPoint {
    float Hz = 0;
    float Percent = 0;
};

struct SpeedReport {
    double SampleRate = 0;
    int Channels = 0;
    double NominalToneHz = 0;
    double MeasuredToneHz = 0;
    bool ToneGiven = false;
    double NominalRpm = 0;
    double Rpm = 0;
    double ErrorPercent = 0;
    double DriftPercentPerMinute = 0;
    double Weighted2SigmaPercent = 0;
    double Unweighted2SigmaPercent = 0;
    double WeightedRmsPercent = 0;
    // The stretch the figures cover: whole revolutions of the longest steady tone.
    double FromSeconds = 0;
    double ToSeconds = 0;
    int Revolutions = 0;
    // Clicks and dropouts bridged inside the stretch.
    int BridgedImpulses = 0;
    bool Clipped = false;
    std::vector<SpeedComponent> Components;
    std::vector<SpeedTracePoint> Trace;
    // The unweighted deviation over one revolution, averaged over all of them, in equal steps from 0 to 360 degrees.
    std::vector<double> FoldedRevolution;
    // The deviation's spectrum for the chart, peak amplitude per line, up to about 100 Hz.
    std::vector<SpeedSpectrumPoint> Spectrum;
    std::vector<std::string> Advice;
    std::vector<std::string> Notes;
    std::vector<std::string> Warnings;
};
