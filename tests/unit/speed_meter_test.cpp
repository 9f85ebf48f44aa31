#include "speed/flutter_weighting.h"
#include "speed/speed_advice.h"
#include "speed/speed_meter.h"
#include "speed/tone_decimator.h"
#include "tests/unit/speed_signal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using speed_test::Click;
using speed_test::Modulation;
using speed_test::ToneSynth;
using speed_test::ToneTake;

constexpr double Pi = 3.14159265358979323846;

Result<SpeedReport> Measure(const ToneTake& take, SpeedMeterSettings settings = {}, std::size_t block = 4096,
                            SpeedMeterSizes* sizes = nullptr) {
    settings.SampleRate = take.Rate;
    settings.Channels = take.Channels;
    Result<SpeedMeter> created = SpeedMeter::Create(settings);
    if (!created) {
        return Failure{created.Message()};
    }
    SpeedMeter meter = std::move(created).Value();
    ToneSynth synth(take);
    while (!synth.Done()) {
        const std::vector<float> samples = synth.Next(4096);
        for (std::size_t at = 0; at < samples.size(); at += block) {
            meter.Feed(std::span<const float>(samples).subspan(at, std::min(block, samples.size() - at)));
        }
    }
    if (sizes != nullptr) {
        *sizes = meter.Sizes();
    }
    return meter.Finish();
}

// The deviation the meter reports is a share of the mean speed, which a take with a speed error has moved.
double Truth(const ToneTake& take, const Modulation& m, double gain) {
    return m.PeakPercent / (1 + take.ErrorPercent / 100) * gain;
}

TEST(FlutterWeighting, LiesWithinTheToleranceOfEveryTablePointAtTheMetersRates) {
    // The deviation rates the meter runs at: 1 kHz from 8, 16, 48, 96 and 192 kHz, 1002.27 Hz from 44.1 kHz.
    for (const double rate : {1000.0, 44100.0 / 44}) {
        const DeviationFilter weighting = FlutterWeightingFilter(rate);
        for (const WeightingPoint& point : FlutterWeightingTable()) {
            const double db = 20 * std::log10(weighting.Gain(point.Hz));
            EXPECT_NEAR(db, point.Db, FlutterWeightingToleranceDb(point.Hz)) << point.Hz << " Hz at " << rate;
        }
    }
}

// The filter run sample by sample does what its response says: a sine comes out scaled by the gain (measured as
// its RMS over whole periods, which sampling cannot miss as it can miss a peak).
TEST(FlutterWeighting, RunningTheFilterScalesASineByItsGain) {
    const double rate = 1000;
    for (const double hz : {0.4, 4.0, 31.25, 125.0}) {
        for (DeviationFilter filter : {FlutterWeightingFilter(rate), UnweightedDeviationFilter(rate)}) {
            const int settle = static_cast<int>(40 * rate);
            const int periods = static_cast<int>(std::round(8 * rate / hz));
            double squares = 0;
            for (int i = 0; i < settle + periods; ++i) {
                const double y = filter.Step(std::sin(2 * Pi * hz * i / rate));
                squares += i >= settle ? y * y : 0;
            }
            const double rms = std::sqrt(squares / periods) * std::sqrt(2.0);
            EXPECT_NEAR(rms, filter.Gain(hz), 0.002 * filter.Gain(hz) + 1e-6) << hz << " Hz";
        }
    }
}

