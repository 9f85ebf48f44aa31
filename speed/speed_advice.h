#pragma once

// The words of the speed report: numbers as it writes them, the components named by the revolution, and what to
// do about the figures.

#include "speed/speed_report.h"
#include "speed/speed_spectrum.h"

#include <string>
#include <vector>

// A number to a fixed count of decimals, halves away from zero, without floating-point text conversion (which the
// browser's library lacks): "0.40", "-1.25", "33.33".
std::string SpeedNumberText(double value, int decimals);

// A speed as records name it: "33 1/3", "16 2/3", "45", else to two decimals ("44.81").
std::string RpmText(double rpm);
// A frequency to the decimals it needs, up to two: "3150", "3150.5".
std::string HzText(double hz);

// A component is taken for a multiple of the revolution rate when it lies within this share of the revolution rate
// of it: three times the spectrum's 1 % frequency accuracy at the once-per-revolution swing.
inline constexpr double HarmonicTolerance = 0.03;
inline constexpr int MostNamedHarmonic = 20;

// "once per revolution", "twice per revolution", "3 times per revolution", or "12.4 x the revolution rate".
std::string ComponentName(double hz, double revolutionHz);
std::vector<SpeedComponent> NameComponents(const std::vector<SpectrumPeak>& peaks, double revolutionHz);

// Steps in words for the figures of a report, most important first; the last one is always on the recording's
// own clock.
std::vector<std::string> SpeedAdvice(const SpeedReport& report);

// The thresholds the advice uses. Below this speed error the advice leaves the speed alone: a tenth of a per cent is
// about the smallest step a turntable's fine adjustment can be set to by ear or by strobe.
inline constexpr double RightSpeedPercent = 0.1;
// Beyond this the speed is off by more than a fine adjustment: the speed setting, belt or pulley.
inline constexpr double FarOffSpeedPercent = 1.5;
// A once-per-revolution swing of this peak amplitude is worth turning the record for.
inline constexpr double NotableSwingPercent = 0.03;
// Drift worth a warm-up, per minute.
inline constexpr double NotableDriftPercentPerMinute = 0.02;
// DIN 45500, the German hi-fi minimum requirements, allowed +-0.2 % weighted wow and flutter and +-1.5 % mean speed
// deviation (its part on tape machines, as quoted in the manual).
inline constexpr double Din45500WeightedPercent = 0.2;
