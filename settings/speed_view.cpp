#include "settings/speed_view.h"

#include "speed/speed_advice.h"

#include <algorithm>
#include <cmath>

namespace {

// A signed figure as the page shows it, with a true minus sign: "+0.25 %", "−0.40 %", "0.00 %".
std::string Signed(double value, int decimals, const std::string& unit) {
    const std::string text = SpeedNumberText(std::fabs(value), decimals);
    const bool zero = text.find_first_not_of("0.") == std::string::npos;
    return (zero ? "" : value < 0 ? "\u2212" : "+") + text + unit;
}

std::string Plain(double value, int decimals, const std::string& unit) {
    return SpeedNumberText(value, decimals) + unit;
}

std::string Capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

} // namespace

std::string SpeedPageWords(std::string text) {
    constexpr std::string_view Option = "--tone";
    constexpr std::string_view Field = "the Test tone";
    for (std::size_t at = text.find(Option); at != std::string::npos; at = text.find(Option, at + Field.size())) {
        text.replace(at, Option.size(), Field);
    }
    return text;
}

std::vector<SpeedRow> SpeedRowsOf(const SpeedReport& speed) {
    std::vector<SpeedRow> rows = {
        {"figure", "Speed error", Signed(speed.ErrorPercent, 2, " %")},
        {"figure", "Platter speed", Plain(speed.Rpm, 3, " rpm") + " (" + RpmText(speed.NominalRpm) + " nominal)"},
        {"figure", "Weighted wow and flutter (2\u03c3)", Plain(speed.Weighted2SigmaPercent, 3, " %")},
        {"figure", "Unweighted wow and flutter (2\u03c3)", Plain(speed.Unweighted2SigmaPercent, 3, " %")},
        {"figure", "Weighted wow and flutter (RMS)", Plain(speed.WeightedRmsPercent, 3, " %")},
        {"figure", "Drift", Signed(speed.DriftPercentPerMinute, 3, " % per minute")},
        {"figure", "Measured",
         HzText(speed.NominalToneHz) + " Hz tone (measured " + SpeedNumberText(speed.MeasuredToneHz, 2) + " Hz), " +
             SpeedNumberText(speed.FromSeconds, 1) + " to " + SpeedNumberText(speed.ToSeconds, 1) + " s, " +
             std::to_string(speed.Revolutions) + " whole revolutions"},
    };
    for (const SpeedComponent& component : speed.Components) {
        rows.push_back(
            {"component",
             Capitalised(component.Name) + " (" + SpeedNumberText(component.Hz, component.Hz < 10 ? 3 : 2) + " Hz)",
             Plain(component.Percent, 3, " % peak")});
    }
    for (const std::string& step : speed.Advice) {
        rows.push_back({"advice", "What to do", SpeedPageWords(step)});
    }
    for (const std::string& note : speed.Notes) {
        rows.push_back({"note", "Note", SpeedPageWords(note)});
    }
    for (const std::string& warning : speed.Warnings) {
        rows.push_back({"warning", "Warning", SpeedPageWords(warning)});
    }
    return rows;
}

SpeedLiveView SpeedLiveViewOf(const SpeedLiveReading& live) {
    SpeedLiveView view;
    const std::string listened = SpeedNumberText(live.SecondsFed, 0) + " s";
    switch (live.Stage) {
    case SpeedLiveStage::Waiting:
        view.Status = "Waiting for sound from the microphone";
        break;
    case SpeedLiveStage::TooWeak:
        view.Status = "The tone is too weak (" + listened +
                      " listened): turn up the volume, put the phone nearer the speaker or the cartridge, or record "
                      "the amplifier's output instead";
        view.TooWeak = true;
        break;
    case SpeedLiveStage::Searching:
        view.Status =
            "Listening for a steady test tone (" + listened + "): play the record's speed track, 3150, 3000 or 1000 Hz";
        break;
    case SpeedLiveStage::Settling:
        view.Status = "A tone of " + SpeedNumberText(live.ToneHz, 1) + " Hz found; the figures start in a moment";
        break;
    case SpeedLiveStage::Measuring: {
        const int needed = LeastRevolutions;
        view.Status =
            "Measuring a " + HzText(live.NominalToneHz) + " Hz tone: " + SpeedNumberText(live.CountedSeconds, 0) +
            " s, " + std::to_string(live.Revolutions) + " whole revolutions" +
            (live.Revolutions < needed ? "; the full report needs " + std::to_string(needed)
                                       : "; press Stop for the full report, or let it run for steadier figures");
        view.Rows = {
            {"figure", "Speed error", Signed(live.ErrorPercent, 2, " %")},
            {"figure", "Platter speed", Plain(live.NominalRpm * (1 + live.ErrorPercent / 100), 2, " rpm")},
            {"figure", "Weighted wow and flutter (2\u03c3)", Plain(live.Weighted2SigmaPercent, 3, " %")},
        };
        if (live.Revolutions >= SpokenAfterRevolutions) {
            view.Spoken = "Speed error " + Signed(live.ErrorPercent, 1, " per cent") + ", weighted wow and flutter " +
                          Plain(live.Weighted2SigmaPercent, 2, " per cent");
        }
        break;
    }
    }
    return view;
}

