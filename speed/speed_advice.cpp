#include "speed/speed_advice.h"

#include <cmath>
#include <cstdint>

std::string SpeedNumberText(double value, int decimals) {
    if (!std::isfinite(value)) {
        return value > 0 ? "inf" : value < 0 ? "-inf" : "nan";
    }
    double scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    const double scaled = std::round(std::fabs(value) * scale);
    if (scaled >= 9e15) {
        return (value < 0 ? "-" : "") + std::to_string(static_cast<long long>(std::fabs(value)));
    }
    const auto units = static_cast<std::int64_t>(scaled);
    const auto whole = units / static_cast<std::int64_t>(scale);
    std::string text = (value < 0 && units != 0 ? "-" : "") + std::to_string(whole);
    if (decimals > 0) {
        std::string fraction = std::to_string(units % static_cast<std::int64_t>(scale));
        text += "." + std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    return text;
}

std::string RpmText(double rpm) {
    const double thirds = std::round(rpm * 3);
    if (std::fabs(rpm * 3 - thirds) < 1e-9 && std::fmod(thirds, 3) != 0 && thirds > 0) {
        const long long whole = static_cast<long long>(thirds) / 3;
        return std::to_string(whole) + (static_cast<long long>(thirds) % 3 == 1 ? " 1/3" : " 2/3");
    }
    return SpeedNumberText(rpm, rpm == std::round(rpm) ? 0 : 2);
}

std::string HzText(double hz) {
    for (int decimals = 0; decimals < 2; ++decimals) {
        double scale = 1;
        for (int i = 0; i < decimals; ++i) {
            scale *= 10;
        }
        if (std::fabs(hz * scale - std::round(hz * scale)) < 1e-9 * scale) {
            return SpeedNumberText(hz, decimals);
        }
    }
    return SpeedNumberText(hz, 2);
}

std::string ComponentName(double hz, double revolutionHz) {
    const double multiple = hz / revolutionHz;
    const double nearest = std::round(multiple);
    if (nearest >= 1 && nearest <= MostNamedHarmonic && std::fabs(multiple - nearest) <= HarmonicTolerance) {
        const int n = static_cast<int>(nearest);
        return n == 1   ? "once per revolution"
               : n == 2 ? "twice per revolution"
                        : std::to_string(n) + " times per revolution";
    }
    return SpeedNumberText(multiple, multiple < 10 ? 2 : 1) + " x the revolution rate";
}

std::vector<SpeedComponent> NameComponents(const std::vector<SpectrumPeak>& peaks, double revolutionHz) {
    std::vector<SpeedComponent> components;
    for (const SpectrumPeak& peak : peaks) {
        components.push_back({peak.Hz, peak.Percent, ComponentName(peak.Hz, revolutionHz)});
    }
    return components;
}

namespace {

std::string Percent(double value) {
    return SpeedNumberText(value, std::fabs(value) < 0.095 ? 3 : 2) + " %";
}

} // namespace

std::vector<std::string> SpeedAdvice(const SpeedReport& report) {
    std::vector<std::string> advice;
    const double error = report.ErrorPercent;
    const std::string rpm = SpeedNumberText(report.Rpm, 2) + " rpm";
    if (std::fabs(error) < RightSpeedPercent) {
        advice.push_back("the platter turns at the right speed (" + rpm + ", " + Percent(std::fabs(error)) +
                         (error < 0 ? " slow" : " fast") + "): leave it as it is");
    } else {
        const bool slow = error < 0;
        const std::string way = slow ? "raise" : "lower";
        advice.push_back("the platter turns " + Percent(std::fabs(error)) + (slow ? " slow (" : " fast (") + rpm +
                         "): " + way + " the speed" +
                         (std::fabs(error) < FarOffSpeedPercent
                              ? " a little with the fine adjustment and measure again"
                              : "; so far off, check the speed setting, that the belt sits on the right step of the "
                                "pulley, and the mains frequency the motor is made for"));
    }
    const double minutes = (report.ToSeconds - report.FromSeconds) / 60;
    if (std::fabs(report.DriftPercentPerMinute) >= NotableDriftPercentPerMinute) {
        advice.push_back("the speed " + std::string(report.DriftPercentPerMinute > 0 ? "rises" : "falls") + " by " +
                         Percent(std::fabs(report.DriftPercentPerMinute)) + " a minute across the take (" +
                         SpeedNumberText(minutes, 1) +
                         " min): let the turntable run ten minutes to warm up, then measure again before adjusting");
    }
    const SpeedComponent* swing = nullptr;
    const SpeedComponent* other = nullptr;
    for (const SpeedComponent& component : report.Components) {
        if (component.Name == "once per revolution" && swing == nullptr) {
            swing = &component;
        } else if (component.Name.ends_with("the revolution rate") && other == nullptr) {
            other = &component;
        }
    }
    if (swing != nullptr && swing->Percent >= NotableSwingPercent) {
        advice.push_back("the speed swings by " + Percent(swing->Percent) + " once per revolution (" +
                         SpeedNumberText(swing->Hz, 3) +
                         " Hz): most likely the record's hole is off-centre. Turn the record half a turn on the "
                         "spindle and measure again: if the swing changes, it is the record (centre it, or use "
                         "another); if it stays the same, look at the platter, its bearing and the spindle");
    }
    if (other != nullptr && (swing == nullptr || other->Percent > swing->Percent * 0.5)) {
        advice.push_back("a component of " + Percent(other->Percent) + " at " + SpeedNumberText(other->Hz, 2) +
                         " Hz is no multiple of the revolution rate: it comes from the drive (motor, belt, idler or "
                         "pulley) rather than the record");
    }
    if (report.Weighted2SigmaPercent > Din45500WeightedPercent) {
        advice.push_back("the weighted wow and flutter of " + Percent(report.Weighted2SigmaPercent) +
                         " (two sigma) is more than the 0.2 % that DIN 45500 allowed hi-fi tape machines: the "
                         "strongest components say where it comes from");
    }
    advice.push_back("the recording's own clock adds its error to the speed error: sound cards and phones are "
                     "usually within 0.005 to 0.01 % (50 to 100 ppm), well below what a speed adjustment can set");
    return advice;
}
