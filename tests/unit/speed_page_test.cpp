#include "print/speed_screen_chart.h"
#include "settings/speed_view.h"
#include "speed/flutter_weighting.h"
#include "speed/gyro_speed.h"
#include "speed/recording_header.h"
#include "speed/speed_advice.h"
#include "speed/speed_meter.h"
#include "tests/unit/speed_signal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using speed_test::ToneSynth;
using speed_test::ToneTake;

constexpr double Pi = 3.14159265358979323846;

// The meter's live reading after every half second of a take, as the page asks for it.
std::vector<SpeedLiveReading> LiveReadings(const ToneTake& take) {
    SpeedMeterSettings settings;
    settings.SampleRate = take.Rate;
    SpeedMeter meter = SpeedMeter::Create(settings).Value();
    ToneSynth synth(take);
    std::vector<SpeedLiveReading> readings;
    while (!synth.Done()) {
        meter.Feed(synth.Next(static_cast<std::size_t>(take.Rate / 2)));
        readings.push_back(meter.Live(100));
    }
    return readings;
}

TEST(SpeedLive, ReadingsOfAKnownTakeSettleOnItsTruthAndSpeakOnlyThen) {
    ToneTake take;
    take.ErrorPercent = -0.4;
    take.Modulations = {{4, 0.05, 0}};
    take.LeadInSeconds = 1;
    take.Seconds = 14;
    const std::vector<SpeedLiveReading> readings = LiveReadings(take);
    const double weighted = 0.05 / (1 - 0.004) * FlutterWeightingFilter(1000).Gain(4);
    ASSERT_FALSE(readings.empty());
    // The lead-in's silence is no tone yet.
    EXPECT_EQ(readings.front().Stage, SpeedLiveStage::TooWeak);
    const SpeedLiveReading& last = readings.back();
    ASSERT_EQ(last.Stage, SpeedLiveStage::Measuring);
    EXPECT_NEAR(last.ErrorPercent, -0.4, 0.005);
    EXPECT_NEAR(last.Weighted2SigmaPercent, weighted, 0.05 * weighted);
    EXPECT_EQ(last.NominalToneHz, 3150);
    EXPECT_LE(last.Trace.size(), 100u);
    ASSERT_GE(last.Trace.size(), 2u);
    EXPECT_GT(last.Trace.back().Seconds, 13.5f);
    // Every stage in order, never back; spoken words only after two whole revolutions.
    for (std::size_t i = 1; i < readings.size(); ++i) {
        EXPECT_GE(static_cast<int>(readings[i].Stage), static_cast<int>(readings[i - 1].Stage)) << i;
        const SpeedLiveView view = SpeedLiveViewOf(readings[i]);
        EXPECT_EQ(view.Spoken.empty(), readings[i].Revolutions < SpokenAfterRevolutions) << i;
    }
    const SpeedLiveView view = SpeedLiveViewOf(last);
    ASSERT_EQ(view.Rows.size(), 3u);
    EXPECT_EQ(view.Rows[0].Label, "Speed error");
    EXPECT_EQ(view.Rows[0].Value, "\u22120.40 %");
    EXPECT_TRUE(view.Spoken.starts_with("Speed error \u22120.4 per cent")) << view.Spoken;
}

TEST(SpeedLive, AToneTooWeakAndNoiseWithoutToneAreToldApart) {
    ToneTake quiet;
    quiet.Level = 2e-4; // about -77 dBFS
    quiet.Seconds = 3;
    EXPECT_EQ(LiveReadings(quiet).back().Stage, SpeedLiveStage::TooWeak);
    EXPECT_TRUE(SpeedLiveViewOf(LiveReadings(quiet).back()).TooWeak);
    ToneTake noise;
    noise.Level = 0;
    noise.NoiseRms = 0.1;
    noise.Seconds = 3;
    EXPECT_EQ(LiveReadings(noise).back().Stage, SpeedLiveStage::Searching);
    SpeedMeter meter = SpeedMeter::Create({}).Value();
    EXPECT_EQ(meter.Live(10).Stage, SpeedLiveStage::Waiting);
}

