#include "speed/gyro_speed.h"

#include "speed/speed_advice.h"

#include <algorithm>
#include <cmath>
#include <string>

GyroSpeedMeter::GyroSpeedMeter(double nominalRpm) : NominalRpm(nominalRpm) {}

void GyroSpeedMeter::Feed(double alpha, double beta, double gamma, double intervalMs) {
    const double dt = intervalMs / 1000;
    // A reading without a plausible interval says nothing about time.
    if (!(dt > 0 && dt < 1) || !std::isfinite(alpha) || !std::isfinite(beta) || !std::isfinite(gamma)) {
        return;
    }
    Fed += dt;
    // The whole rate of turn: a phone lying not quite flat turns about a tilted axis, at the same rate.
    const double rate = std::sqrt(alpha * alpha + beta * beta + gamma * gamma);
    const double nominal = NominalRpm * DegreesPerSecondPerRpm;
    if (std::fabs(rate / nominal - 1) * 100 > GyroBandPercent) {
        if (Now.Revolutions > Best.Revolutions) {
            Best = Now;
        }
        Now = Stretch{};
        return;
    }
    const double turn = std::fmod(Now.Angle, 360.0) / 360.0;
    const std::size_t bin = std::min(GyroFoldBins - 1, static_cast<std::size_t>(turn * GyroFoldBins));
    Now.FoldSum[bin] += rate * dt;
    Now.FoldTime[bin] += dt;
    const double before = Now.Angle;
    Now.Angle += rate * dt;
    Now.Seconds += dt;
    if (std::floor(Now.Angle / 360) > std::floor(before / 360)) {
        // The moment the revolution ended, between this reading and the one before.
        const double over = std::fmod(Now.Angle, 360.0) / rate;
        const double end = Now.Seconds - over;
        const double lasted = end - Now.RevolutionStart;
        if (lasted > 0) {
            const double rpm = 60 / lasted;
            Now.RevolutionSum += rpm;
            Now.RevolutionSquares += rpm * rpm;
        }
        Now.RevolutionStart = end;
        Now.WholeSeconds = end;
        ++Now.Revolutions;
    }
}

GyroSpeedReport GyroSpeedMeter::ReportOf(const Stretch& stretch) const {
    GyroSpeedReport report;
    report.NominalRpm = NominalRpm;
    report.Revolutions = stretch.Revolutions;
    report.Seconds = stretch.Seconds;
    if (stretch.Revolutions == 0 || !(stretch.WholeSeconds > 0)) {
        return report;
    }
    report.Rpm = 60 * stretch.Revolutions / stretch.WholeSeconds;
    report.ErrorPercent = (report.Rpm / NominalRpm - 1) * 100;
    double low = 1e300;
    double high = 0;
    for (std::size_t i = 0; i < GyroFoldBins; ++i) {
        if (stretch.FoldTime[i] > 0) {
            const double rate = stretch.FoldSum[i] / stretch.FoldTime[i];
            low = std::min(low, rate);
            high = std::max(high, rate);
        }
    }
    const double meanRate = report.Rpm * DegreesPerSecondPerRpm;
    report.WithinRevolutionPercent = high > low ? (high - low) / 2 / meanRate * 100 : 0;
    const double n = stretch.Revolutions;
    if (n >= 2) {
        const double mean = stretch.RevolutionSum / n;
        const double variance = std::max(0.0, (stretch.RevolutionSquares - n * mean * mean) / (n - 1));
        report.ScatterRpm = std::sqrt(variance / n);
    }
    return report;
}

GyroSpeedReport GyroSpeedMeter::Current() const {
    return ReportOf(Now);
}

Result<GyroSpeedReport> GyroSpeedMeter::Finish() const {
    const Stretch& longest = Now.Revolutions >= Best.Revolutions ? Now : Best;
    if (longest.Revolutions < LeastGyroRevolutions) {
        return Failure{"the phone turned " + std::to_string(longest.Revolutions) + " whole " +
                       (longest.Revolutions == 1 ? "revolution" : "revolutions") + " at about " + RpmText(NominalRpm) +
                       " rpm: lay it flat on the turning platter, away from the spindle, for " + "at least " +
                       std::to_string(LeastGyroRevolutions + 1) + " revolutions"};
    }
    return ReportOf(longest);
}
