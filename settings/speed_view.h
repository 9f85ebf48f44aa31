#pragma once

// The words and rows the page shows for a speed measurement: the report of a recording or a take as table rows,
// the live readings while a take goes on with the one sentence a screen reader speaks once they settle, a text
// alternative for the trace, and the phone's gyroscope readings with what they can be trusted for.

#include "speed/gyro_speed.h"
#include "speed/speed_meter.h"
#include "speed/speed_report.h"

#include <string>
#include <string_view>
#include <vector>

// The meter words its hints for the Linux tool ("give --tone if the record carries another"); in the page the same
// hint names the field the user sees, "Test tone".
std::string SpeedPageWords(std::string text);

struct SpeedRow {
    std::string Kind; // "figure", "component", "advice", "note", "warning"
    std::string Label;
    std::string Value;
};

// "Speed error", "Platter speed", "Weighted wow and flutter (2σ)", "Unweighted wow and flutter (2σ)", the drift and
// the weighted RMS, then each named component, each step of advice, each note and warning.
std::vector<SpeedRow> SpeedRowsOf(const SpeedReport& speed);

// A live reading is spoken once the take has this many whole revolutions: before that the figures still move.
inline constexpr int SpokenAfterRevolutions = 2;

struct SpeedLiveView {
    std::string Status;
    std::vector<SpeedRow> Rows; // "Speed error", "Weighted wow and flutter (2σ)", once measuring
    // Coarse enough not to change with every reading; empty until the reading settles.
    std::string Spoken;
    bool TooWeak = false;
};

SpeedLiveView SpeedLiveViewOf(const SpeedLiveReading& live);

// What the trace shows, for a screen reader: its span and range and where the largest swing lies.
std::string SpeedTraceText(const std::vector<SpeedTracePoint>& trace, const std::vector<SpeedComponent>& components);

// The gyroscope's readings so far or at the end, and what a phone's gyroscope can be trusted for.
std::vector<SpeedRow> GyroRowsOf(const GyroSpeedReport& gyro);
std::string GyroStatusOf(const GyroSpeedReport& gyro, double secondsFed);
std::string GyroAccuracyText();

// What to do when the browser gives no microphone, by the name of its error ("NotAllowedError", "NotFoundError",
// ...), and when it gives no gyroscope ("denied" when the user refused it, anything else when there is none).
std::string MicrophoneProblemText(std::string_view errorName);
std::string GyroProblemText(std::string_view problem);