std::string SpeedTraceText(const std::vector<SpeedTracePoint>& trace, const std::vector<SpeedComponent>& components) {
    if (trace.size() < 2) {
        return "No trace yet.";
    }
    float low = trace.front().Unweighted;
    float high = low;
    float weighted = 0;
    for (const SpeedTracePoint& p : trace) {
        low = std::min(low, p.Unweighted);
        high = std::max(high, p.Unweighted);
        weighted = std::max(weighted, std::fabs(p.Weighted));
    }
    std::string text = "The speed deviation from " + SpeedNumberText(trace.front().Seconds, 1) + " to " +
                       SpeedNumberText(trace.back().Seconds, 1) + " s of the recording: unweighted between " +
                       Signed(low, 3, " %") + " and " + Signed(high, 3, " %") + ", weighted within \u00b1" +
                       Plain(weighted, 3, " %") + ".";
    if (!components.empty()) {
        text += " The largest swing comes " + components.front().Name + " (" +
                SpeedNumberText(components.front().Hz, components.front().Hz < 10 ? 3 : 2) + " Hz, " +
                Plain(components.front().Percent, 3, " % peak") + ").";
    }
    return text;
}

std::vector<SpeedRow> GyroRowsOf(const GyroSpeedReport& gyro) {
    if (gyro.Revolutions == 0) {
        return {};
    }
    std::vector<SpeedRow> rows = {
        {"figure", "Platter speed",
         Plain(gyro.Rpm, 2, " rpm") + (gyro.Revolutions >= 2 ? " \u00b1 " + Plain(gyro.ScatterRpm, 2, " rpm") : "")},
        {"figure", "Speed error", Signed(gyro.ErrorPercent, 1, " %") + " against " + RpmText(gyro.NominalRpm)},
        {"figure", "Variation within a revolution", "\u00b1" + Plain(gyro.WithinRevolutionPercent, 2, " %")},
        {"figure", "Measured",
         std::to_string(gyro.Revolutions) + " whole revolutions in " + SpeedNumberText(gyro.Seconds, 0) + " s"},
    };
    return rows;
}

std::string GyroStatusOf(const GyroSpeedReport& gyro, double secondsFed) {
    if (secondsFed <= 0) {
        return "Waiting for the gyroscope: lay the phone flat on the platter, away from the spindle, and start it";
    }
    if (gyro.Seconds <= 0) {
        return "The phone is not turning at about " + RpmText(gyro.NominalRpm) +
               " rpm yet: lay it flat on the turning platter";
    }
    return "Turning: " + std::to_string(gyro.Revolutions) + " whole revolutions in " +
           SpeedNumberText(gyro.Seconds, 0) + " s" +
           (gyro.Revolutions < LeastGyroRevolutions ? "" : "; press Stop when you have enough, the longer the better");
}

std::string GyroAccuracyText() {
    return "A phone's gyroscope has its own scale error, typically 1 to 3 % on an uncalibrated phone, and it stays "
           "however long the take: it can show that a platter is far off, but not a speed error of a few tenths of "
           "a per cent, which needs a test record or a strobe disk. A longer take does help with the rest: the "
           "gyroscope's noise and the platter's own flutter average out, so the \u00b1 figure shrinks with the "
           "square root of the revolutions (four times as long, half the scatter).";
}

std::string MicrophoneProblemText(std::string_view errorName) {
    if (errorName == "NotAllowedError" || errorName == "SecurityError") {
        return "The microphone was refused: allow it for this page (the lock or camera sign beside the address, or "
               "the browser's site settings), then press Measure with the microphone again. Or record the tone with "
               "another app and open the file as Recording of a test tone";
    }
    if (errorName == "NotFoundError" || errorName == "OverconstrainedError") {
        return "No microphone was found: plug one in or use a phone, or record the tone with another device and "
               "open the file as Recording of a test tone";
    }
    if (errorName == "NotReadableError" || errorName == "AbortError") {
        return "The microphone is busy or failed to start: close other apps that use it (calls, recorders) and try "
               "again";
    }
    return "The microphone could not be opened (" + std::string(errorName) +
           "): try again, or record the tone with another app and open the file as Recording of a test tone";
}

std::string GyroProblemText(std::string_view problem) {
    if (problem == "denied") {
        return "Motion and orientation access was refused: allow it in the browser's settings for this site, then "
               "press Phone on the platter again";
    }
    return "This device gives no gyroscope readings: use a phone with a gyroscope, or measure a test record's tone "
           "with the microphone";
}