// The decimator passes the deviation band flat and holds everything else down, twice the carrier below it (the
// demodulator's image) included, for every rate and carrier the meter takes.
TEST(ToneDecimator, PassesTheBandAndHoldsTheImageAndAliasesDown) {
    for (const double rate : {8000.0, 11025.0, 22050.0, 44100.0, 48000.0, 96000.0, 192000.0}) {
        for (const double tone : {291.0, 300.0, 400.0, 1000.0, 3150.0, 10000.0}) {
            if (tone > 0.45 * rate) {
                continue;
            }
            const int decimation = static_cast<int>(std::lround(rate / 1000));
            const ToneDecimator decimator(rate, decimation, tone);
            const double outputRate = rate / decimation;
            const double stop = std::min(outputRate - 250, 2 * tone - 50);
            for (const double hz : {-250.0, -200.0, -31.5, 0.0, 4.0, 120.0, 250.0}) {
                EXPECT_NEAR(decimator.Gain(hz), 1, 1e-3) << hz << " Hz from " << tone << " Hz at " << rate;
            }
            double worst = decimator.Gain(-2 * tone);
            for (double hz = stop; hz < rate / 2 + tone; hz += 7.3) {
                worst = std::max({worst, decimator.Gain(hz), decimator.Gain(-hz)});
            }
            EXPECT_LT(20 * std::log10(worst), -85) << tone << " Hz at " << rate;
        }
    }
}

struct FigureCase {
    std::string Name;
    ToneTake Take;
    SpeedMeterSettings Settings = {};
};

std::vector<FigureCase> FigureCases() {
    std::vector<FigureCase> cases;
    const auto add = [&](std::string name, double rate, int channels, double tone, double error, Modulation m,
                         double noise = 0, std::optional<double> given = std::nullopt, int bits = 0,
                         std::vector<Click> clicks = {}) {
        ToneTake take;
        take.Rate = rate;
        take.Channels = channels;
        take.ToneHz = tone;
        take.ErrorPercent = error;
        take.Modulations = {m};
        take.LeadInSeconds = 1.3;
        take.Seconds = 22;
        take.TailSeconds = 0.7;
        take.NoiseRms = noise;
        take.Bits = bits;
        take.Clicks = std::move(clicks);
        SpeedMeterSettings settings;
        settings.NominalToneHz = given;
        cases.push_back({std::move(name), take, settings});
    };
    add("3150 Hz slow, swing once per revolution", 48000, 1, 3150, -0.4, {100.0 / 3 / 60, 0.1});
    add("3150 Hz fast 2 %, 4 Hz flutter", 44100, 2, 3150, 2, {4, 0.05});
    add("3000 Hz slow 2 %, 10 Hz, 96 kHz", 96000, 2, 3000, -2, {10, 0.03});
    add("1000 Hz, 20 Hz flutter", 48000, 1, 1000, 1, {20, 0.02});
    add("4000 Hz given, 1.6 Hz wow", 44100, 1, 4000, -1.2, {1.6, 0.08}, 0, 4000);
    add("3150 Hz in noise, 2.5 Hz", 48000, 2, 3150, 0.25, {2.5, 0.06}, 0.01);
    add("16-bit 3150 Hz mono, 44.1 kHz, 7.3 Hz", 44100, 1, 3150, -1.8, {7.3, 0.03}, 0.001, std::nullopt, 16);
    add("24-bit 3000 Hz stereo, 96 kHz, swing", 96000, 2, 3000, 0.6, {100.0 / 3 / 60, 0.07}, 0, std::nullopt, 24);
    add("16-bit 1000 Hz stereo, 48 kHz, clicks", 48000, 2, 1000, -0.9, {3.15, 0.05}, 0.002, std::nullopt, 16,
        {{6.2, 0.6f}, {11.71, -0.9f}, {17.3, 0.4f}});
    add("24-bit 4000 Hz given, 48 kHz, clicks", 48000, 1, 4000, 1.4, {12.5, 0.025}, 0.001, 4000, 24,
        {{4.4, -0.5f}, {15.05, 0.8f}});
    return cases;
}