// Readings of a phone on a platter at `rpm` times (1 + error), its rate swinging by `wobble` % once per revolution,
// sampled every `intervalMs`, after `settleSeconds` of the phone being laid down.
GyroSpeedMeter GyroTakeOf(double rpm, double error, double wobble, double intervalMs, double seconds,
                          double settleSeconds = 0) {
    GyroSpeedMeter meter(100.0 / 3);
    const double mean = rpm * (1 + error / 100) * 6;
    double angle = 0;
    for (double t = 0; t < settleSeconds + seconds; t += intervalMs / 1000) {
        if (t < settleSeconds) {
            meter.Feed(30 * t, 5, 0, intervalMs); // picked up, put down, not yet turning
            continue;
        }
        const double rate = mean * (1 + wobble / 100 * std::sin(angle * Pi / 180));
        angle += rate * intervalMs / 1000;
        // Clockwise seen from above, and a little tilted: the whole rate counts.
        meter.Feed(-rate * 0.998, rate * 0.0632, 0, intervalMs);
    }
    return meter;
}

TEST(GyroSpeed, PlatterSpeedAndVariationWithinARevolutionAreTheirTruth) {
    struct Case {
        double Rpm, Error, Wobble, IntervalMs, Seconds;
    };
    for (const Case& c : {Case{100.0 / 3, 0, 0, 10, 20}, Case{100.0 / 3, -1.5, 0.8, 16.667, 30},
                          Case{100.0 / 3, 2, 2, 5, 12}, Case{100.0 / 3, 0.3, 0.2, 20, 60}}) {
        SCOPED_TRACE(std::to_string(c.Error) + " % " + std::to_string(c.Wobble) + " % wobble");
        const Result<GyroSpeedReport> report =
            GyroTakeOf(c.Rpm, c.Error, c.Wobble, c.IntervalMs, c.Seconds, 2).Finish();
        ASSERT_TRUE(report) << report.Message();
        const double truth = c.Rpm * (1 + c.Error / 100);
        // Whole revolutions only, each end placed between two readings.
        EXPECT_NEAR(report->Rpm, truth, 0.0005 * truth);
        EXPECT_NEAR(report->ErrorPercent, c.Error, 0.05);
        EXPECT_NEAR(report->WithinRevolutionPercent, c.Wobble, 0.05 * c.Wobble + 0.01);
        EXPECT_EQ(report->Revolutions, static_cast<int>(c.Seconds * truth / 60));
    }
}

TEST(GyroSpeed, TooFewRevolutionsAreRefusedWithWhatIsNeeded) {
    const Result<GyroSpeedReport> report = GyroTakeOf(100.0 / 3, 0, 0, 10, 3).Finish();
    ASSERT_FALSE(report);
    EXPECT_NE(report.Message().find("at least 3 revolutions"), std::string::npos) << report.Message();
    const std::vector<SpeedRow> rows = GyroRowsOf(GyroTakeOf(100.0 / 3, -1, 0.5, 10, 20).Finish().Value());
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].Label, "Platter speed");
    EXPECT_EQ(rows[1].Value, "\u22121.0 % against 33 1/3");
    EXPECT_EQ(rows[2].Value, "\u00b10.50 %");
}

std::vector<unsigned char> Bytes(std::initializer_list<const char*> parts, std::vector<unsigned char> tail = {}) {
    std::vector<unsigned char> bytes;
    for (const char* part : parts) {
        for (const char* c = part; *c; ++c) {
            bytes.push_back(static_cast<unsigned char>(*c));
        }
    }
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

std::vector<unsigned char> Le32(std::uint32_t v) {
    return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v >> 16),
            static_cast<unsigned char>(v >> 24)};
}

std::vector<unsigned char> Wav(std::uint32_t rate, std::vector<unsigned char> before = {}) {
    std::vector<unsigned char> bytes = Bytes({"RIFF"}, Le32(1000));
    for (const unsigned char b : Bytes({"WAVE"}))
        bytes.push_back(b);
    bytes.insert(bytes.end(), before.begin(), before.end());
    for (const unsigned char b : Bytes({"fmt "}, Le32(16)))
        bytes.push_back(b);
    for (const unsigned char b : std::vector<unsigned char>{1, 0, 2, 0})
        bytes.push_back(b);
    for (const unsigned char b : Le32(rate))
        bytes.push_back(b);
    bytes.resize(bytes.size() + 8, 0);
    return bytes;
}

TEST(RecordingHeader, TheRateIsTheHeadersOwnOrNone) {
    EXPECT_EQ(RecordingSampleRate(Wav(48000)), 48000);
    EXPECT_EQ(RecordingSampleRate(Wav(44100)), 44100);
    // A chunk of odd length before the format is skipped with its pad byte.
    std::vector<unsigned char> list = Bytes({"LIST"}, Le32(5));
    list.resize(list.size() + 6, 'x');
    EXPECT_EQ(RecordingSampleRate(Wav(96000, list)), 96000);
    // FLAC: STREAMINFO's rate in 20 bits after 10 bytes of sizes.
    std::vector<unsigned char> flac = Bytes({"fLaC"}, {0, 0, 0, 34, 16, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0x0B, 0xB8, 0x02});
    flac.resize(64, 0);
    EXPECT_EQ(RecordingSampleRate(flac), 48000);
    std::vector<unsigned char> cut = Wav(48000);
    cut.resize(26); // in the middle of the rate
    EXPECT_FALSE(RecordingSampleRate(cut));
    EXPECT_FALSE(RecordingSampleRate(Bytes({"ID3\x03"}, std::vector<unsigned char>(60, 0))));
    EXPECT_FALSE(RecordingSampleRate({}));
}

// A WAV's samples as libsndfile scales them: by the full scale of their width, a power of two.
TEST(RecordingHeader, WavSamplesAreScaledAsTheToolReadsThem) {
    struct Case {
        unsigned Tag;
        int Bits;
        std::vector<unsigned char> Sample;
        float Value;
    };
    const Case cases[] = {
        {1, 16, {0x00, 0x40}, 0.5f},
        {1, 16, {0xFF, 0x7F}, 32767.0f / 32768},
        {1, 16, {0x00, 0x80}, -1.0f},
        {1, 24, {0x00, 0x00, 0x80}, -1.0f},
        {1, 24, {0x01, 0x00, 0x00}, 1.0f / 8388608},
        {1, 32, {0x00, 0x00, 0x00, 0x40}, 0.5f},
        {1, 8, {0xC0}, 0.5f},
        {3, 32, {0x00, 0x00, 0x40, 0xBF}, -0.75f},
        {0xFFFE, 16, {0x00, 0xE0}, -0.25f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Tag) + " " + std::to_string(c.Bits));
        const std::uint32_t fmtSize = c.Tag == 0xFFFE ? 40 : 16;
        std::vector<unsigned char> file = Bytes({"RIFF"}, Le32(100));
        for (const unsigned char b : Bytes({"WAVEfmt "}, Le32(fmtSize)))
            file.push_back(b);
        const auto bytesPerFrame = static_cast<unsigned char>(c.Bits / 8);
        std::vector<unsigned char> fmt = {static_cast<unsigned char>(c.Tag), static_cast<unsigned char>(c.Tag >> 8), 1,
                                          0};
        for (const unsigned char b : Le32(22050))
            fmt.push_back(b);
        for (const unsigned char b : Le32(22050u * bytesPerFrame))
            fmt.push_back(b);
        fmt.insert(fmt.end(), {bytesPerFrame, 0, static_cast<unsigned char>(c.Bits), 0});
        if (c.Tag == 0xFFFE) {
            fmt.insert(fmt.end(), {22, 0, static_cast<unsigned char>(c.Bits), 0, 4, 0, 0, 0, 1, 0});
            fmt.resize(40, 0x11);
        }
        file.insert(file.end(), fmt.begin(), fmt.end());
        for (const unsigned char b : Bytes({"data"}, Le32(static_cast<std::uint32_t>(c.Sample.size() * 2)))) {
            file.push_back(b);
        }
        file.insert(file.end(), c.Sample.begin(), c.Sample.end());
        file.insert(file.end(), c.Sample.begin(), c.Sample.end());
        const std::optional<WavLayout> layout = WavLayoutOf(file);
        ASSERT_TRUE(layout);
        EXPECT_EQ(layout->Rate, 22050);
        EXPECT_EQ(layout->Channels, 1);
        std::vector<float> samples;
        // One whole frame and a partial one.
        WavSamples(std::span<const unsigned char>(file).subspan(layout->DataOffset, c.Sample.size() * 2 - 1), *layout,
                   samples);
        ASSERT_EQ(samples.size(), 1u);
        EXPECT_EQ(samples[0], c.Value);
    }
}