TEST(SpeedMeter, FiguresOfKnownTakesAreTheirTruth) {
    for (const FigureCase& c : FigureCases()) {
        SCOPED_TRACE(c.Name);
        const Result<SpeedReport> report = Measure(c.Take, c.Settings);
        ASSERT_TRUE(report) << report.Message();
        const Modulation& m = c.Take.Modulations[0];
        const double rate = c.Take.Rate / std::round(c.Take.Rate / 1000);
        EXPECT_NEAR(report->ErrorPercent, c.Take.ErrorPercent, 0.002);
        EXPECT_NEAR(report->NominalToneHz, c.Take.ToneHz, 0);
        EXPECT_NEAR(report->Rpm, 100.0 / 3 * (1 + c.Take.ErrorPercent / 100), 0.002);
        const double weighted = Truth(c.Take, m, FlutterWeightingFilter(rate).Gain(m.Hz));
        EXPECT_NEAR(report->Weighted2SigmaPercent, weighted, 0.03 * weighted);
        // For one sine the RMS is its peak over root two.
        EXPECT_NEAR(report->WeightedRmsPercent, weighted / std::sqrt(2.0), 0.03 * weighted);
        ASSERT_FALSE(report->Components.empty());
        const SpeedComponent& strongest = report->Components.front();
        EXPECT_NEAR(strongest.Hz, m.Hz, 0.01 * m.Hz);
        EXPECT_NEAR(strongest.Percent, Truth(c.Take, m, 1), 0.05 * Truth(c.Take, m, 1));
        EXPECT_NEAR(report->FromSeconds, c.Take.LeadInSeconds + 2.5, 0.2);
        EXPECT_LE(report->ToSeconds, c.Take.LeadInSeconds + c.Take.Seconds);
        EXPECT_GE(report->ToSeconds, c.Take.LeadInSeconds + c.Take.Seconds - 60 / report->Rpm - 0.3);
    }
}

// Any carrier from 300 Hz to 10 kHz at rates from 8 to 192 kHz. Near 300 Hz the demodulator's image at twice the
// carrier lies just above the deviation band; at 10 kHz the carrier is close to the low rates' Nyquist limit.
TEST(SpeedMeter, CarriersAcrossTheRangeGiveTheirTruthAtLowAndHighRates) {
    struct Case {
        double Rate;
        double ToneHz;
        double ErrorPercent;
        Modulation M;
    };
    const Case cases[] = {
        {8000, 300, 0.8, {4, 0.05}},     {192000, 300, -1.5, {12, 0.03}},
        {44100, 300, 0.2, {100, 0.1}},   {8000, 400, -0.6, {100.0 / 3 / 60, 0.1}},
        {96000, 400, 1.1, {31, 0.02}},   {8000, 1000, 1.9, {6.3, 0.04}},
        {192000, 1000, -0.3, {2, 0.06}}, {8000, 3150, -1.2, {10, 0.03}},
        {22050, 3150, 0.7, {0.8, 0.08}}, {192000, 3150, 0.45, {80, 0.01}},
        {24000, 10000, -0.5, {4, 0.04}}, {192000, 10000, 1.3, {1.6, 0.05}},
        {32000, 10000, 0.1, {63, 0.02}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.ToneHz) + " Hz at " + std::to_string(c.Rate) + " Hz");
        ToneTake take;
        take.Rate = c.Rate;
        take.ToneHz = c.ToneHz;
        take.ErrorPercent = c.ErrorPercent;
        take.Modulations = {c.M};
        take.LeadInSeconds = 0.8;
        take.Seconds = 21;
        // Noise 60 dB below the tone, as a good line recording has: at 300 Hz the same noise moves the frequency ten
        // times as much, for its share of the carrier, as at 3150 Hz.
        take.NoiseRms = 0.0005;
        SpeedMeterSettings settings;
        settings.NominalToneHz = c.ToneHz;
        const Result<SpeedReport> report = Measure(take, settings);
        ASSERT_TRUE(report) << report.Message();
        EXPECT_NEAR(report->ErrorPercent, c.ErrorPercent, 0.002);
        const double rate = c.Rate / std::round(c.Rate / 1000);
        const double weighted = Truth(take, c.M, FlutterWeightingFilter(rate).Gain(c.M.Hz));
        EXPECT_NEAR(report->Weighted2SigmaPercent, weighted, 0.03 * weighted);
        ASSERT_FALSE(report->Components.empty());
        EXPECT_NEAR(report->Components.front().Hz, c.M.Hz, 0.01 * c.M.Hz);
        EXPECT_NEAR(report->Components.front().Percent, Truth(take, c.M, 1), 0.05 * Truth(take, c.M, 1));
    }
}

// The strongest components are named by the revolution: the swing, its harmonics, and the drive's own.
TEST(SpeedMeter, ComponentsAreFoundAndNamedByTheRevolution) {
    ToneTake take;
    take.Rate = 44100;
    take.ErrorPercent = 0.3;
    const double turn = 45.0 / 60 * 1.003;
    take.Modulations = {{turn, 0.12}, {2 * turn, 0.04, 1}, {7.3, 0.03, 2}};
    take.Seconds = 26;
    SpeedMeterSettings settings;
    settings.NominalRpm = 45;
    const Result<SpeedReport> report = Measure(take, settings);
    ASSERT_TRUE(report) << report.Message();
    ASSERT_GE(report->Components.size(), 3u);
    const std::string names[] = {"once per revolution", "twice per revolution", "9.70 x the revolution rate"};
    for (std::size_t i = 0; i < 3; ++i) {
        const Modulation& m = take.Modulations[i];
        EXPECT_NEAR(report->Components[i].Hz, m.Hz, 0.01 * m.Hz) << i;
        EXPECT_NEAR(report->Components[i].Percent, Truth(take, m, 1), 0.05 * Truth(take, m, 1)) << i;
        EXPECT_EQ(report->Components[i].Name, names[i]);
    }
    EXPECT_THAT(report->Advice[1], testing::HasSubstr("off-centre"));
}

TEST(SpeedMeter, ClicksMoveNeitherTheSpeedNorTheWeightedFigure) {
    ToneTake take;
    take.ErrorPercent = -0.7;
    take.Modulations = {{100.0 / 3 / 60, 0.08}, {4, 0.03}};
    take.Seconds = 22;
    const Result<SpeedReport> clean = Measure(take);
    for (const float height : {0.2f, 0.9f, 3.0f}) {
        ToneTake clicked = take;
        clicked.Clicks = {{5.21, height}, {9.877, -height}, {14.5, height}, {18.03, height}};
        const Result<SpeedReport> report = Measure(clicked);
        ASSERT_TRUE(clean && report) << report.Message();
        EXPECT_NEAR(report->ErrorPercent, clean->ErrorPercent, 0.0005) << height;
        EXPECT_NEAR(report->Weighted2SigmaPercent, clean->Weighted2SigmaPercent, 0.01 * clean->Weighted2SigmaPercent)
            << height;
        EXPECT_NEAR(report->Unweighted2SigmaPercent, clean->Unweighted2SigmaPercent,
                    0.02 * clean->Unweighted2SigmaPercent)
            << height;
    }
}

// Blocks of any size give the same figures, frames split between blocks included.
TEST(SpeedMeter, TheBlockSizeChangesNothing) {
    ToneTake take;
    take.Channels = 2;
    take.Rate = 8000;
    take.ErrorPercent = 0.6;
    take.Modulations = {{3, 0.05}};
    take.Seconds = 20;
    const Result<SpeedReport> whole = Measure(take, {}, 4096);
    ASSERT_TRUE(whole) << whole.Message();
    for (const std::size_t block : {1u, 3u, 1001u}) {
        const Result<SpeedReport> report = Measure(take, {}, block);
        ASSERT_TRUE(report) << report.Message();
        EXPECT_EQ(report->ErrorPercent, whole->ErrorPercent) << block;
        EXPECT_EQ(report->Weighted2SigmaPercent, whole->Weighted2SigmaPercent) << block;
        EXPECT_EQ(report->Trace.size(), whole->Trace.size()) << block;
    }
}