TEST(SpeedView, TheReportsRowsBeginWithTheFourFiguresAndItsChartStaysInItsPanels) {
    ToneTake take;
    take.ErrorPercent = 0.25;
    take.Modulations = {{100.0 / 3 / 60, 0.08, 0}};
    take.Seconds = 20;
    SpeedMeterSettings settings;
    SpeedMeter meter = SpeedMeter::Create(settings).Value();
    ToneSynth synth(take);
    while (!synth.Done()) {
        meter.Feed(synth.Next(4096));
    }
    const SpeedReport report = meter.Finish().Value();
    const std::vector<SpeedRow> rows = SpeedRowsOf(report);
    ASSERT_GE(rows.size(), 8u);
    const char* labels[] = {"Speed error", "Platter speed", "Weighted wow and flutter (2\u03c3)",
                            "Unweighted wow and flutter (2\u03c3)"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rows[static_cast<std::size_t>(i)].Label, labels[i]);
    }
    EXPECT_EQ(rows[0].Value, "+0.25 %");
    // Figures, then components, then advice, then notes.
    const std::vector<std::string> order = {"figure", "component", "advice", "note", "warning"};
    bool named = false;
    bool advised = false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        named = named || (rows[i].Kind == "component" && rows[i].Label.starts_with("Once per revolution"));
        advised = advised || rows[i].Kind == "advice";
        if (i > 0) {
            EXPECT_LE(std::find(order.begin(), order.end(), rows[i - 1].Kind),
                      std::find(order.begin(), order.end(), rows[i].Kind));
        }
    }
    EXPECT_TRUE(named);
    EXPECT_TRUE(advised);
    // The tone's note names the page's field.
    EXPECT_EQ(rows.back().Value, "the tone of " + SpeedNumberText(report.MeasuredToneHz, 2) +
                                     " Hz is taken for the standard 3150 Hz tone; give the Test tone if the record "
                                     "carries another");

    for (const double width : {320.0, 900.0}) {
        const ScreenChart chart = SpeedScreenChartOf(report, width, ScreenChartTextPx);
        ASSERT_EQ(chart.Panels.size(), 3u);
        for (const ScreenPanel& panel : chart.Panels) {
            EXPECT_EQ(panel.Width, width);
            std::size_t points = 0;
            for (const ScreenSeries& series : panel.Series) {
                for (const std::vector<double>& run : series.Runs) {
                    for (std::size_t i = 0; i + 1 < run.size(); i += 2, ++points) {
                        EXPECT_GE(run[i], panel.Left - 1e-9);
                        EXPECT_LE(run[i], panel.Right + 1e-9);
                        EXPECT_GE(run[i + 1], panel.Top - 1e-9);
                        EXPECT_LE(run[i + 1], panel.Bottom + 1e-9);
                    }
                }
            }
            EXPECT_GT(points, 10u) << panel.Title;
        }
    }
    EXPECT_NE(SpeedTraceText(report.Trace, report.Components).find("once per revolution"), std::string::npos);
}

} // namespace