// Thirty minutes fed in blocks leave the meter's buffers as large as ten minutes did, and small.
TEST(SpeedMeter, MemoryDoesNotGrowWithTheRecording) {
    ToneTake take;
    take.Rate = 8000;
    take.Modulations = {{0.5555, 0.05}};
    SpeedMeterSizes tenMinutes;
    SpeedMeterSizes thirtyMinutes;
    take.Seconds = 600;
    ASSERT_TRUE(Measure(take, {}, 8192, &tenMinutes));
    take.Seconds = 1800;
    const Result<SpeedReport> report = Measure(take, {}, 8192, &thirtyMinutes);
    ASSERT_TRUE(report) << report.Message();
    EXPECT_EQ(thirtyMinutes.Total(), tenMinutes.Total());
    EXPECT_LT(thirtyMinutes.Total(), 400000u);
    EXPECT_EQ(report->Revolutions, static_cast<int>((1800 - 2.5) / 1.8));
    EXPECT_NEAR(report->Weighted2SigmaPercent,
                Truth(take, take.Modulations[0], FlutterWeightingFilter(1000).Gain(0.5555)),
                0.03 * report->Weighted2SigmaPercent);
}

struct RefusalCase {
    std::string Name;
    ToneTake Take;
    std::optional<double> Tone;
    std::string Says;
};

TEST(SpeedMeter, TakesWithoutEnoughSteadyToneAreRefusedWithWhatIsNeeded) {
    ToneTake silence;
    silence.Level = 0;
    ToneTake noise = silence;
    noise.NoiseRms = 0.1;
    ToneTake shortTone;
    shortTone.Seconds = 12;
    shortTone.LeadInSeconds = 2;
    ToneTake unknownTone;
    unknownTone.ToneHz = 4000;
    unknownTone.Seconds = 20;
    const std::vector<RefusalCase> cases = {
        {"silence", silence, std::nullopt, "the recording is silent"},
        {"noise", noise, std::nullopt, "no steady tone from 300 Hz to 10 kHz found"},
        {"too short", shortTone, std::nullopt, "a take of at least 17 s of steady tone"},
        {"no standard tone", unknownTone, std::nullopt, "give --tone with the frequency the record carries"},
        {"another tone given", ToneTake{}, 1000.0, "no steady tone from 300 Hz"},
    };
    for (const RefusalCase& c : cases) {
        SpeedMeterSettings settings;
        settings.NominalToneHz = c.Tone;
        const Result<SpeedReport> report = Measure(c.Take, settings);
        EXPECT_FALSE(report) << c.Name;
        EXPECT_THAT(report.Message(), testing::HasSubstr(c.Says)) << c.Name;
    }
}

TEST(SpeedMeter, SettingsOutOfRangeAreRefused) {
    struct Case {
        SpeedMeterSettings Settings;
        std::string Says;
    };
    const Case cases[] = {
        {{7999, 1, std::nullopt, std::nullopt}, "between 8 and 192 kHz, not 7999 Hz"},
        {{192001, 1, std::nullopt, std::nullopt}, "between 8 and 192 kHz"},
        {{48000, 0, std::nullopt, std::nullopt}, "1 to 64 channels, not 0"},
        {{48000, 2, 2, std::nullopt}, "no channel 3"},
        {{48000, 1, std::nullopt, 250.0}, "--tone must be from 300 to 10000 Hz, not 250.0"},
        {{8000, 1, std::nullopt, 3500.0}, "cannot be recorded at 8000 Hz"},
    };
    for (const Case& c : cases) {
        const Result<SpeedMeter> meter = SpeedMeter::Create(c.Settings);
        EXPECT_FALSE(meter) << c.Says;
        EXPECT_THAT(meter.Message(), testing::HasSubstr(c.Says));
    }
}

TEST(SpeedNumberText, RoundsHalvesAwayFromZeroToItsDecimals) {
    const std::pair<double, std::string> cases[] = {{0.4, "0.40"},   {-0.004, "0.00"},     {-0.375, "-0.38"},
                                                    {0.125, "0.13"}, {3149.99, "3149.99"}, {-1.25, "-1.25"}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(SpeedNumberText(value, 2), text) << value;
    }
    EXPECT_EQ(SpeedNumberText(1234.5, 0), "1235");
}

} // namespace
